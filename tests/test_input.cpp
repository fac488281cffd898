// Input source buttons, the noise-gate menu, the comparison boxes and the delay redisplay.
#include "InputSlots.h"
#include "WindowMenus.h"
#include "OutputSlots.h"
#include "TestRig.h"

#include "LinkState.h"
#include "Styles.h"
#include "Transport.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {

QByteArray bytes(std::initializer_list<int> list)
{
    QByteArray b;
    for (int v : list) b.append(char(v));
    return b;
}

// Counts the paint events a widget receives.
class PaintCounter : public QObject
{
public:
    int paints = 0;
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Paint) ++paints;
        return false;
    }
};

}  // namespace

class TestInput : public QObject
{
    Q_OBJECT
private slots:
    void opticalTwiceSendsOnceAndRestylesTwice()
    {
        TestRig rig;
        connectLink(rig);
        Kestrun &w = *rig.w;
        w.ui->BT_INPUT_OPT->click();
        QCOMPARE(Session().ParamStore.InputSource, uint8_t(2));
        QCOMPARE(w.ui->BT_INPUT_OPT->styleSheet(), Styles::light(QStringLiteral("BT_INPUT_OPT")));
        // Spoil the looks; the second click writes them again although the source stays.
        for (QPushButton *b : {w.ui->BT_INPUT_HI, w.ui->BT_INPUT_LOW, w.ui->BT_INPUT_OPT, w.ui->BT_INPUT_BT,
                               w.ui->BT_INPUT_COAX})
            b->setStyleSheet(QString());
        w.ui->BT_INPUT_OPT->click();
        QCOMPARE(w.ui->BT_INPUT_OPT->styleSheet(), Styles::light(QStringLiteral("BT_INPUT_OPT")));
        for (QPushButton *b : {w.ui->BT_INPUT_HI, w.ui->BT_INPUT_LOW, w.ui->BT_INPUT_BT, w.ui->BT_INPUT_COAX})
            QCOMPARE(b->styleSheet(), Styles::dark(b->objectName()));
        QCOMPARE(rig.sent(), std::vector<QByteArray>{bytes({0x05, 0x02, 0x02})});
        QCOMPARE(rig.sim.params().InputSource, uint8_t(2));
        QCOMPARE(rig.sim.rejectedCount(), 0);
    }

    void highAndLowButtons()
    {
        TestRig rig;
        connectLink(rig);
        Kestrun &w = *rig.w;
        // The window starts on source 0 with the low-level button lit: a click on HI only restyles.
        QCOMPARE(w.ui->BT_INPUT_LOW->styleSheet(), Styles::light(QStringLiteral("BT_INPUT_LOW")));
        w.ui->BT_INPUT_HI->click();
        QVERIFY(rig.sent().empty());
        QCOMPARE(w.ui->BT_INPUT_HI->styleSheet(), Styles::light(QStringLiteral("BT_INPUT_HI")));
        QCOMPARE(w.ui->BT_INPUT_LOW->styleSheet(), Styles::dark(QStringLiteral("BT_INPUT_LOW")));
        w.ui->BT_INPUT_LOW->click();
        w.ui->BT_INPUT_HI->click();
        QCOMPARE(rig.sent(), (std::vector<QByteArray>{bytes({0x05, 0x02, 0x01}), bytes({0x05, 0x02, 0x00})}));
        QCOMPARE(Session().ParamStore.InputSource, uint8_t(0));
        // The two inputs the processor lacks do nothing.
        w.ui->BT_INPUT_BT->click();
        w.ui->BT_INPUT_COAX->click();
        QCOMPARE(Session().ParamStore.InputSource, uint8_t(0));
        QCOMPARE(rig.sent().size(), size_t(2));
    }

    void offlineStoresWithoutSending()
    {
        TestRig rig;
        rig.w->ui->BT_INPUT_OPT->click();
        rig.w->menus().NoiseGateAct[4]->trigger();
        QCOMPARE(Session().ParamStore.InputSource, uint8_t(2));
        QCOMPARE(Session().ParamStore.NoiseGate, uint16_t(4));
        QCOMPARE(Session().Port.framesWritten, 0);
        QVERIFY(rig.sent().empty());
    }

    void inputButtonShowForDownloads()
    {
        TestRig rig;
        Kestrun &w = *rig.w;
        QPushButton *bySource[3] = {w.ui->BT_INPUT_HI, w.ui->BT_INPUT_LOW, w.ui->BT_INPUT_OPT};
        for (uint8_t s = 0; s < 3; ++s) {
            w.inputs().Input_Button_Show(s);
            for (uint8_t k = 0; k < 3; ++k)
                QCOMPARE(bySource[k]->styleSheet(), k == s ? Styles::light(bySource[k]->objectName())
                                                           : Styles::dark(bySource[k]->objectName()));
            QCOMPARE(w.ui->BT_INPUT_BT->styleSheet(), Styles::dark(QStringLiteral("BT_INPUT_BT")));
        }
        w.inputs().Input_Button_Show(7);  // nothing lit, nothing crashes
        for (QPushButton *b : bySource) QCOMPARE(b->styleSheet(), Styles::dark(b->objectName()));
    }

    void noiseGateLevels()
    {
        TestRig rig;
        connectLink(rig);
        Kestrun &w = *rig.w;
        w.menus().NoiseGateAct[3]->trigger();  // "3级"
        QCOMPARE(w.menus().NoiseGateAct[3]->text(), QStringLiteral("3级"));
        QVERIFY(w.menus().NoiseGateAct[3]->isChecked());
        QVERIFY(!w.menus().NoiseGateAct[0]->isChecked());
        QCOMPARE(Session().ParamStore.NoiseGate, uint16_t(3));
        w.menus().NoiseGateAct[0]->trigger();  // "关闭"
        QCOMPARE(Session().ParamStore.NoiseGate, uint16_t(0));
        QVERIFY(w.menus().NoiseGateAct[0]->isChecked());
        QCOMPARE(rig.sent(), (std::vector<QByteArray>{bytes({0x05, 0x13, 0x03, 0x01}), bytes({0x05, 0x13, 0x00, 0x00})}));
        rig.clearSent();
        for (int k = 1; k < 7; ++k) w.menus().NoiseGateAct[k]->trigger();
        const auto sent = rig.sent();
        QCOMPARE(sent.size(), size_t(6));
        for (int k = 1; k < 7; ++k) QCOMPARE(sent[size_t(k - 1)], bytes({0x05, 0x13, k, 0x01}));
        QCOMPARE(rig.sim.params().NoiseGate, uint16_t(6));
        QCOMPARE(rig.sim.rejectedCount(), 0);
        // Out-of-range levels from code are ignored.
        w.inputs().noiseGateChosen(7);
        w.inputs().noiseGateChosen(-1);
        QCOMPARE(Session().ParamStore.NoiseGate, uint16_t(6));
        QCOMPARE(rig.sent().size(), size_t(6));
    }

    void comparisonBoxOnlyRepaints()
    {
        TestRig rig;
        connectLink(rig);
        Kestrun &w = *rig.w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCoreApplication::processEvents();
        const QByteArray before(reinterpret_cast<const char *>(Session().ParamStore.bytes()), STORE_SIZE);
        PaintCounter counter;
        w.installEventFilter(&counter);
        w.ui->checkBox[3]->setChecked(true);  // checkBox_4
        QTRY_VERIFY(counter.paints > 0);
        w.removeEventFilter(&counter);
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(Session().ParamStore.bytes()), STORE_SIZE), before);
        QVERIFY(rig.sent().empty());
    }

    void carMapRewritesDelays()
    {
        TestRig rig;
        Kestrun &w = *rig.w;
        for (int ch = 0; ch < CH_COUNT; ++ch) {
            Session().ParamStore.ChDelay[ch] = uint16_t(ch * 137);
            w.ui->Edit_CHDelay[ch]->setText(QStringLiteral("x"));
        }
        w.inputs().CarMap_Update_Change();
        for (int ch = 0; ch < CH_COUNT; ++ch)
            QCOMPARE(w.ui->Edit_CHDelay[ch]->text(), w.outputs().GetDelayDisplayStr(uint16_t(ch * 137)));
        w.inputs().SourceSet_Slider_Change(1, 2);  // inert
    }
};

QTEST_MAIN(TestInput)
#include "test_input.moc"
