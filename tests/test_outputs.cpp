// Output strips: volume and delay entries, the ms/cm unit, phase, mute, main mute and the sync group.
#include "OutputSlots.h"
#include "TestRig.h"
#include "TuningModel.h"

#include "LinkState.h"
#include "OutputValues.h"
#include "Styles.h"
#include "SyncGroup.h"
#include "Texts.h"
#include "Transport.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QtTest>

namespace {

QByteArray bytes(std::initializer_list<int> v)
{
    QByteArray a;
    for (int b : v) a.append(char(b));
    return a;
}

void enter(QLineEdit *e, const QString &text)
{
    e->setText(text);
    emit e->returnPressed();
}

void connectRig(TestRig &rig)
{
    QVERIFY(Session().Port.open());
    Session().Link.Connected = 1;
    rig.clearSent();
}

}  // namespace

class TestOutputs : public QObject
{
    Q_OBJECT
private slots:
    void valueFormats()
    {
        using namespace OutputValues;
        QCOMPARE(volumeText(600), QStringLiteral("0.0dB"));
        QCOMPARE(volumeText(0), QStringLiteral("-60.0dB"));
        QCOMPARE(volumeText(599), QStringLiteral("-0.1dB"));
        QCOMPARE(delayText(0, 0), QStringLiteral("0.00ms"));
        QCOMPARE(delayText(1500, 0), QStringLiteral("15.00ms"));
        QCOMPARE(delayText(250, 1), QStringLiteral("86cm"));
        QCOMPARE(delayText(1500, 1), QStringLiteral("518cm"));
        double r = 0;
        QVERIFY(parseDelay(QStringLiteral("2.5ms"), 0, &r));
        QCOMPARE(delayCode(r), uint16_t(250));
        QVERIFY(!parseDelay(QStringLiteral("nan"), 0, &r));
        QVERIFY(!parseDelay(QStringLiteral("inf"), 1, &r));
        QVERIFY(!parseDelay(QStringLiteral("cm"), 1, &r));
        double db = 0;
        QVERIFY(!parseVolume(QStringLiteral("-3dB"), &db));
        QVERIFY(!parseVolume(QStringLiteral("nan"), &db));
        QVERIFY(parseVolume(QStringLiteral("-60"), &db));
        QCOMPARE(volumeCode(-12.34), 477);
    }

    void channelVolumeEntry()
    {
        TestRig rig;
        connectRig(rig);
        Kestrun &w = *rig.w;
        enter(w.ui->Edit_CHVol[1], QStringLiteral("-3"));
        QCOMPARE(w.ui->Slider_CHVol_Bar[1]->value(), 570);
        QCOMPARE(Session().ParamStore.ChVol[1], uint16_t(570));
        QCOMPARE(w.ui->Edit_CHVol[1]->text(), QStringLiteral("-3.0dB"));
        QCOMPARE(rig.sent(), (std::vector<QByteArray>{bytes({5, 0x04, 1, 0x3A, 0x02})}));

        for (const char *bad : {"1", "-61", "-3dB", "", "x"}) {
            rig.clearSent();
            enter(w.ui->Edit_CHVol[1], QString::fromLatin1(bad));
            QCOMPARE(w.ui->Edit_CHVol[1]->text(), QStringLiteral("-3.0dB"));
            QCOMPARE(Session().ParamStore.ChVol[1], uint16_t(570));
            QVERIFY(rig.sent().empty());
        }
        // The slider itself: store, text and one frame per move.
        rig.clearSent();
        w.ui->Slider_CHVol_Bar[5]->setValue(0);
        QCOMPARE(Session().ParamStore.ChVol[5], uint16_t(0));
        QCOMPARE(w.ui->Edit_CHVol[5]->text(), QStringLiteral("-60.0dB"));
        QCOMPARE(rig.sent(), (std::vector<QByteArray>{bytes({5, 0x04, 5, 0, 0})}));
    }

    void masterVolume()
    {
        TestRig rig;
        connectRig(rig);
        Kestrun &w = *rig.w;
        w.ui->Slider_Total_Bar->setValue(300);
        QCOMPARE(Session().ParamStore.MasterVol, uint16_t(300));
        QCOMPARE(w.ui->Edit_Total->text(), QStringLiteral("-30.0dB"));
        enter(w.ui->Edit_Total, QStringLiteral("-12.34"));
        QCOMPARE(w.ui->Slider_Total_Bar->value(), 477);
        QCOMPARE(w.ui->Edit_Total->text(), QStringLiteral("-12.3dB"));
        QCOMPARE(rig.sent(), (std::vector<QByteArray>{bytes({5, 0x0D, 0x2C, 0x01}), bytes({5, 0x0D, 0xDD, 0x01})}));
        rig.clearSent();
        enter(w.ui->Edit_Total, QStringLiteral("0.1"));
        QCOMPARE(w.ui->Edit_Total->text(), QStringLiteral("-12.3dB"));
        enter(w.ui->Edit_Total, QStringLiteral("-12.3dB"));
        QCOMPARE(w.ui->Edit_Total->text(), QStringLiteral("-12.3dB"));
        QCOMPARE(Session().ParamStore.MasterVol, uint16_t(477));
        QVERIFY(rig.sent().empty());
    }

    void delayEntryAndUnit()
    {
        TestRig rig;
        connectRig(rig);
        Kestrun &w = *rig.w;
        QLineEdit *e = w.ui->Edit_CHDelay[2];
        enter(e, QStringLiteral("2.5"));
        QCOMPARE(Session().ParamStore.ChDelay[2], uint16_t(250));
        QCOMPARE(e->text(), QStringLiteral("2.50ms"));
        QCOMPARE(rig.sent(), (std::vector<QByteArray>{bytes({5, 0x09, 2, 0xFA, 0x00})}));

        rig.clearSent();
        w.outputs().cm_Fun();
        QCOMPARE(Model().DelayUnit, 1u);
        QCOMPARE(w.ui->BT_Unit->text(), QStringLiteral("cm"));
        QCOMPARE(e->text(), QStringLiteral("86cm"));
        QCOMPARE(w.ui->Edit_CHDelay[0]->text(), QStringLiteral("0cm"));
        enter(e, QStringLiteral("86cm"));
        QCOMPARE(Session().ParamStore.ChDelay[2], uint16_t(249));
        QCOMPARE(e->text(), QStringLiteral("86cm"));
        enter(e, QStringLiteral("518"));  // 1501.4 steps
        QCOMPARE(Session().ParamStore.ChDelay[2], uint16_t(249));
        QCOMPARE(e->text(), QStringLiteral("86cm"));
        enter(e, QStringLiteral("517"));
        QCOMPARE(Session().ParamStore.ChDelay[2], uint16_t(1499));
        QCOMPARE(rig.sent(), (std::vector<QByteArray>{bytes({5, 0x09, 2, 0xF9, 0x00}), bytes({5, 0x09, 2, 0xDB, 0x05})}));

        rig.clearSent();
        w.outputs().ms_Fun();
        QCOMPARE(Model().DelayUnit, 0u);
        QCOMPARE(w.ui->BT_Unit->text(), QStringLiteral("ms"));
        QCOMPARE(e->text(), QStringLiteral("14.99ms"));
        QVERIFY(rig.sent().empty());  // the unit changes nothing on the processor
        for (const char *bad : {"15.01", "-0.01", "-5", "abc", "nan", "1e9", "2.5 s"}) {
            enter(e, QString::fromLatin1(bad));
            QCOMPARE(e->text(), QStringLiteral("14.99ms"));
            QCOMPARE(Session().ParamStore.ChDelay[2], uint16_t(1499));
        }
        QVERIFY(rig.sent().empty());
        enter(e, QStringLiteral("15"));
        QCOMPARE(Session().ParamStore.ChDelay[2], uint16_t(1500));
        QCOMPARE(e->text(), QStringLiteral("15.00ms"));
        enter(e, QStringLiteral("0ms"));
        QCOMPARE(Session().ParamStore.ChDelay[2], uint16_t(0));
    }

    void phaseAndTexts()
    {
        TestRig rig;
        connectRig(rig);
        Kestrun &w = *rig.w;
        QPushButton *b = w.ui->BT_Phase[3];
        QCOMPARE(b->text(), QStringLiteral("正相"));
        b->click();
        QCOMPARE(Session().ParamStore.ChPhase[3], uint8_t(1));
        QCOMPARE(b->text(), QStringLiteral("反相"));
        QCOMPARE(b->styleSheet(), QStringLiteral("QPushButton#BT_Phase_4{background-color: rgb(204, 204, 204);color:red;"
                                                 "border:1px groove gray;border-radius:6px;padding:1px 4px;border-style: outset;}"));
        Lang().LanguageFlag = 1;
        w.outputs().Phase_Button_Show(3, 1);
        QCOMPARE(b->text(), QStringLiteral("180°"));
        b->click();
        QCOMPARE(b->text(), QStringLiteral("0°"));
        QCOMPARE(b->styleSheet(), Styles::dark(QStringLiteral("BT_Phase_4")));
        QCOMPARE(rig.sent(), (std::vector<QByteArray>{bytes({5, 0x0A, 3, 1}), bytes({5, 0x0A, 3, 0})}));
    }

    void muteAndMainMute()
    {
        TestRig rig;
        connectRig(rig);
        Kestrun &w = *rig.w;
        w.ui->BT_MainMute->click();
        QCOMPARE(Model().MainMuteOn, uint8_t(1));
        QCOMPARE(w.ui->BT_MainMute->styleSheet(), Styles::light(QStringLiteral("BT_MainMute")));
        std::vector<QByteArray> expect;
        for (int ch = 0; ch < CH_COUNT; ++ch) {
            QCOMPARE(Session().ParamStore.ChMute[ch], uint8_t(1));
            QCOMPARE(w.ui->BT_Mute[ch]->styleSheet(), Styles::muted(w.ui->BT_Mute[ch]->objectName()));
            expect.push_back(bytes({5, 0x05, ch, 1}));
        }
        QCOMPARE(rig.sent(), expect);

        // Un-muting one output releases the main mute; the other five stay muted.
        rig.clearSent();
        w.ui->BT_Mute[2]->click();
        QCOMPARE(Session().ParamStore.ChMute[2], uint8_t(0));
        QCOMPARE(Model().MainMuteOn, uint8_t(0));
        QCOMPARE(w.ui->BT_MainMute->styleSheet(), Styles::dark(QStringLiteral("BT_MainMute")));
        for (int ch : {0, 1, 3, 4, 5}) QCOMPARE(Session().ParamStore.ChMute[ch], uint8_t(1));
        QCOMPARE(rig.sent(), (std::vector<QByteArray>{bytes({5, 0x05, 2, 0})}));

        w.ui->BT_Mute[2]->click();
        QCOMPARE(w.ui->BT_Mute[2]->styleSheet(),
                 QStringLiteral("QPushButton#BT_Mute_3{background-color: rgb(204, 204, 204);color:red;border:1px groove gray;"
                                "border-radius:6px;padding:1px 4px;border-style: outset;;}"));
        QCOMPARE(Model().MainMuteOn, uint8_t(0));  // muting never engages the main mute

        // Releasing the main mute puts back each output's own mute, one frame per output in channel order.
        for (int ch : {0, 1, 3, 4, 5}) w.ui->BT_Mute[ch]->click();
        rig.clearSent();
        w.ui->BT_MainMute->click();
        w.ui->BT_MainMute->click();
        for (int ch = 0; ch < CH_COUNT; ++ch) {
            QCOMPARE(Session().ParamStore.ChMute[ch], uint8_t(ch == 2));
            expect[size_t(ch)] = bytes({5, 0x05, ch, ch == 2});
            QCOMPARE(w.ui->BT_Mute[ch]->styleSheet(), ch == 2 ? Styles::muted(w.ui->BT_Mute[ch]->objectName())
                                                              : Styles::dark(w.ui->BT_Mute[ch]->objectName()));
        }
        const std::vector<QByteArray> sent = rig.sent();
        QCOMPARE(sent.size(), size_t(12));
        QCOMPARE(std::vector<QByteArray>(sent.begin() + 6, sent.end()), expect);
        QCOMPARE(Model().MainMuteOn, uint8_t(0));
    }

    void syncButtons()
    {
        TestRig rig;
        connectRig(rig);
        Kestrun &w = *rig.w;
        w.ui->BT_Sync[4]->click();
        QCOMPARE(Model().sync.SyncOn[4], uint8_t(1));
        QCOMPARE(Model().sync.Member[4], uint8_t(1));
        QCOMPARE(w.ui->BT_Sync[4]->styleSheet(),
                 QStringLiteral("QPushButton#BT_Sync_A051{background-color: rgb(204, 204, 204);color:red;border:1px groove gray;"
                                "border-radius:6px;padding:1px 4px;border-style: outset;}"));
        w.ui->BT_Sync[4]->click();
        QCOMPARE(Model().sync.SyncOn[4], uint8_t(0));
        QCOMPARE(Model().sync.Member[4], uint8_t(0));
        QCOMPARE(w.ui->BT_Sync[4]->styleSheet(), Styles::dark(QStringLiteral("BT_Sync_A051")));
        QVERIFY(rig.sent().empty());
    }

    void syncVolumeGroup()
    {
        TestRig rig;
        connectRig(rig);
        Kestrun &w = *rig.w;
        w.ui->Slider_CHVol_Bar[0]->setValue(500);
        w.ui->Slider_CHVol_Bar[1]->setValue(590);
        w.ui->Slider_CHVol_Bar[3]->setValue(100);  // not a member: never moves
        w.ui->BT_Sync[0]->click();
        w.ui->BT_Sync[1]->click();
        rig.clearSent();

        // 20 steps would push output 2 past 600: refused, slider 1 springs back.
        w.ui->Slider_CHVol_Bar[0]->setValue(520);
        QCOMPARE(w.ui->Slider_CHVol_Bar[0]->value(), 500);
        QCOMPARE(Session().ParamStore.ChVol[0], uint16_t(500));
        QCOMPARE(Session().ParamStore.ChVol[1], uint16_t(590));
        QCOMPARE(w.ui->Edit_CHVol[0]->text(), QStringLiteral("-10.0dB"));
        // The spring-back completes as a move by 0 and resends the old value.
        QCOMPARE(rig.sent(), (std::vector<QByteArray>{bytes({5, 0x04, 0, 0xF4, 0x01})}));

        // 10 steps move both; the partner's frame goes out first.
        rig.clearSent();
        w.ui->Slider_CHVol_Bar[0]->setValue(510);
        QCOMPARE(Session().ParamStore.ChVol[0], uint16_t(510));
        QCOMPARE(Session().ParamStore.ChVol[1], uint16_t(600));
        QCOMPARE(w.ui->Slider_CHVol_Bar[1]->value(), 600);
        QCOMPARE(w.ui->Edit_CHVol[1]->text(), QStringLiteral("0.0dB"));
        QCOMPARE(Session().ParamStore.ChVol[3], uint16_t(100));
        QCOMPARE(rig.sent(), (std::vector<QByteArray>{bytes({5, 0x04, 1, 0x58, 0x02}), bytes({5, 0x04, 0, 0xFE, 0x01})}));

        // A typed entry that the group cannot follow is refused and the text restored.
        rig.clearSent();
        enter(w.ui->Edit_CHVol[0], QStringLiteral("-8"));
        QCOMPARE(Session().ParamStore.ChVol[0], uint16_t(510));
        QCOMPARE(w.ui->Edit_CHVol[0]->text(), QStringLiteral("-9.0dB"));
        QVERIFY(rig.sent().empty());
        // Downwards the group follows; moving the non-member moves nobody else.
        enter(w.ui->Edit_CHVol[1], QStringLiteral("-1"));
        QCOMPARE(Session().ParamStore.ChVol[1], uint16_t(590));
        QCOMPARE(Session().ParamStore.ChVol[0], uint16_t(500));
        w.ui->Slider_CHVol_Bar[3]->setValue(50);
        QCOMPARE(Session().ParamStore.ChVol[0], uint16_t(500));
        QCOMPARE(Session().ParamStore.ChVol[1], uint16_t(590));
    }

    void syncDelayGroup()
    {
        TestRig rig;
        connectRig(rig);
        Kestrun &w = *rig.w;
        enter(w.ui->Edit_CHDelay[2], QStringLiteral("14.9"));
        w.ui->BT_Sync[0]->click();
        w.ui->BT_Sync[2]->click();
        rig.clearSent();
        enter(w.ui->Edit_CHDelay[0], QStringLiteral("0.2"));
        QCOMPARE(Session().ParamStore.ChDelay[0], uint16_t(0));
        QCOMPARE(Session().ParamStore.ChDelay[2], uint16_t(1490));
        QCOMPARE(w.ui->Edit_CHDelay[0]->text(), QStringLiteral("0.00ms"));
        QVERIFY(rig.sent().empty());
        enter(w.ui->Edit_CHDelay[0], QStringLiteral("0.1"));
        QCOMPARE(Session().ParamStore.ChDelay[0], uint16_t(10));
        QCOMPARE(Session().ParamStore.ChDelay[2], uint16_t(1500));
        QCOMPARE(w.ui->Edit_CHDelay[2]->text(), QStringLiteral("15.00ms"));
        QCOMPARE(rig.sent(), (std::vector<QByteArray>{bytes({5, 0x09, 2, 0xDC, 0x05}), bytes({5, 0x09, 0, 10, 0})}));
        // Downwards past 0 for a member is refused as a whole.
        rig.clearSent();
        enter(w.ui->Edit_CHDelay[2], QStringLiteral("14"));
        QCOMPARE(Session().ParamStore.ChDelay[2], uint16_t(1500));
        QCOMPARE(w.ui->Edit_CHDelay[2]->text(), QStringLiteral("15.00ms"));
        QVERIFY(rig.sent().empty());
    }

    void syncPhaseAndMute()
    {
        TestRig rig;
        connectRig(rig);
        Kestrun &w = *rig.w;
        w.ui->BT_Phase[2]->click();  // output 3 inverted before it joins
        w.ui->BT_Sync[0]->click();
        w.ui->BT_Sync[2]->click();
        rig.clearSent();
        w.ui->BT_Phase[0]->click();
        QCOMPARE(Session().ParamStore.ChPhase[0], uint8_t(1));
        QCOMPARE(Session().ParamStore.ChPhase[2], uint8_t(0));  // flipped, not copied
        QCOMPARE(w.ui->BT_Phase[2]->text(), QStringLiteral("正相"));
        QCOMPARE(w.ui->BT_Phase[0]->text(), QStringLiteral("反相"));
        QCOMPARE(rig.sent(), (std::vector<QByteArray>{bytes({5, 0x0A, 2, 0}), bytes({5, 0x0A, 0, 1})}));

        rig.clearSent();
        w.ui->BT_Mute[2]->click();
        QCOMPARE(Session().ParamStore.ChMute[2], uint8_t(1));
        QCOMPARE(Session().ParamStore.ChMute[0], uint8_t(1));
        QCOMPARE(w.ui->BT_Mute[0]->styleSheet(), Styles::muted(QStringLiteral("BT_Mute_1")));
        QCOMPARE(rig.sent(), (std::vector<QByteArray>{bytes({5, 0x05, 0, 1}), bytes({5, 0x05, 2, 1})}));
        QCOMPARE(Session().ParamStore.ChMute[1], uint8_t(0));
    }

    void disconnectedEditsStoreAndShowOnly()
    {
        TestRig rig;
        QVERIFY(Session().Port.open());
        Session().Link.Connected = 0;
        Kestrun &w = *rig.w;
        w.ui->BT_Sync[0]->click();
        w.ui->BT_Sync[1]->click();
        w.ui->Slider_Total_Bar->setValue(10);
        enter(w.ui->Edit_CHVol[0], QStringLiteral("-20"));
        enter(w.ui->Edit_CHDelay[1], QStringLiteral("3"));
        w.ui->BT_Phase[0]->click();
        w.ui->BT_Mute[1]->click();
        w.ui->BT_MainMute->click();
        QCOMPARE(Session().ParamStore.MasterVol, uint16_t(10));
        QCOMPARE(Session().ParamStore.ChVol[0], uint16_t(400));
        QCOMPARE(Session().ParamStore.ChVol[1], uint16_t(400));
        QCOMPARE(w.ui->Edit_CHVol[1]->text(), QStringLiteral("-20.0dB"));
        QCOMPARE(Session().ParamStore.ChDelay[0], uint16_t(300));
        QCOMPARE(Session().ParamStore.ChDelay[1], uint16_t(300));
        QCOMPARE(Session().ParamStore.ChPhase[1], uint8_t(1));
        QCOMPARE(w.ui->BT_Phase[1]->text(), QStringLiteral("反相"));
        QCOMPARE(Model().MainMuteOn, uint8_t(1));
        QVERIFY(rig.sent().empty());
        QCOMPARE(Session().Port.framesWritten, 0ul);
    }
};

QTEST_MAIN(TestOutputs)
#include "test_outputs.moc"
