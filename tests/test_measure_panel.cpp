// The measurement panel on the test rig: a run over the virtual car into the overlay, cancel, refusals, languages.
#include "LanguageSwitch.h"
#include "WindowMenus.h"
#include "TestRig.h"
#include "TuningModel.h"

#include "FileDialogs.h"
#include "ImpulseView.h"
#include "MeasurePanel.h"
#include "Texts.h"
#include "TuningPanel.h"

#include <QAction>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>

namespace {

QAction *measureAction(Kestrun &w) { return w.findChild<QAction *>(QStringLiteral("MeasureAct")); }

MeasurePanel *openPanel(TestRig &rig)
{
    measureAction(*rig.w)->trigger();
    auto *panel = rig.w->findChild<MeasurePanel *>();
    if (panel) panel->sweepSeconds->setValue(0.5);
    return panel;
}

// The tuning panel shows the selected output's measurement from the overlay.
TuningPanel *tuningPanel(Kestrun &w)
{
    w.menus().TuningAct->trigger();
    return w.findChild<TuningPanel *>();
}

bool sameMemory(const SimProcessor &sim, const ParamBlock &before)
{
    return std::memcmp(&sim.params(), &before, IMAGE_SIZE) == 0;
}

}  // namespace

class TestMeasurePanel : public QObject
{
    Q_OBJECT
private slots:
    void measuresTheSelectedOutputIntoTheOverlay()
    {
        TestRig rig;
        QVERIFY(rig.connectAndDownload());
        Model().selectChannel(0);
        MeasurePanel *panel = openPanel(rig);
        QVERIFY(panel && panel->isVisible());
        QVERIFY(panel->outputDevice->findText(VirtualCar::deviceName()) > 0);
        const ParamBlock before = rig.sim.params();
        TuningPanel *tuning = tuningPanel(*rig.w);
        QCOMPARE(tuning->measurementName->text(), T(Txt::PanelNoMeasurement, Lang().LanguageFlag));

        panel->positions->setValue(2);
        panel->measureButton->click();
        QVERIFY2(panel->run().running(), qPrintable(panel->status->text()));
        QVERIFY(!panel->measureButton->isEnabled() && panel->cancelButton->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(panel->continueButton->isEnabled(), 60000);  // move the microphone
        QVERIFY2(panel->status->text().contains(QStringLiteral("位置 2")), qPrintable(panel->status->text()));
        panel->continueButton->click();
        QTRY_VERIFY_WITH_TIMEOUT(!panel->run().running(), 60000);

        QVERIFY2(tuning->measurementName->text().startsWith(QStringLiteral("CH1 ")), qPrintable(panel->status->text()));
        QVERIFY(!panel->impulse->empty());
        QVERIFY(panel->impulseInfo->text().startsWith(QStringLiteral("CH1：到达 ")));
        QVERIFY(panel->exportTextButton->isEnabled());
        QVERIFY(sameMemory(rig.sim, before));  // the other outputs' mutes are put back
        Model().selectChannel(1);
        QCOMPARE(tuning->measurementName->text(), T(Txt::PanelNoMeasurement, Lang().LanguageFlag));
        Model().selectChannel(0);
        tuning->fitButton->click();  // auto-EQ fits the measured output
        QVERIFY(!tuning->fitResult->text().isEmpty());

        // Both exports write what the library reads back.
        QTemporaryDir dir;
        QString answer = dir.filePath(QStringLiteral("m.txt"));
        rig.fileDialogs.setResponder([&answer](const FileDialogs::Request &) { return answer; });
        panel->exportTextButton->click();
        QVERIFY(QFileInfo(answer).size() > 0);
        answer = dir.filePath(QStringLiteral("m.wav"));
        panel->exportWavButton->click();
        QVERIFY(QFileInfo(answer).size() > 0);
    }

    // The sedan's subwoofer clips at full scale: it is measured a step lower, and the status says so.
    void clippingOutputSteppedDown()
    {
        TestRig rig;
        QVERIFY(rig.connectAndDownload());
        Model().selectChannel(5);
        MeasurePanel *panel = openPanel(rig);
        QVERIFY(panel);
        panel->sweepLevel->setValue(0.0);
        panel->measureButton->click();
        QTRY_VERIFY_WITH_TIMEOUT(!panel->run().running(), 60000);
        QVERIFY2(panel->status->text().contains(QStringLiteral("CH6 在设定电平下削波：已以 -")),
                 qPrintable(panel->status->text()));
    }

    void cancelPutsTheProcessorBack()
    {
        TestRig rig;
        QVERIFY(rig.connectAndDownload());
        MeasurePanel *panel = openPanel(rig);
        const ParamBlock before = rig.sim.params();
        const ParamBlock store = Session().ParamStore;
        rig.car->setPaced(true);  // a capture lasts as long as on a sound card: cancelled in the middle of one
        panel->measureAllButton->click();
        QVERIFY(panel->run().running());
        QTRY_VERIFY(!sameMemory(rig.sim, before));  // the other outputs are muted for the first capture
        panel->cancelButton->click();
        QCOMPARE(panel->status->text(), T(Txt::MeasCancelling, 0));
        QTRY_VERIFY_WITH_TIMEOUT(!panel->run().running(), 2000);
        QTRY_VERIFY(sameMemory(rig.sim, before));
        QVERIFY(std::memcmp(&Session().ParamStore, &store, IMAGE_SIZE) == 0);
        QVERIFY(panel->status->text().startsWith(QStringLiteral("测量未完成")));
        QVERIFY(panel->measureButton->isEnabled() && !panel->cancelButton->isEnabled());
        TuningPanel *tuning = tuningPanel(*rig.w);
        for (int ch = 0; ch < CH_COUNT; ++ch) {
            Model().selectChannel(ch);
            QCOMPARE(tuning->measurementName->text(), T(Txt::PanelNoMeasurement, Lang().LanguageFlag));
        }
    }

    void refusalsChangeNothing()
    {
        TestRig rig;
        QVERIFY(rig.connectAndDownload());
        MeasurePanel *panel = openPanel(rig);
        // A malformed calibration file names its line; the panel keeps measuring without one.
        QTemporaryDir dir;
        QFile bad(dir.filePath(QStringLiteral("mic.txt")));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("20 1.0\nfoo bar\n");
        bad.close();
        rig.fileDialogs.setResponder([&bad](const FileDialogs::Request &) { return bad.fileName(); });
        panel->micLoad->click();
        QVERIFY2(panel->status->text().startsWith(QStringLiteral("校准文件被拒绝，第 2 行")), qPrintable(panel->status->text()));
        QVERIFY(!panel->settings().hasMic);
        // A tweeter without its high-pass is never swept.
        Model().selectChannel(0);
        Model().nameChannel(0, 0);
        Session().ParamStore.HpfBypass[0] = 1;
        const ParamBlock before = rig.sim.params();
        panel->measureButton->click();
        QVERIFY(!panel->run().running());
        QVERIFY2(panel->status->text().startsWith(QStringLiteral("无法测量：CH1")), qPrintable(panel->status->text()));
        QVERIFY(sameMemory(rig.sim, before));
        // No sound card: the reason, and no run.
        rig.car->setPlugged(false);
        panel->measureButton->click();
        QVERIFY(!panel->run().running());
        QCOMPARE(panel->status->text(), T(Txt::MeasNoDevice, 0));
    }

    void textsFollowTheWindowsLanguage()
    {
        TestRig rig;
        Model().selectChannel(2);
        MeasurePanel *panel = openPanel(rig);
        QCOMPARE(measureAction(*rig.w)->text(), QStringLiteral("测量…"));
        QCOMPARE(panel->measureButton->text(), QStringLiteral("测量 CH3"));
        rig.w->language().Option_Sub7_Fun();
        QCOMPARE(measureAction(*rig.w)->text(), QStringLiteral("Measure…"));
        QCOMPARE(panel->measureButton->text(), QStringLiteral("Measure CH3"));
        QCOMPARE(panel->measureAllButton->text(), QStringLiteral("Measure all"));
        QCOMPARE(panel->impulse->empty(), true);
        rig.w->language().Option_Sub6_Fun();
        QCOMPARE(panel->measureAllButton->text(), QStringLiteral("全部测量"));
        // Every pair exists in both languages.
        for (int t = 0; t < int(Txt::Count_) - int(Txt::MeasMenuEntry); ++t)
            QVERIFY(!T(Txt(int(Txt::MeasMenuEntry) + t), 0).isEmpty() && !T(Txt(int(Txt::MeasMenuEntry) + t), 1).isEmpty());
    }
};

QTEST_MAIN(TestMeasurePanel)
#include "test_measure_panel.moc"
