// Crossover filter controls: menus, typed frequencies, step buttons and the order of linked frames.
#include "WindowMenus.h"
#include "TestRig.h"
#include "ResponseGraph.h"
#include "TuningModel.h"

#include "ChannelLink.h"
#include "CrossoverRules.h"
#include "LinkState.h"
#include "ResponseMath.h"
#include "Transport.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {

// 05 06/07 ch type freq(lo, hi) slope bypass
QByteArray filterFrame(int filter, int ch)
{
    const bool hp = filter == 0;
    const uint16_t f = hp ? Session().ParamStore.HpfFreq[ch] : Session().ParamStore.LpfFreq[ch];
    QByteArray p;
    p.append(char(5)).append(char(hp ? 0x06 : 0x07)).append(char(ch));
    p.append(char(hp ? Session().ParamStore.HpfType[ch] : Session().ParamStore.LpfType[ch]));
    p.append(char(f & 0xFF)).append(char(f >> 8));
    p.append(char(hp ? Session().ParamStore.HpfSlope[ch] : Session().ParamStore.LpfSlope[ch]));
    p.append(char(hp ? Session().ParamStore.HpfBypass[ch] : Session().ParamStore.LpfBypass[ch]));
    return p;
}

void linkFirstTwo(uint8_t mode)
{
    Model().links.LinkMatrix[0][1] = Model().links.LinkMatrix[1][0] = 1;
    Model().links.LinkMode[0] = Model().links.LinkMode[1] = mode;
}

}  // namespace

class TestCrossover : public QObject
{
    Q_OBJECT
private slots:
    void stepRules()
    {
        QCOMPARE(CrossoverStepFreq(999, true, false), uint16_t(1000));
        QCOMPARE(CrossoverStepFreq(20000, true, false), uint16_t(20000));
        QCOMPARE(CrossoverStepFreq(20000, true, true), uint16_t(20000));
        QCOMPARE(CrossoverStepFreq(20, false, false), uint16_t(20));
        QCOMPARE(CrossoverStepFreq(20, false, true), uint16_t(20));
        QCOMPARE(CrossoverStepFreq(21, false, true), uint16_t(20));
        QCOMPARE(CrossoverStepFreq(998, true, true), uint16_t(1009));
        QCOMPARE(CrossoverStepFreq(999, true, true), uint16_t(1100));
        QCOMPARE(CrossoverStepFreq(1001, false, true), uint16_t(990));
        QCOMPARE(CrossoverStepFreq(1002, false, true), uint16_t(901));
        QCOMPARE(CrossoverStepFreq(101, false, true), uint16_t(99));
        QCOMPARE(CrossoverStepFreq(102, false, true), uint16_t(91));
        // Damaged values come back into the range.
        QCOMPARE(CrossoverStepFreq(40000, true, false), uint16_t(20000));
        QCOMPARE(CrossoverStepFreq(40000, false, false), uint16_t(20000));
        QCOMPARE(CrossoverStepFreq(5, false, false), uint16_t(20));
        QCOMPARE(CrossoverStepFreq(0, true, false), uint16_t(20));
    }

    void fastSequences()
    {
        // Up from 1000: 1101, 1202, ... 19887, 19988, then 2 Hz steps to 20000.
        QList<int> up;
        for (uint16_t f = 1000; f != 20000;) up << (f = CrossoverStepFreq(f, true, true));
        QCOMPARE(up.mid(0, 2), (QList<int>{1101, 1202}));
        const int i19887 = up.indexOf(19887);
        QVERIFY(i19887 > 0);
        QCOMPARE(up.mid(i19887, 4), (QList<int>{19887, 19988, 19990, 19992}));
        QCOMPARE(up.last(), 20000);
        QCOMPARE(up.size(), i19887 + 2 + 6);
        for (int k = 1; k <= i19887; ++k) QCOMPARE(up[k] - up[k - 1], 101);
        // Down from 1200: 1099, 998, 987, 976, ... 24, 22, 20.
        QList<int> down;
        for (uint16_t f = 1200; f != 20;) down << (f = CrossoverStepFreq(f, false, true));
        QCOMPARE(down.mid(0, 4), (QList<int>{1099, 998, 987, 976}));
        QCOMPARE(down.mid(down.size() - 3), (QList<int>{24, 22, 20}));
    }

    void slopeMenuSwitchesOnAndOff()
    {
        TestRig rig(true);
        connectLink(rig);
        Kestrun &w = *rig.w;
        QCOMPARE(Session().ParamStore.HpfBypass[0], uint8_t(1));
        Session().ParamStore.HpfSlope[0] = 5;
        w.menus().FilterSlopeAct[0][3]->trigger();
        QCOMPARE(Session().ParamStore.HpfBypass[0], uint8_t(0));
        QCOMPARE(Session().ParamStore.HpfSlope[0], uint8_t(3));
        QCOMPARE(w.ui->BT_HPF_SLOPE->text(), QStringLiteral("-24dB/Oct"));
        QCOMPARE(rig.sent().size(), size_t(1));
        QCOMPARE(rig.sent().back(), QByteArray("\x05\x06\x00\x00\x14\x00\x03\x00", 8));
        // Off keeps the slope for the next switch-on.
        w.menus().FilterSlopeAct[0][8]->trigger();
        QCOMPARE(Session().ParamStore.HpfBypass[0], uint8_t(1));
        QCOMPARE(Session().ParamStore.HpfSlope[0], uint8_t(3));
        QCOMPARE(w.ui->BT_HPF_SLOPE->text(), QStringLiteral("关闭"));
        QCOMPARE(rig.sent().back(), QByteArray("\x05\x06\x00\x00\x14\x00\x03\x01", 8));
        Lang().LanguageFlag = 1;
        w.menus().FilterSlopeAct[1][8]->trigger();
        QCOMPARE(w.ui->BT_LPF_SLOPE->text(), QStringLiteral("OFF"));
        w.menus().FilterSlopeAct[1][7]->trigger();
        QCOMPARE(w.ui->BT_LPF_SLOPE->text(), QStringLiteral("-48dB/Oct"));
        QCOMPARE(rig.sent().back(), filterFrame(1, 0));
        QCOMPARE(Session().ParamStore.LpfSlope[0], uint8_t(7));
        // The curve follows: a low-pass at 20 kHz, -48 dB/Oct, still dips at the top end.
        QVERIFY(w.graph().curves().LPFCurve[0][127] < -1.0);
    }

    void typeMenuNamesByLanguage()
    {
        TestRig rig(false);
        Kestrun &w = *rig.w;
        w.menus().FilterTypeAct[0][2]->trigger();
        QCOMPARE(Session().ParamStore.HpfType[0], uint8_t(2));
        QCOMPARE(w.ui->BT_HPF_TYPE->text(), QStringLiteral("贝塞尔"));
        Lang().LanguageFlag = 1;
        w.menus().FilterTypeAct[1][1]->trigger();
        QCOMPARE(Session().ParamStore.LpfType[0], uint8_t(1));
        QCOMPARE(w.ui->BT_LPF_TYPE->text(), QStringLiteral("Link"));
        w.menus().FilterTypeAct[1][0]->trigger();
        QCOMPARE(w.ui->BT_LPF_TYPE->text(), QStringLiteral("Butterworth"));
        QCOMPARE(rig.sim.reportLog().size(), size_t(0));  // nothing sent while disconnected
    }

    void typedFrequency()
    {
        TestRig rig(true);
        connectLink(rig);
        Kestrun &w = *rig.w;
        QLineEdit *e = w.ui->Edit_HPF_Freq;
        e->setText(QStringLiteral("20000"));
        QTest::keyClick(e, Qt::Key_Return);
        QCOMPARE(Session().ParamStore.HpfFreq[0], uint16_t(20000));
        QCOMPARE(e->text(), QStringLiteral("20000"));
        QCOMPARE(rig.sent().size(), size_t(1));
        QCOMPARE(rig.sent().back(), QByteArray("\x05\x06\x00\x00\x20\x4E\x03\x01", 8));
        rig.clearSent();
        for (const char *bad : {"20001", "19.5", "19", "abc", ""}) {
            e->setText(QString::fromLatin1(bad));
            QTest::keyClick(e, Qt::Key_Return);
            QCOMPARE(e->text(), QStringLiteral("20000"));
            QCOMPARE(Session().ParamStore.HpfFreq[0], uint16_t(20000));
        }
        QCOMPARE(rig.sent().size(), size_t(0));
        // The low-pass twin, with a typed text kept as typed.
        w.ui->Edit_LPF_Freq->setText(QStringLiteral("+0500"));
        QTest::keyClick(w.ui->Edit_LPF_Freq, Qt::Key_Return);
        QCOMPARE(Session().ParamStore.LpfFreq[0], uint16_t(500));
        QCOMPARE(w.ui->Edit_LPF_Freq->text(), QStringLiteral("+0500"));
        QCOMPARE(rig.sent().back(), filterFrame(1, 0));
    }

    void stepButtons()
    {
        TestRig rig(true);
        connectLink(rig);
        Kestrun &w = *rig.w;
        Session().ParamStore.HpfFreq[0] = 999;
        QCOMPARE(Session().Link.BtnRepeatDelay, uint8_t(0));
        w.ui->BT_HPF_FREQ_UP->click();
        QCOMPARE(Session().ParamStore.HpfFreq[0], uint16_t(1000));
        QCOMPARE(w.ui->Edit_HPF_Freq->text(), QStringLiteral("1000"));
        QCOMPARE(Session().Link.BtnRepeatDelay, uint8_t(25));
        w.ui->BT_HPF_FREQ_UP->click();  // within the repeat window: a large step
        QCOMPARE(Session().ParamStore.HpfFreq[0], uint16_t(1101));
        Session().Link.BtnRepeatDelay = 0;
        w.ui->BT_HPF_FREQ_DOWN->click();
        QCOMPARE(Session().ParamStore.HpfFreq[0], uint16_t(1100));
        QCOMPARE(rig.sent().size(), size_t(3));
        // A step down at 20 Hz sends the unchanged value again and redraws.
        Session().ParamStore.LpfFreq[0] = 20;
        Session().Link.BtnRepeatDelay = 0;
        rig.clearSent();
        w.ui->BT_LPF_FREQ_DOWN->click();
        QCOMPARE(Session().ParamStore.LpfFreq[0], uint16_t(20));
        QCOMPARE(w.ui->Edit_LPF_Freq->text(), QStringLiteral("20"));
        QCOMPARE(rig.sent().size(), size_t(1));
        QCOMPARE(rig.sent().back(), QByteArray("\x05\x07\x00\x00\x14\x00\x03\x01", 8));
        QCOMPARE(w.graph().curves().LPF_Line.x1(), Freq_To_Pos(20) + 4);
        // The ticks of the poll loop count the repeat window down (paced by the link engineer's loop).
        QCOMPARE(Session().Link.BtnRepeatDelay, uint8_t(25));
    }

    void wireOrderOfLinkedCopies()
    {
        TestRig rig(true);
        connectLink(rig);
        Kestrun &w = *rig.w;
        linkFirstTwo(0);
        // Menus and typed frequency: the partner's frame first, the selected channel's last.
        w.menus().FilterTypeAct[0][1]->trigger();
        QCOMPARE(Session().ParamStore.HpfType[1], uint8_t(1));
        QCOMPARE(rig.sent().size(), size_t(2));
        QCOMPARE(rig.sent()[0], filterFrame(0, 1));
        QCOMPARE(rig.sent()[1], filterFrame(0, 0));
        rig.clearSent();
        w.ui->Edit_LPF_Freq->setText(QStringLiteral("8000"));
        QTest::keyClick(w.ui->Edit_LPF_Freq, Qt::Key_Return);
        QCOMPARE(Session().ParamStore.LpfFreq[1], uint16_t(8000));
        QCOMPARE(rig.sent().size(), size_t(2));
        QCOMPARE(rig.sent()[0], filterFrame(1, 1));
        QCOMPARE(rig.sent()[1], filterFrame(1, 0));
        // Step buttons: the selected channel's frame first.
        rig.clearSent();
        w.ui->BT_LPF_FREQ_UP->click();
        QCOMPARE(Session().ParamStore.LpfFreq[1], uint16_t(8001));
        QCOMPARE(rig.sent().size(), size_t(2));
        QCOMPARE(rig.sent()[0], filterFrame(1, 0));
        QCOMPARE(rig.sent()[1], filterFrame(1, 1));
    }

    void equaliserOnlyLinkLeavesFiltersAlone()
    {
        TestRig rig(true);
        connectLink(rig);
        linkFirstTwo(1);
        rig.w->menus().FilterTypeAct[0][2]->trigger();
        QCOMPARE(Session().ParamStore.HpfType[0], uint8_t(2));
        QCOMPARE(Session().ParamStore.HpfType[1], uint8_t(0));
        QCOMPARE(rig.sent().size(), size_t(1));
        QCOMPARE(rig.sent()[0], filterFrame(0, 0));
    }
};

QTEST_MAIN(TestCrossover)
#include "test_crossover.moc"
