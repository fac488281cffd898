// The measurement and auto-EQ panel: fit, filter import, time alignment and the graph overlay, on the wire.
#include "WindowMenus.h"
#include "TestRig.h"
#include "TuningModel.h"

#include "FileDialogs.h"
#include "FilterResponse.h"
#include "FreqCurve.h"
#include "OutputResponse.h"
#include "TuningPanel.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>

namespace {

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &text)
{
    QFile f(dir.filePath(name));
    f.open(QIODevice::WriteOnly);
    f.write(text);
    return f.fileName();
}

// A 1/24-octave measurement: flat with a +6 dB bump at 1 kHz and a -5 dB dip at 200 Hz.
QByteArray measurementText()
{
    BandSet room;
    for (auto &b : room) b = BandCode{1000, GAIN_ZERO, 30};
    room[0] = BandCode{1000, GAIN_ZERO + 60, 20};
    room[1] = BandCode{200, GAIN_ZERO - 50, 15};
    const std::vector<double> hz = LogGrid(20, 20000, 24);
    const std::vector<double> db = BandsDb(room, hz);
    QByteArray text = "* Freq(Hz)\tSPL(dB)\tPhase(degrees)\n";
    for (size_t i = 0; i < hz.size(); ++i)
        text += QByteArray::number(hz[i], 'f', 2) + '\t' + QByteArray::number(80 + db[i], 'f', 2) + "\t0\n";
    return text;
}

TuningPanel *openPanel(Kestrun &w)
{
    w.menus().TuningAct->trigger();
    return w.findChild<TuningPanel *>();
}

QImage paintOnly(Kestrun &w)
{
    QImage img(w.size(), QImage::Format_RGB32);
    w.render(&img, QPoint(), QRegion(), QWidget::RenderFlags());
    return img;
}

BandSet bands(int ch) { return BandsOf(Session().ParamStore, ch); }

}  // namespace

class TestTuningPanel : public QObject
{
    Q_OBJECT
private slots:
    void fitIsOneStepAndOneFramePerChangedBand()
    {
        TestRig rig;
        QTemporaryDir dir;
        QString answer = writeFile(dir, "m.txt", measurementText());
        rig.fileDialogs.setResponder([&answer](const FileDialogs::Request &) { return answer; });
        TuningPanel *panel = openPanel(*rig.w);
        QVERIFY(panel);
        const QImage without = paintOnly(*rig.w);
        const int shown = rig.notices.size();
        panel->fitButton->click();  // nothing loaded: refused, nothing changed
        QCOMPARE(rig.notices.size(), shown + 1);
        QCOMPARE(paintOnly(*rig.w), without);

        panel->loadButton->click();
        QCOMPARE(panel->measurementName->text(), QStringLiteral("m.txt"));
        QVERIFY(paintOnly(*rig.w) != without);
        for (QCheckBox *c : panel->curveBox) c->setChecked(false);
        QCOMPARE(paintOnly(*rig.w), without);

        connectLink(rig);
        const BandSet before = bands(0);
        panel->fitButton->click();
        const BandSet after = bands(0);
        QVERIFY(panel->fitResult->text().contains(QStringLiteral("RMS")));
        std::vector<QByteArray> expected;
        for (int b = 0; b < BAND_COUNT; ++b)
            if (!(before[b] == after[b])) expected.push_back(bandFrame(0, b));
        QVERIFY(expected.size() >= 2);
        QCOMPARE(rig.sent(), expected);
        QVERIFY(Model().undo());
        QVERIFY(bands(0) == before);

        // Refusals name the line and the reason; the loaded measurement stays.
        answer = writeFile(dir, "bad.txt", "* x\n100 1\n90 2\n");
        panel->loadButton->click();
        QCOMPARE(rig.notices.last().text, QStringLiteral("文件被拒绝，第 3 行：频率没有递增"));
        QCOMPARE(panel->measurementName->text(), QStringLiteral("m.txt"));
        panel->locks->setText(QStringLiteral("1,32"));
        panel->fitButton->click();
        QCOMPARE(rig.notices.last().text, T(Txt::PanelBadLocks, Lang().LanguageFlag));
    }

    // The file's response (shelf and peaks, a cut beyond one band's reach) fitted into the bands; a file
    // without a readable filter changes nothing; the export writes the cookbook Q of each band.
    void filterImportAppliesBandsAndReportsSkips()
    {
        TestRig rig;
        QTemporaryDir dir;
        QString path = writeFile(dir, "f.txt",
                                       "Preamp: -6.1 dB\n"
                                       "Filter 1: ON PK Fc 8865 Hz Gain 4.9 dB Q 1.30\n"
                                       "Filter 2: ON LS Fc 105 Hz Gain 3.0 dB Q 0.70\n"
                                       "Filter 3: ON PK Fc 250 Hz Gain -15.0 dB BW Oct 0.167\n");
        rig.fileDialogs.setResponder([&path](const FileDialogs::Request &) { return path; });
        connectLink(rig);
        openPanel(*rig.w)->importButton->click();
        const std::vector<double> hz = LogGrid(20.0, 20000.0, 48);
        std::vector<double> file(hz.size(), 0.0);
        for (const FileFilter &f : {FileFilter{FileFilterType::Peaking, 8865, 4.9, 1.3, 0}, FileFilter{FileFilterType::LowShelf, 105, 3.0, 0.7, 0},
                                    FileFilter{FileFilterType::Peaking, 250, -15.0, 8.6360, 0}}) {
            const std::vector<double> one = FileFilterDb(f, hz);
            for (size_t i = 0; i < hz.size(); ++i) file[i] += one[i];
        }
        const BandSet fitted = BandsOf(Session().ParamStore, 0);
        const std::vector<double> eq = BandsDb(fitted, hz);
        double sum = 0.0;
        for (size_t i = 0; i < hz.size(); ++i) sum += (eq[i] - file[i]) * (eq[i] - file[i]);
        QVERIFY(std::sqrt(sum / hz.size()) <= 0.3);
        QCOMPARE(rig.sent()[0], bandFrame(0, 0));
        const QStringList lines = rig.notices.last().text.split('\n');
        QCOMPARE(lines.size(), 2);
        QVERIFY(lines[0].startsWith(QStringLiteral("已读取 3 个滤波器到频段")));
        QVERIFY(lines[1].startsWith(QStringLiteral("第 1 行：前级增益 -6.1 dB")));

        path = writeFile(dir, "none.txt", "Filter 1: OFF PK Fc 100 Hz Gain 3 dB Q 1\n");
        rig.w->findChild<TuningPanel *>()->importButton->click();
        QVERIFY(BandsOf(Session().ParamStore, 0) == fitted);
        QVERIFY(rig.notices.last().text.startsWith(T(Txt::PanelNoFilter, 0)));

        path = dir.filePath("out.txt");  // the export of the same output
        rig.w->findChild<TuningPanel *>()->exportButton->click();
        QFile out(path);
        QVERIFY(out.open(QIODevice::ReadOnly));
        const QList<QByteArray> exported = out.readAll().split('\n');
        const BandCode &first = fitted[0];
        QCOMPARE(exported.value(1), QStringLiteral("Filter 1: ON PK Fc %1 Hz Gain %2 dB Q %3")
                                        .arg(first.freq)
                                        .arg(first.gainDb(), 0, 'f', 1)
                                        .arg(CookbookQ(first.q / 10.0, first.gainDb()), 0, 'f', 2)
                                        .toUtf8());
    }

    void alignmentSetsDelaysOnTheWire()
    {
        TestRig rig;
        connectLink(rig);
        TuningPanel *panel = openPanel(*rig.w);
        const double cm[CH_COUNT] = {100, 150, 250, 250, 250, 250};
        for (int ch = 0; ch < CH_COUNT; ++ch) panel->distance[ch]->setValue(cm[ch]);
        panel->alignButton->click();
        QCOMPARE(int(rig.sim.params().ChDelay[0]), 435);
        QCOMPARE(int(rig.sim.params().ChDelay[1]), 290);
        QCOMPARE(int(rig.sim.params().ChDelay[2]), 0);
        QCOMPARE(panel->alignResult->text(), T(Txt::PanelAlignDone, Lang().LanguageFlag));

        rig.w->menus().EnglishAct->trigger();  // an open panel follows the language
        QCOMPARE(panel->alignButton->text(), QStringLiteral("Set delays"));
        QCOMPARE(panel->unit->itemText(1), QStringLiteral("inches"));

        panel->distance[5]->setValue(900);  // 650 cm more than CH1: beyond 15.00 ms
        panel->alignButton->click();
        QCOMPARE(int(rig.sim.params().ChDelay[0]), 1500);
        QVERIFY(panel->alignResult->text().contains(T(Txt::PanelAlignLimited, Lang().LanguageFlag).arg(1)));
        QVERIFY(Model().undo());
        QCOMPARE(int(rig.sim.params().ChDelay[0]), 435);
    }
};

QTEST_MAIN(TestTuningPanel)
#include "test_tuning_panel.moc"
