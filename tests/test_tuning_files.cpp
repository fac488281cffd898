// Measurement, target and filter files, smoothing and time alignment.
#include <QtTest>
#include <complex>
#include <cmath>

#include "CliTool.h"
#include "FilterFile.h"
#include "FilterResponse.h"
#include "Measurement.h"
#include "ResponseMath.h"
#include "SceneFile.h"
#include "Smoothing.h"
#include "TargetCurve.h"
#include "TimeAlignment.h"

namespace {

QString WriteFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    return path;
}

// Twelve data lines 100, 200, ... Hz at 80.5, 81.5, ... dB, written with the given line pattern.
QByteArray TwelveLines(const char *pattern, bool decimalComma)
{
    QByteArray text = "* Measurement data\n* Freq(Hz) SPL(dB) Phase(degrees)\n";
    for (int i = 1; i <= 12; ++i) {
        QByteArray level = QByteArray::number(79.5 + i, 'f', 1);
        if (decimalComma) level.replace('.', ',');
        text += QByteArray(pattern).replace("F", QByteArray::number(i * 100)).replace("L", level) + "\n";
    }
    return text;
}

BandSet DefaultBands()
{
    BandSet s;
    for (int b = 0; b < BAND_COUNT; ++b) s[b] = BandCode{DefaultEqFreq[b], GAIN_ZERO, 30};
    return s;
}

}  // namespace

class TestTuningFiles : public QObject
{
    Q_OBJECT
private slots:
    void everySeparator_data()
    {
        QTest::addColumn<QByteArray>("pattern");
        QTest::addColumn<bool>("decimalComma");
        QTest::newRow("comma") << QByteArray("F,L,-12.5") << false;
        QTest::newRow("comma space") << QByteArray("F, L, -12.5") << false;
        QTest::newRow("tab") << QByteArray("F\tL\t-12.5") << false;
        QTest::newRow("space") << QByteArray("  F   L  -12.5") << false;
        QTest::newRow("semicolon") << QByteArray("F;L;-12.5") << false;
        QTest::newRow("tab decimal comma") << QByteArray("F\tL\t-12,5") << true;
        QTest::newRow("space decimal comma") << QByteArray("F L -12,5") << true;
        QTest::newRow("semicolon decimal comma") << QByteArray("F; L; -12,5\r") << true;
        QTest::newRow("two columns") << QByteArray("F L") << false;
    }
    void everySeparator()
    {
        QFETCH(QByteArray, pattern);
        QFETCH(bool, decimalComma);
        QTemporaryDir dir;
        Measurement m;
        TextError err;
        QVERIFY2(LoadMeasurementFile(WriteFile(dir, "front left.frd", TwelveLines(pattern, decimalComma)), m, err),
                 qPrintable(err.message()));
        QCOMPARE(m.name, QStringLiteral("front left.frd"));
        QCOMPARE(m.curve.size(), 12);
        QCOMPARE(m.curve.hz[4], 500.0);
        QCOMPARE(m.curve.db[4], 84.5);
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("fault");
        QTest::addColumn<int>("line");
        const QByteArray good = TwelveLines("F, L", false);  // data on lines 3..14
        auto with = [&good](int line, const QByteArray &text) {
            QList<QByteArray> lines = good.split('\n');
            lines[line - 1] = text;
            return lines.join('\n');
        };
        QTest::newRow("impedance") << "speaker.ZMA" << good << int(TextFault::Impedance) << 0;
        QTest::newRow("descending") << "m.txt" << with(6, "250, 80") << int(TextFault::NotAscending) << 6;
        QTest::newRow("repeated") << "m.txt" << with(6, "300, 80") << int(TextFault::NotAscending) << 6;
        QTest::newRow("zero") << "m.txt" << with(3, "0, 80") << int(TextFault::NotPositive) << 3;
        QTest::newRow("negative") << "m.txt" << with(3, "-100, 80") << int(TextFault::NotPositive) << 3;
        QTest::newRow("nan") << "m.txt" << with(7, "500, nan") << int(TextFault::NotFinite) << 7;
        QTest::newRow("inf") << "m.txt" << with(7, "500, 80, inf") << int(TextFault::NotFinite) << 7;
        QTest::newRow("word") << "m.txt" << with(8, "600, loud") << int(TextFault::BadNumber) << 8;
        QTest::newRow("words without star") << "m.txt" << with(1, "Seat SPL") << int(TextFault::BadNumber) << 1;
        QTest::newRow("decimal commas split by commas") << "m.txt" << TwelveLines("F,0,L", true)
                                                        << int(TextFault::DecimalCommas) << 3;
        QTest::newRow("one field") << "m.txt" << with(9, "700") << int(TextFault::TooFewFields) << 9;
        QTest::newRow("nine points") << "m.txt" << good.left(good.indexOf("1000,")) << int(TextFault::TooFewPoints) << 11;
        QTest::newRow("lines") << "m.txt" << QByteArray(CURVE_TEXT_MAX_LINES + 1, '\n') << int(TextFault::TooManyLines)
                               << CURVE_TEXT_MAX_LINES + 1;
        QTest::newRow("size") << "m.txt" << QByteArray(CURVE_TEXT_MAX_BYTES + 1, ' ') << int(TextFault::TooLarge) << 0;
    }
    void refusals()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(int, fault);
        QFETCH(int, line);
        Measurement m;
        TextError err;
        QVERIFY(!LoadMeasurement(bytes, name, m, err));
        QCOMPARE(int(err.fault), fault);
        QCOMPARE(err.line, line);
        QVERIFY(m.curve.empty());
        if (line > 0) QVERIFY(err.message().startsWith(QStringLiteral("line %1: ").arg(line)));
    }

    // Files as people have them: UTF-16 with its byte-order mark, and CSV read by the names of its columns.
    void textAsPeopleHaveIt()
    {
        Measurement m;
        TextError err;
        const QString text = QString::fromUtf8(TwelveLines("F\tL", false));
        QByteArray le("\xFF\xFE"), be("\xFE\xFF");
        for (const QChar c : text) {
            le += char(c.unicode() & 0xFF) + QByteArray(1, char(c.unicode() >> 8));
            be += char(c.unicode() >> 8) + QByteArray(1, char(c.unicode() & 0xFF));
        }
        for (const QByteArray &bytes : {le, be}) {
            QVERIFY2(LoadMeasurement(bytes, "unicode.txt", m, err), qPrintable(err.message()));
            QCOMPARE(m.curve.size(), 12);
            QCOMPARE(m.curve.db[4], 84.5);
        }
        // AutoEq's results: empty fields keep the columns in place; raw is the measurement, target the target.
        QByteArray csv = "frequency,raw,error,smoothed,error_smoothed,equalization,parametric_eq,fixed_band_eq,"
                         "equalized_raw,equalized_smoothed,target\n";
        for (int i = 1; i <= 12; ++i)
            csv += QByteArray::number(i * 100) + ",8" + QByteArray::number(i % 10) + ".5,,1,2,3,4,5,6,7,-" +
                   QByteArray::number(i) + ".0\n";
        QVERIFY2(LoadMeasurement(csv, "autoeq.csv", m, err), qPrintable(err.message()));
        QCOMPARE(m.curve.db[2], 83.5);
        FreqCurve t;
        QVERIFY(LoadTarget(csv, t, err));
        QCOMPARE(t.db[2], -3.0);
        QVERIFY(LoadTarget("frequency,target\n20,6.0\n20000,-3.5\n", t, err));
        QCOMPARE(t.db, (std::vector<double>{6.0, -3.5}));
        QVERIFY(LoadTarget("frequency,raw\n20,2.0\n20000,1.0\n", t, err));  // no target column: the second
        QCOMPARE(t.db, (std::vector<double>{2.0, 1.0}));
        QVERIFY(!LoadTarget("frequency,target\n20,6,0\n20000,-3,5\n", t, err));
        QCOMPARE(err.fault, TextFault::DecimalCommas);
        QVERIFY(err.message().startsWith("line 2: the numbers look like decimal commas"));
    }

    void targets()
    {
        QTemporaryDir dir;
        FreqCurve t;
        TextError err;
        const QByteArray file = "My house curve\nFreq dB\n20\t6,0\n# note\n200 0\n20000;-3\n";
        QVERIFY(LoadTargetFile(WriteFile(dir, "t.txt", file), t, err));
        QCOMPARE(t.hz, (std::vector<double>{20, 200, 20000}));
        QCOMPARE(t.db, (std::vector<double>{6, 0, -3}));
        QVERIFY(std::abs(t.at(63.245553) - 3.0) < 1e-6);  // halfway in log frequency
        QCOMPARE(t.at(5.0), 6.0);
        QVERIFY(!LoadTarget("20 0\n10 1\n", t, err));
        QCOMPARE(err.line, 2);
        QVERIFY(!LoadTarget("only words\n", t, err));

        QCOMPARE(BuiltInTarget(TargetKind::Flat).at(1000.0), 0.0);
        QVERIFY(std::abs(BuiltInTarget(TargetKind::Tilt).at(632.455532)) < 1e-9);
        QCOMPARE(BuiltInTarget(TargetKind::Car).at(40.0), 8.0);
        QCOMPARE(BuiltInTarget(TargetKind::Car).at(20000.0), -4.0);
    }

    void smoothing()
    {
        FreqCurve step;
        step.hz = LogGrid(100.0, 10000.0, 96);
        for (double f : step.hz) step.db.push_back(f < 1000.0 ? 0.0 : 12.0);
        QCOMPARE(Smooth(step, Smoothing::None).db, step.db);
        const FreqCurve third = Smooth(step, Smoothing::Oct3);
        QVERIFY(std::abs(third.at(1000.0) - 6.0) < 0.2);
        QCOMPARE(third.at(1000.0 * std::pow(2.0, 0.18)), 12.0);  // the window no longer reaches the step
        QVERIFY(std::abs(Smooth(step, Smoothing::Oct24).at(1000.0 * std::pow(2.0, 0.04)) - 12.0) < 1e-9);
        QVERIFY(third.at(1000.0 * std::pow(2.0, 0.1)) > 6.0);

        // Variable smoothing: a reflection's comb (half the level, 2 ms later) is kept below 100 Hz and averaged
        // out (its mean in dB is 0) at the top, where the window spans 1/3 octave, several of its periods.
        FreqCurve comb;
        comb.hz = LogGrid(20.0, 20000.0, 48);
        for (double f : comb.hz) comb.db.push_back(20.0 * std::log10(std::abs(1.0 + 0.5 * std::polar(1.0, -2.0 * M_PI * f * 0.002))));
        const FreqCurve var = SmoothVariable(comb);
        double low = 0.0, high = 0.0;
        for (int i = 0; i < comb.size(); ++i) {
            if (comb.hz[i] < 100.0) low = std::max(low, std::abs(var.db[i] - comb.db[i]));
            if (comb.hz[i] > 10000.0 && comb.hz[i] < 14000.0) high = std::max(high, std::abs(var.db[i]));
        }
        QVERIFY2(low < 0.01 && high < 0.4, qPrintable(QStringLiteral("%1 %2").arg(low).arg(high)));
    }

    void filterExamples_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<int>("freq");
        QTest::addColumn<int>("gain");
        QTest::addColumn<int>("q");
        // The cookbook Q converted to the processor's: q = Q 10^(|gain| / 40) / 2.
        QTest::newRow("rew") << QByteArray("Filter  1: ON  PK       Fc    7515 Hz  Gain  -9.7 dB  Q  1.03") << 7515 << 23 << 9;
        QTest::newRow("rew comma") << QByteArray("Filter  1: ON  PK       Fc    7515 Hz  Gain  -9,7 dB  Q  1,03") << 7515 << 23 << 9;
        QTest::newRow("apo") << QByteArray("Filter 2: ON PK Fc 8865 Hz Gain 4.9 dB Q 1.30") << 8865 << 169 << 9;
        QTest::newRow("bandwidth") << QByteArray("Filter: ON PK Fc 100 Hz Gain -3 dB BW Oct 0.167") << 100 << 90 << 51;
    }
    void filterExamples()
    {
        QFETCH(QByteArray, line);
        QFETCH(int, freq);
        QFETCH(int, gain);
        QFETCH(int, q);
        const FilterImport r = ImportFilters("Preamp: -6.1 dB\n" + line + "\n", DefaultBands());
        QCOMPARE(r.filters, 1);
        QVERIFY(!r.fitted && r.rmsDb < 0.05);
        QCOMPARE(r.bands[0], (BandCode{uint16_t(freq), uint16_t(gain), uint8_t(q)}));
        QCOMPARE(r.bands[1], DefaultBands()[1]);
        QCOMPARE(r.notes.size(), size_t(1));
        QCOMPARE(r.notes[0].kind, FilterNoteKind::Preamp);
        QCOMPARE(r.notes[0].value, -6.1);
    }

    // Shelves and peaks of a typical file: the bands reproduce the file's cookbook response within 0.3 dB
    // RMS, also with bands locked; what cannot be read is noted and skipped.
    void filterFileByResponse()
    {
        const QByteArray text = "Filter Settings file\nPreamp: -6.4 dB\nFilter 1: ON LSC Fc 105 Hz Gain 5.8 dB Q 0.70\n"
                                "Filter 2: ON PK Fc 160 Hz Gain -3.1 dB Q 0.55\nFilter 3: ON PK Fc 420 Hz Gain 2.2 dB Q 1.20\n"
                                "Filter 4: ON PK Fc 1250 Hz Gain -2.6 dB Q 2.10\nFilter 5: ON PK Fc 2600 Hz Gain 4.1 dB Q 1.90\n"
                                "Filter 6: ON PK Fc 3900 Hz Gain -3.5 dB Q 3.40\nFilter 7: ON PK Fc 5600 Hz Gain 2.9 dB Q 4.50\n"
                                "Filter 8: ON PK Fc 7400 Hz Gain -4.8 dB Q 5.20\nFilter 9: ON HS 12dB Fc 9800 Hz Gain 1.7 dB\n"
                                "Filter 10: ON HSC Fc 10000 Hz Gain -2.5 dB Q 0.70\nFilter 11: OFF PK Fc 300 Hz Gain -2 dB Q 2\n"
                                "Filter 12: ON None\nFilter 13: ON BP Fc 300 Hz Q 2\nFilter 14: ON PK Fc 400 Hz\n";
        const std::vector<double> hz = LogGrid(20.0, 20000.0, 96);
        std::vector<double> file(hz.size(), 0.0);
        const FileFilter filters[] = {{FileFilterType::LowShelf, 105, 5.8, 0.7, 0},  {FileFilterType::Peaking, 160, -3.1, 0.55, 0},
                                      {FileFilterType::Peaking, 420, 2.2, 1.2, 0},   {FileFilterType::Peaking, 1250, -2.6, 2.1, 0},
                                      {FileFilterType::Peaking, 2600, 4.1, 1.9, 0},  {FileFilterType::Peaking, 3900, -3.5, 3.4, 0},
                                      {FileFilterType::Peaking, 5600, 2.9, 4.5, 0},  {FileFilterType::Peaking, 7400, -4.8, 5.2, 0},
                                      {FileFilterType::HighShelf, 9800, 1.7, 0, 12}, {FileFilterType::HighShelf, 10000, -2.5, 0.7, 0}};
        for (const FileFilter &f : filters) {
            const std::vector<double> one = FileFilterDb(f, hz);
            for (size_t i = 0; i < hz.size(); ++i) file[i] += one[i];
        }
        BandSet current = DefaultBands();
        current[0] = BandCode{50, 100, 20};
        std::array<bool, BAND_COUNT> locked{};
        for (int lockedCount : {0, 11}) {
            for (int b = 0; b < lockedCount; ++b) locked[size_t(b)] = true;
            const FilterImport r = ImportFilters(text, current, locked);
            QCOMPARE(r.filters, 10);
            QVERIFY(r.fitted);
            QVERIFY2(r.rmsDb <= 0.3, qPrintable(QString::number(r.rmsDb)));
            const std::vector<double> bands = BandsDb(r.bands, hz);
            double sum = 0.0;
            for (size_t i = 0; i < hz.size(); ++i) sum += (bands[i] - file[i]) * (bands[i] - file[i]);
            QVERIFY(std::sqrt(sum / hz.size()) <= 0.3);
            for (int b = 0; b < lockedCount; ++b) QCOMPARE(r.bands[size_t(b)], current[size_t(b)]);
            QList<FilterNoteKind> kinds;
            for (const FilterNote &n : r.notes) kinds << n.kind;
            QCOMPARE(kinds, (QList<FilterNoteKind>{FilterNoteKind::Preamp, FilterNoteKind::SwitchedOff,
                                                     FilterNoteKind::OtherType, FilterNoteKind::Unreadable}));
            QCOMPARE(r.notes[2].message(), QStringLiteral("line 15: BP filter skipped (a type not read)"));
        }
    }

    // A file without a readable filter is refused and changes nothing; on the command line, exit 5 and no file.
    void fileWithoutFiltersIsRefused()
    {
        QTemporaryDir dir;
        BandSet current = DefaultBands();
        current[3].gain = 200;
        for (const QByteArray &text : {QByteArray("garbage\n\x01\x02"), TwelveLines("F, L", false),
                                       QByteArray("Preamp: -3 dB\nFilter 1: OFF PK Fc 100 Hz Gain 3 dB Q 1\n")}) {
            const FilterImport r = ImportFilters(text, current);
            QVERIFY(!r.ok());
            QVERIFY(r.bands == current);
        }
        ParamBlock block{};
        block.setDefaults();
        const QString scene = WriteFile(dir, "in.SCE", SceneFile::singleImage(block));
        QString out, err;
        QTextStream o(&out), e(&err);
        CliTool tool(o, e);
        const QStringList args{"filters", scene, "--channel", "1", "--import", WriteFile(dir, "m.txt", TwelveLines("F, L", false)),
                               "-o", dir.filePath("out.SCE")};
        QCOMPARE(tool.run(args), 5);
        QVERIFY2(err.contains("no readable filter"), qPrintable(err));
        QVERIFY(!QFile::exists(dir.filePath("out.SCE")));
    }

    // autoeq and align without -o print their lines and write nothing.
    void dryRunsWithoutOutput()
    {
        QTemporaryDir dir;
        ParamBlock block{};
        block.setDefaults();
        const QString scene = WriteFile(dir, "in.SCE", SceneFile::singleImage(block));
        const QString m = WriteFile(dir, "m.txt", TwelveLines("F, L", false));
        for (const QStringList &args : {QStringList{"autoeq", scene, "--channel", "2", "--measurement", m},
                                        QStringList{"align", scene, "--distances", "100,120,150,160,130,200"}}) {
            QString out, err;
            QTextStream o(&out), e(&err);
            CliTool tool(o, e);
            QCOMPARE(tool.run(args), 0);
            QVERIFY2(out.startsWith(args[0] == "autoeq" ? "CH2, 100-1200 Hz: RMS error " : "CH1 delay: 2.90 ms"), qPrintable(out));
            QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 2);
        }
    }

    // Export writes the cookbook Q of each band: the lines' cookbook response is the bands' within 0.1 dB, and
    // the file imports back into the same bands.
    void exportRoundTrip()
    {
        BandSet bands = DefaultBands();
        bands[0] = BandCode{63, 150, 13};
        bands[1] = BandCode{8865, 69, 100};
        bands[2] = BandCode{19000, 240, 4};
        bands[3] = BandCode{140, 10, 75};
        bands[4] = BandCode{31, 145, 4};  // Q 0.4 at 2.5 dB is written as 0.69, which reads back as 0.398
        const QByteArray text = ExportFilters(bands, false);
        QVERIFY2(text.startsWith("Preamp: -12.0 dB\nFilter 1: ON PK Fc 63 Hz Gain 3.0 dB Q 2.19\n"
                                 "Filter 2: ON PK Fc 8865 Hz Gain -5.1 dB Q 14.91\nFilter 3: ON PK Fc 19000 Hz"),
                 text.constData());
        QCOMPARE(text.count('\n'), 32);
        const std::vector<double> hz = LogGrid(20.0, 20000.0, 192);
        const std::vector<double> expected = BandsDb(bands, hz);
        std::vector<double> written(hz.size(), 0.0);
        for (const QByteArray &line : text.split('\n').mid(1, BAND_COUNT)) {
            const QList<QByteArray> w = line.split(' ');
            const std::vector<double> one = FileFilterDb({FileFilterType::Peaking, w[5].toDouble(), w[8].toDouble(), w[11].toDouble(), 0}, hz);
            for (size_t i = 0; i < hz.size(); ++i) written[i] += one[i];
        }
        for (size_t i = 0; i < hz.size(); ++i) QVERIFY(std::abs(written[i] - expected[i]) <= 0.1);
        const FilterImport back = ImportFilters(text, DefaultBands());
        QCOMPARE(back.filters, 31);
        QVERIFY(back.bands == bands);
        QCOMPARE(int(back.notes.size()), 1);  // the preamp alone: nothing was limited
        QVERIFY(ExportFilters(bands, true).startsWith("Preamp: 0.0 dB\nFilter 1: OFF PK"));
    }

    void timeAlignment()
    {
        const Alignment a = AlignDelays({100, 150, 250, 250, 0, 250}, DistanceUnit::Centimetres);
        QVERIFY(a.ok);
        QCOMPARE(a.delay, (std::array<uint16_t, CH_COUNT>{435, 290, 0, 0, 725, 0}));
        QCOMPARE(AlignDelays({10, 0, 10, 10, 10, 10}, DistanceUnit::Inches).delay[1], uint16_t(74));  // 25.4 cm
        const Alignment far = AlignDelays({600, 0, 100, 80, 80, 80}, DistanceUnit::Inches);
        QCOMPARE(far.delay[1], MAX_DELAY_CODE);  // 1524 cm is 44.17 ms away
        QCOMPARE(far.limited, (std::array<bool, CH_COUNT>{false, true, true, true, true, true}));
        QCOMPARE(far.delay[0], uint16_t(0));
        const Alignment bad = AlignDelays({100, -1, 100, 100, 100, 100}, DistanceUnit::Centimetres);
        QVERIFY(!bad.ok);
        QCOMPARE(bad.badOutput, 1);
        QCOMPARE(AlignDelays({1, 2, NAN, 3, 4, 5}, DistanceUnit::Centimetres).badOutput, 2);
    }
};

QTEST_GUILESS_MAIN(TestTuningFiles)
#include "test_tuning_files.moc"
