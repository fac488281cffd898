// A/B memories on the wire, and edits made offline: the choice at connection and the offer at closing.
#include "LanguageSwitch.h"
#include "LinkView.h"
#include "OutputSlots.h"
#include "TestRig.h"
#include "TransferKit.h"
#include "TuningModel.h"

#include "AbControls.h"
#include "EntryHint.h"
#include "LinkState.h"
#include "SceneFile.h"
#include "Transport.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QtTest>

class TestCompareOffline : public QObject
{
    Q_OBJECT
    QTemporaryDir dir_;

    // Offline edits, then the processor plugs in and the download completes; the choice answers the question.
    static void editOfflineThenConnect(TestRig &rig, int choice)
    {
        rig.w->ui->Slider_CHVol_Bar[0]->setValue(300);
        QVERIFY(Model().hasOfflineEdits());
        rig.noticeBox.setChoiceResponder([choice](const Notice::Request &) { return choice; });
        rig.sim.setPlugged(true);
        QVERIFY(rig.connectAndDownload());
        QTest::qWait(1);  // the question comes once the completing tick is over
        rig.noticeBox.setChoiceResponder(nullptr);
    }

private slots:
    // A switch sends only what differs, per output: output controls, crossovers, bands; it is one step.
    void abSwitchFrames()
    {
        TestRig rig;
        QVERIFY(rig.connectAndDownload());
        Kestrun &w = *rig.w;
        QVERIFY(!Model().memoryUsed(0));
        w.Ab->storeButton(0)->click();
        w.ui->Slider_CHVol_Bar[2]->setValue(420);
        w.outputs().BT_CH_Switch(1);
        for (int b = 0; b < BAND_COUNT; ++b) w.ui->Slider_EQ_Gain_Bar[b]->setValue(60 + b);
        w.Ab->storeButton(1)->click();
        rig.clearSent();
        w.Ab->switchButton(0)->click();
        std::vector<QByteArray> expect;
        for (int b = 0; b < BAND_COUNT; ++b) expect.push_back(bandFrame(1, b));
        expect.push_back(QByteArray::fromHex("050402" "5802"));
        const std::vector<QByteArray> sent = rig.sent();
        QCOMPARE(sent, expect);
        QCOMPARE(Model().activeMemory(), 0);
        QCOMPARE(w.ui->Slider_EQ_Gain_Bar[4]->value(), 120);
        Model().undo();
        QCOMPARE(Session().ParamStore.ChVol[2], uint16_t(420));
        w.linkView().Update_All_State();  // a download leaves the memories alone
        QVERIFY(Model().memoryUsed(0) && Model().memoryUsed(1));
    }

    void connectKeepsTheProcessorsSettings()
    {
        TestRig rig(false);
        editOfflineThenConnect(rig, 0);
        QCOMPARE(Session().ParamStore.ChVol[0], uint16_t(600));
        QVERIFY(!Model().hasOfflineEdits());
    }

    // Send mine: a single-scene transfer of the offline store, then the usual re-read.
    void connectSendsMySettings()
    {
        TestRig rig(false);
        TransferKit kit(rig);
        editOfflineThenConnect(rig, 1);
        QCOMPARE(rig.sim.params().ChVol[0], uint16_t(300));
        rig.tick(600);  // the re-read
        QCOMPARE(Session().ParamStore.ChVol[0], uint16_t(300));
        QVERIFY(!Model().hasOfflineEdits());
    }

    // Save mine first: the file holds the offline edits, the editor the processor's settings.
    void connectSavesMySettingsFirst()
    {
        TestRig rig(false);
        TransferKit kit(rig);
        const QString path = dir_.filePath(QStringLiteral("mine.SCE"));
        kit.paths = {path};
        editOfflineThenConnect(rig, 2);
        QByteArray file;
        QCOMPARE(SceneFile::read(path, SceneFile::SINGLE_SIZE, &file), SceneFile::Read::Ok);
        QCOMPARE(reinterpret_cast<const ParamBlock *>(file.constData())->ChVol[0], uint16_t(300));
        QCOMPARE(Session().ParamStore.ChVol[0], uint16_t(600));
    }

    // A refused or limited entry restores or limits its field and shows the accepted range beside it.
    void refusedEntriesShowTheirRange()
    {
        TestRig rig(false);
        Kestrun &w = *rig.w;
        QLineEdit *freq = w.ui->Edit_EQ_Freq[2];
        const QString style = freq->styleSheet();
        freq->setText(QStringLiteral("30000"));
        emit freq->returnPressed();
        QCOMPARE(freq->text(), QStringLiteral("32"));
        QCOMPARE(freq->styleSheet(), style);
        QVERIFY(!w.Hint->isHidden());
        QCOMPARE(w.Hint->text(), T(Txt::HintFreq, 0));
        QLineEdit *gain = w.ui->Edit_EQ_Gain[2];
        gain->setText(QStringLiteral("15"));
        emit gain->returnPressed();
        QCOMPARE(gain->text(), QStringLiteral("12.0"));
        QCOMPARE(w.Hint->text(), T(Txt::HintGain, 0));
        w.language().Option_Sub7_Fun();  // English
        w.ui->Edit_CHDelay[1]->setText(QStringLiteral("16"));
        emit w.ui->Edit_CHDelay[1]->returnPressed();
        QCOMPARE(w.Hint->text(), T(Txt::HintDelay, 1));
        QVERIFY(rig.notices.isEmpty());
    }

    // Closing with unsaved offline edits offers to save them; a cancelled save keeps the window open.
    void closingOffersToSave()
    {
        TestRig rig(false);
        TransferKit kit(rig);
        rig.w->ui->Slider_CHVol_Bar[4]->setValue(250);
        kit.paths = {QString()};
        rig.answers = {true};
        rig.w->on_BT_CLOSE_clicked();
        QVERIFY(Model().hasOfflineEdits());
        const QString path = dir_.filePath(QStringLiteral("closing.SCE"));
        kit.paths = {path};
        rig.answers = {true};
        rig.w->on_BT_CLOSE_clicked();
        QVERIFY(QFile::exists(path));
        QVERIFY(!Model().hasOfflineEdits());
    }
};

QTEST_MAIN(TestCompareOffline)
#include "test_compare_offline.moc"
