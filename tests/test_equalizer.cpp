// Equaliser bands: sliders, the three edits per band, PEQ/GEQ, bypass and flat reset.
#include "EqualizerSlots.h"
#include "GraphMarkers.h"
#include "OutputSlots.h"
#include "TestRig.h"
#include "ResponseGraph.h"
#include "TuningModel.h"

#include "ChannelLink.h"
#include "DragPushButton.h"
#include "LinkState.h"
#include "ResponseMath.h"
#include "Styles.h"
#include "Transport.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QtTest>

namespace {

void typeInto(QLineEdit *e, const QString &text)
{
    e->setText(text);
    QTest::keyClick(e, Qt::Key_Return);
}

}  // namespace

class TestEqualizer : public QObject
{
    Q_OBJECT
private slots:
    void sliderMovesBand()
    {
        TestRig rig(true);
        connectLink(rig);
        Kestrun &w = *rig.w;
        w.ui->Slider_EQ_Gain_Bar[4]->setValue(150);
        QCOMPARE(Session().ParamStore.EqGain[0][4], uint16_t(150));
        QCOMPARE(Model().CurBand, uint8_t(4));
        QCOMPARE(w.ui->Edit_EQ_Gain[4]->text(), QStringLiteral("3.0"));
        QCOMPARE(w.ui->BT_LED[4]->styleSheet(), Styles::bandActive());
        QCOMPARE(rig.sent().size(), size_t(1));
        QCOMPARE(rig.sent()[0], QByteArray("\x05\x08\x00\x04\x32\x00\x0E\x01\x1E", 9));
        // Marker and label go to the new height.
        QCOMPARE(w.markers().BandMark[4]->y(), GainToMarkerTop(150));
        QCOMPARE(w.ui->Edit_Label[4]->y(), GainToMarkerTop(150) - 15);
        // The curve shows the boost around 50 Hz.
        QVERIFY(w.graph().curves().EQCurve[0][int(127 * std::log10(50.0 / 20.0) / 3.0 + 0.5)] > 10.0);
        w.ui->Slider_EQ_Gain_Bar[4]->setValue(120);
        QCOMPARE(w.ui->Edit_EQ_Gain[4]->text(), QStringLiteral("0.0"));
        QCOMPARE(w.ui->BT_LED[4]->styleSheet(), Styles::bandFlat());
        w.ui->Slider_EQ_Gain_Bar[0]->setValue(0);
        QCOMPARE(w.ui->Edit_EQ_Gain[0]->text(), QStringLiteral("-12.0"));
    }

    void linkedBandGoesOutFirst()
    {
        TestRig rig(true);
        connectLink(rig);
        Model().links.LinkMatrix[0][1] = Model().links.LinkMatrix[1][0] = 1;
        rig.w->ui->Slider_EQ_Gain_Bar[9]->setValue(100);
        QCOMPARE(Session().ParamStore.EqGain[1][9], uint16_t(100));
        QCOMPARE(rig.sent().size(), size_t(2));
        QCOMPARE(rig.sent()[0], bandFrame(1, 9));
        QCOMPARE(rig.sent()[1], bandFrame(0, 9));
        // A filters-only link carries no band.
        Model().links.LinkMode[0] = 2;
        rig.clearSent();
        rig.w->ui->Slider_EQ_Gain_Bar[9]->setValue(110);
        QCOMPARE(Session().ParamStore.EqGain[1][9], uint16_t(100));
        QCOMPARE(rig.sent().size(), size_t(1));
    }

    void nothingSentWhileDisconnected()
    {
        TestRig rig(false);
        Kestrun &w = *rig.w;
        w.ui->Slider_EQ_Gain_Bar[2]->setValue(200);
        typeInto(w.ui->Edit_EQ_Freq[2], QStringLiteral("40"));
        w.equalizer().on_BT_EQ_BYPASS_clicked();
        QCOMPARE(Session().ParamStore.EqGain[0][2], uint16_t(200));
        QCOMPARE(Session().ParamStore.EqFreq[0][2], uint16_t(40));
        QCOMPARE(rig.sim.reportLog().size(), size_t(0));
    }

    void frequencyEdit()
    {
        TestRig rig(true);
        connectLink(rig);
        Kestrun &w = *rig.w;
        QLineEdit *e = w.ui->Edit_EQ_Freq[4];
        for (const char *bad : {"19", "20001", "1e3", "50.5", "x"}) {
            typeInto(e, QString::fromLatin1(bad));
            QCOMPARE(e->text(), QStringLiteral("50"));
        }
        QCOMPARE(Session().ParamStore.EqFreq[0][4], uint16_t(50));
        QCOMPARE(rig.sent().size(), size_t(0));
        typeInto(e, QStringLiteral("20"));
        QCOMPARE(Session().ParamStore.EqFreq[0][4], uint16_t(20));
        QCOMPARE(Model().CurBand, uint8_t(4));
        QCOMPARE(rig.sent().size(), size_t(1));
        QCOMPARE(rig.sent()[0], QByteArray("\x05\x08\x00\x04\x14\x00\xF0\x00\x1E", 9));
        QCOMPARE(w.markers().BandMark[4]->x(), Freq_To_Pos(20));
        QCOMPARE(w.ui->Edit_Label[4]->x(), Freq_To_Pos(20));
        typeInto(e, QStringLiteral("20000"));
        QCOMPARE(Session().ParamStore.EqFreq[0][4], uint16_t(20000));
    }

    void qEdit()
    {
        TestRig rig(true);
        connectLink(rig);
        Kestrun &w = *rig.w;
        QLineEdit *e = w.ui->Edit_EQ_Q[7];
        for (const char *bad : {"0.35", "10.1", "-1", "q"}) {
            typeInto(e, QString::fromLatin1(bad));
            QCOMPARE(e->text(), QStringLiteral("3.0"));
        }
        QCOMPARE(rig.sent().size(), size_t(0));
        typeInto(e, QStringLiteral("0.4"));
        QCOMPARE(Session().ParamStore.EqQ[0][7], uint8_t(4));
        QCOMPARE(e->text(), QStringLiteral("0.4"));
        typeInto(e, QStringLiteral("10"));
        QCOMPARE(Session().ParamStore.EqQ[0][7], uint8_t(100));
        typeInto(e, QStringLiteral("2.39"));
        QCOMPARE(Session().ParamStore.EqQ[0][7], uint8_t(23));  // truncated, not rounded
        QCOMPARE(rig.sent().size(), size_t(3));
        QCOMPARE(rig.sent().back(), bandFrame(0, 7));
    }

    void gainEditAndItsLimits()
    {
        TestRig rig(true);
        connectLink(rig);
        Kestrun &w = *rig.w;
        QLineEdit *e = w.ui->Edit_EQ_Gain[2];
        typeInto(e, QStringLiteral("6"));
        QCOMPARE(Session().ParamStore.EqGain[0][2], uint16_t(180));
        QCOMPARE(e->text(), QStringLiteral("6.0"));  // shown as stored
        QCOMPARE(w.ui->Slider_EQ_Gain_Bar[2]->value(), 180);  // the slider follows at once
        QCOMPARE(w.ui->BT_LED[2]->styleSheet(), Styles::bandActive());
        QCOMPARE(rig.sent().size(), size_t(1));
        QCOMPARE(rig.sent()[0], bandFrame(0, 2));
        typeInto(e, QStringLiteral("-0.05"));
        QCOMPARE(Session().ParamStore.EqGain[0][2], uint16_t(119));  // truncated toward zero
        // Entries beyond +-12 dB up to +-20 dB are limited and shown limited.
        typeInto(e, QStringLiteral("15"));
        QCOMPARE(Session().ParamStore.EqGain[0][2], uint16_t(240));
        QCOMPARE(e->text(), QStringLiteral("12.0"));
        typeInto(e, QStringLiteral("-20"));
        QCOMPARE(Session().ParamStore.EqGain[0][2], uint16_t(0));
        QCOMPARE(e->text(), QStringLiteral("-12.0"));
        QCOMPARE(rig.sent().back(), QByteArray("\x05\x08\x00\x02\x20\x00\x78\x00\x1E", 9));
        // Beyond the graph, or no number: refused, the stored gain reappears.
        rig.clearSent();
        for (const char *bad : {"20.5", "-25", "nan", "inf", "3dB", ""}) {
            typeInto(e, QString::fromLatin1(bad));
            QCOMPARE(e->text(), QStringLiteral("-12.0"));
        }
        QCOMPARE(Session().ParamStore.EqGain[0][2], uint16_t(0));
        QCOMPARE(rig.sent().size(), size_t(0));
        typeInto(e, QStringLiteral("0"));
        QCOMPARE(w.ui->BT_LED[2]->styleSheet(), Styles::bandFlat());
    }

    void flatReset()
    {
        TestRig rig(true);
        connectLink(rig);
        Kestrun &w = *rig.w;
        w.ui->Slider_EQ_Gain_Bar[3]->setValue(200);
        w.ui->Slider_EQ_Gain_Bar[30]->setValue(10);
        Session().ParamStore.EqFreq[0][3] = 1000;
        rig.clearSent();
        // No: nothing changes.
        rig.answers = {false};
        w.ui->BT_EQ_RESET->click();
        QCOMPARE(rig.notices.size(), 1);
        QVERIFY(rig.notices[0].question);
        QCOMPARE(rig.notices[0].title, QStringLiteral("提示"));
        QCOMPARE(rig.notices[0].text, QStringLiteral("确定要将当前通道EQ复位到平直状态？"));
        QCOMPARE(Session().ParamStore.EqGain[0][3], uint16_t(200));
        QCOMPARE(rig.sent().size(), size_t(0));
        // Yes: the two raised bands go flat and are sent; frequencies stay.
        Lang().LanguageFlag = 1;
        rig.answers = {true};
        w.ui->BT_EQ_RESET->click();
        QCOMPARE(rig.notices[1].title, QStringLiteral("Notice"));
        QCOMPARE(rig.notices[1].text, QStringLiteral("Config flat current channel eq？"));
        QCOMPARE(Session().ParamStore.EqGain[0][3], uint16_t(120));
        QCOMPARE(Session().ParamStore.EqGain[0][30], uint16_t(120));
        QCOMPARE(Session().ParamStore.EqFreq[0][3], uint16_t(1000));
        QCOMPARE(rig.sent().size(), size_t(2));
        QCOMPARE(rig.sent()[0], bandFrame(0, 3));
        QCOMPARE(rig.sent()[1], bandFrame(0, 30));
        QCOMPARE(w.ui->Edit_Label[3]->geometry(), QRect(Freq_To_Pos(1000), 139 - 15, 18, 18));
        // Yes on a flat channel sends nothing.
        rig.clearSent();
        w.ui->BT_EQ_RESET->click();
        QCOMPARE(rig.sent().size(), size_t(0));
    }

    void flatResetAlsoFlattensTypedGain()
    {
        // A typed gain moved the slider; the reset flattens that band with one frame.
        TestRig rig(true);
        connectLink(rig);
        Kestrun &w = *rig.w;
        typeInto(w.ui->Edit_EQ_Gain[12], QStringLiteral("4.5"));
        QCOMPARE(Session().ParamStore.EqGain[0][12], uint16_t(165));
        rig.clearSent();
        w.ui->BT_EQ_RESET->click();
        QCOMPARE(Session().ParamStore.EqGain[0][12], uint16_t(120));
        QCOMPARE(w.ui->Edit_EQ_Gain[12]->text(), QStringLiteral("0.0"));
        QCOMPARE(w.ui->BT_LED[12]->styleSheet(), Styles::bandFlat());
        QCOMPARE(rig.sent().size(), size_t(1));
        QCOMPARE(rig.sent()[0], bandFrame(0, 12));
    }

    void graphicMode()
    {
        TestRig rig(false);
        Kestrun &w = *rig.w;
        QCOMPARE(w.ui->BT_PEQ->styleSheet(), Styles::light(QStringLiteral("BT_PEQ")));
        QVERIFY(w.ui->Edit_EQ_Freq[0]->isEnabled());
        w.ui->BT_GEQ->click();
        QCOMPARE(w.ui->BT_GEQ->styleSheet(), Styles::light(QStringLiteral("BT_GEQ")));
        QCOMPARE(w.ui->BT_PEQ->styleSheet(), Styles::dark(QStringLiteral("BT_PEQ")));
        for (int b = 0; b < BAND_COUNT; ++b) {
            QVERIFY(!w.ui->Edit_EQ_Freq[b]->isEnabled());
            QVERIFY(!w.ui->Edit_EQ_Q[b]->isEnabled());
            QVERIFY(w.ui->Edit_EQ_Gain[b]->isEnabled());
            QVERIFY(w.ui->Slider_EQ_Gain_Bar[b]->isEnabled());
        }
        QCOMPARE(w.ui->Edit_EQ_Freq[16]->styleSheet(),
                 QStringLiteral("QLineEdit#Edit_EQ_Freq_17{color: rgb(128, 128, 128);background-color: transparent;"
                                "border-width:1;border-style:outset;}"));
        QCOMPARE(w.ui->Edit_EQ_Q[30]->styleSheet(), Styles::eqEdit(QStringLiteral("Edit_EQ_Q_31"), false));
        // Gains stay editable; frequencies keep their values.
        typeInto(w.ui->Edit_EQ_Gain[16], QStringLiteral("2"));
        QCOMPARE(Session().ParamStore.EqGain[0][16], uint16_t(140));
        QCOMPARE(w.ui->Edit_EQ_Freq[16]->text(), QStringLiteral("800"));
        w.ui->BT_PEQ->click();
        QVERIFY(w.ui->Edit_EQ_Q[30]->isEnabled());
        QCOMPARE(w.ui->Edit_EQ_Freq[16]->styleSheet(),
                 QStringLiteral("QLineEdit#Edit_EQ_Freq_17{color: rgb(255, 255, 255);background-color: transparent;"
                                "border-width:1;border-style:outset;}"));
        QCOMPARE(rig.sim.reportLog().size(), size_t(0));
    }

    void typedGainSliderAndRefresh()
    {
        TestRig rig(true);
        connectLink(rig);
        Kestrun &w = *rig.w;
        typeInto(w.ui->Edit_EQ_Gain[6], QStringLiteral("-3"));
        QCOMPARE(Session().ParamStore.EqGain[0][6], uint16_t(90));
        QCOMPARE(w.ui->Slider_EQ_Gain_Bar[6]->value(), 90);
        rig.clearSent();
        // The slider already stands at the stored gain: a refresh of the view sends nothing again.
        w.outputs().BT_CH_Switch(0);
        QCOMPARE(w.ui->Slider_EQ_Gain_Bar[6]->value(), 90);
        QCOMPARE(rig.sent().size(), size_t(0));
    }

    void bypassFollowsTheChannel()
    {
        TestRig rig(true);
        connectLink(rig);
        Kestrun &w = *rig.w;
        QLabel *label15 = w.ui->Label[14];
        w.outputs().BT_CH_Switch(1);
        rig.clearSent();
        w.ui->BT_EQ_BYPASS->click();
        QCOMPARE(Session().ParamStore.EqBypass[1], uint8_t(1));
        QCOMPARE(Session().ParamStore.EqBypass[0], uint8_t(0));
        QVERIFY(!label15->isHidden());
        QCOMPARE(w.ui->BT_EQ_BYPASS->styleSheet(), Styles::light(QStringLiteral("BT_EQ_BYPASS")));
        QCOMPARE(rig.sent().size(), size_t(1));
        QCOMPARE(rig.sent()[0], QByteArray("\x05\x0B\x01\x01", 4));
        w.outputs().BT_CH_Switch(0);
        QVERIFY(label15->isHidden());
        w.outputs().BT_CH_Switch(1);
        QVERIFY(!label15->isHidden());
        w.ui->BT_EQ_BYPASS->click();
        QVERIFY(label15->isHidden());
        QCOMPARE(w.ui->BT_EQ_BYPASS->styleSheet(), Styles::dark(QStringLiteral("BT_EQ_BYPASS")));
        QCOMPARE(rig.sent().back(), QByteArray("\x05\x0B\x01\x00", 4));
    }
};

QTEST_MAIN(TestEqualizer)
#include "test_equalizer.moc"
