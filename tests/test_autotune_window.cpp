// The auto-tune's window side: the setup sheet with and without before/after plots, and the dialog running
// an auto-tune on the simulated processor and a virtual car, reporting it, and cancelling without a trace.
#include <QtTest>

#include "LanguageSwitch.h"
#include "WindowMenus.h"
#include "AutoTuneDialog.h"
#include "ComparisonView.h"
#include "FileDialogs.h"
#include "RecentFolder.h"
#include "SceneFile.h"
#include "SetupSheet.h"
#include "TestRig.h"
#include "TuningModel.h"
#include "VirtualCar.h"

#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTemporaryDir>

#include <cmath>
#include <cstring>
#include <limits>

namespace {

QByteArray flatScene()
{
    ParamBlock b;
    std::memset(&b, 0, sizeof b);
    b.setDefaults();
    b.MasterVol = 600;
    return SceneFile::singleImage(b);
}

// A rough measured response and a smooth verified one, with a gap where the measurement had nothing.
OutputComparison measured(int ch, bool withTarget)
{
    FreqCurve before, after, target;
    for (double hz = 40; hz < 16000; hz *= 1.05) {
        before.hz.push_back(hz);
        before.db.push_back(84 + 6 * std::sin(std::log(hz) * 3));
        after.hz.push_back(hz);
        after.db.push_back(hz > 900 && hz < 1000 ? std::numeric_limits<double>::quiet_NaN() : 82.0);
    }
    target.hz = {20, 200, 20000};
    target.db = {86, 82, 80};
    return OutputComparison::fromCurves(ch, before, after, withTarget ? target : FreqCurve());
}

int pages(const QString &pdf)
{
    QFile f(pdf);
    if (!f.open(QIODevice::ReadOnly)) return -1;
    const QByteArray data = f.readAll();
    return data.count("/Type /Page\n") + data.count("/Type /Page\r") + data.count("/Type /Page ");
}

QString words(const QString &pdf)
{
    QProcess text;
    // In drawing order; ligatures ("fi") as their letters.
    text.start(QStringLiteral("pdftotext"), {QStringLiteral("-raw"), pdf, QStringLiteral("-")});
    text.waitForFinished();
    return QString::fromUtf8(text.readAllStandardOutput()).normalized(QString::NormalizationForm_KC).simplified();
}

}  // namespace

class TestAutoTuneWindow : public QObject
{
    Q_OBJECT

    QTemporaryDir dir_;
    QString path(const QString &name) const { return dir_.filePath(name); }

    // A dialog on the rig's simulated processor and a shipped car, sweeps short to keep the test quick.
    struct Run {
        TestRig rig;
        std::unique_ptr<VirtualCar> car;
        RecentFolder folder{rig.fileDialogs};
        std::unique_ptr<AutoTuneDialog> dialog;
        Run()
        {
            QString why;
            car = VirtualCar::shipped(rig.sim, QStringLiteral("sedan"), &why);
            dialog = std::make_unique<AutoTuneDialog>(Model(), *car, rig.noticeBox, folder, rig.w.get());
            MeasureSettings s;
            s.sweep.seconds = 0.5;
            dialog->setMeasureSettings(s);
            dialog->tune().setAutoAdvance(true);
        }
    };

private slots:
    void sheetWithAndWithoutMeasurements()
    {
        const QByteArray scene = flatScene();
        SetupSheet::Heading heading;
        QString why;
        QVERIFY(SetupSheet::write(scene, heading, path("plain.pdf"), &why));
        QCOMPARE(pages(path("plain.pdf")), 1);
        QVERIFY(SetupSheet::write(scene, heading, path("plots.pdf"), &why, {measured(0, true), measured(5, false)}));
        QCOMPARE(pages(path("plots.pdf")), 2);
        heading.language = 0;
        QVERIFY(SetupSheet::write(scene, heading, path("plots-zh.pdf"), &why, {measured(2, true)}));

        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("pdftotext (poppler-utils) is missing");
        QVERIFY(!words(path("plain.pdf")).contains(QLatin1String("before and after")));
        const QString en = words(path("plots.pdf")), zh = words(path("plots-zh.pdf"));
        for (const char *whole : {"Measured response before and after tuning", "Before (measured)", "After (verified)",
                                  "Target", "CH1 FL-FULL", "CH6", "20k", "90 dB"})
            QVERIFY2(en.contains(QLatin1String(whole)), whole);
        QCOMPARE(en.count(QLatin1String("Target")), 1);  // the plot without a target has no such legend
        for (const char *whole : {"调音前后的实测响应", "调音前（实测）", "调音后（验证）", "目标", "CH3"})
            QVERIFY2(zh.contains(QString::fromUtf8(whole).normalized(QString::NormalizationForm_KC)), whole);
    }

    void menuEntryIsLast()
    {
        TestRig rig;
        QAction *entry = rig.w->findChild<QAction *>(QStringLiteral("AutoTuneAct"));
        QVERIFY(entry);
        auto *options = qobject_cast<QMenu *>(entry->parent());
        QVERIFY(options && options->actions().last() == entry);
        QCOMPARE(entry->text(), QStringLiteral("自动调音…"));
        rig.w->language().Option_Sub7_Fun();
        emit options->aboutToShow();
        QCOMPARE(entry->text(), QStringLiteral("Auto-tune…"));
    }

    void dialogRunsAndReports()
    {
        Run r;
        QVERIFY(r.rig.connectAndDownload());
        r.dialog->applyLanguage(1);
        r.dialog->startButton->click();
        QVERIFY(r.dialog->tune().running());
        QVERIFY(!r.dialog->startButton->isEnabled() && r.dialog->cancelButton->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(!r.dialog->tune().running(), 120000);
        QVERIFY2(r.dialog->status->text().startsWith(QLatin1String("Done")), qPrintable(r.dialog->status->text()));
        const size_t tuned = r.dialog->tune().report().outputs.size();
        QVERIFY(tuned > 0);
        QCOMPARE(r.dialog->report->rowCount(), int(tuned));
        QVERIFY(r.dialog->report->item(0, 1)->text().endsWith(QLatin1String(" ms")));
        QVERIFY(r.dialog->report->item(0, 5)->text().endsWith(QLatin1String(" dB")));  // verified
        const int ch = r.dialog->tune().report().outputs.front().channel;
        QVERIFY(r.dialog->plots[ch]->isVisibleTo(r.dialog.get()));
        QVERIFY(!r.dialog->plots[ch]->comparison().afterDb.empty());
        QCOMPARE(r.dialog->comparisons().size(), tuned);

        r.dialog->applyLanguage(0);
        QCOMPARE(r.dialog->report->horizontalHeaderItem(1)->text(), QStringLiteral("延时"));
        QVERIFY(r.dialog->status->text().startsWith(QStringLiteral("完成")));
        // The window's setup sheet prints the run's curves.
        r.rig.fileDialogs.setResponder([&](const FileDialogs::Request &) { return path("run.pdf"); });
        r.rig.w->menus().SenceMenu->actions().last()->trigger();
        r.rig.fileDialogs.setResponder(nullptr);
        if (!QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QVERIFY(words(path("run.pdf")).contains(QStringLiteral("调音前后的实测响应")));
    }

    void cancelLeavesTheProcessorAsItWas()
    {
        Run r;
        QVERIFY(r.rig.connectAndDownload());
        const QByteArray before = r.rig.sim.memoryBytes();
        r.dialog->positions->setValue(2);
        r.dialog->startButton->click();
        QTRY_VERIFY_WITH_TIMEOUT(r.dialog->progress->value() > 0, 60000);
        r.dialog->cancelButton->click();
        QTRY_VERIFY_WITH_TIMEOUT(!r.dialog->tune().running(), 60000);
        QCOMPARE(r.rig.sim.memoryBytes(), before);
        QVERIFY(r.dialog->startButton->isEnabled());
        QVERIFY(r.dialog->comparisons().empty());
        QCOMPARE(r.dialog->report->rowCount(), 0);
    }
};

QTEST_MAIN(TestAutoTuneWindow)
#include "test_autotune_window.moc"
