// Measurement, target and filter files, smoothing and time alignment.
#include <QtTest>
#include <cmath>

#include "FilterFile.h"
#include "Measurement.h"
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
    }

    void filterExamples_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<int>("freq");
        QTest::addColumn<int>("gain");
        QTest::addColumn<int>("q");
        QTest::newRow("rew") << QByteArray("Filter  1: ON  PK       Fc    7515 Hz  Gain  -9.7 dB  Q  1.00") << 7515 << 23 << 10;
        QTest::newRow("rew comma") << QByteArray("Filter  1: ON  PK       Fc    7515 Hz  Gain  -9,7 dB  Q  1,00") << 7515 << 23 << 10;
        QTest::newRow("apo") << QByteArray("Filter 2: ON PK Fc 8865 Hz Gain 4.9 dB Q 1.30") << 8865 << 169 << 13;
        QTest::newRow("bandwidth") << QByteArray("Filter: ON PK Fc 100 Hz Gain -3 dB BW Oct 0.167") << 100 << 90 << 86;
    }
    void filterExamples()
    {
        QFETCH(QByteArray, line);
        QFETCH(int, freq);
        QFETCH(int, gain);
        QFETCH(int, q);
        const FilterImport r = ImportFilters("Preamp: -6.1 dB\n" + line + "\n", DefaultBands());
        QCOMPARE(r.peaking, 1);
        QCOMPARE(r.bands[0], (BandCode{uint16_t(freq), uint16_t(gain), uint8_t(q)}));
        QCOMPARE(r.bands[1], DefaultBands()[1]);
        QCOMPARE(r.notes.size(), size_t(1));
        QCOMPARE(r.notes[0].kind, FilterNoteKind::Preamp);
        QCOMPARE(r.notes[0].value, -6.1);
    }

    void filterFileSkipsAndClamps()
    {
        QTemporaryDir dir;
        BandSet current = DefaultBands();
        current[3].gain = 200;
        QByteArray text = "Filter Settings file\n\nEqualiser: Generic\nFilter  1: ON  None\n"
                          "Filter  2: ON  LS       Fc    80 Hz  Gain  3.0 dB\n"
                          "Filter  3: OFF PK       Fc    300 Hz  Gain  -2.0 dB  Q  2.00\n"
                          "Filter  4: ON  PK       Fc    15 Hz  Gain  -14.0 dB  Q  12.00\n"
                          "Filter  5: ON  PK       Fc    400 Hz\n";
        for (int i = 0; i < 31; ++i) text += "Filter 6: ON PK Fc 1000 Hz Gain 1 dB Q 2\n";
        FilterImport r;
        TextError err;
        QVERIFY(ImportFilterFile(WriteFile(dir, "f.txt", text), current, r, err));
        QCOMPARE(r.peaking, 31);
        QCOMPARE(r.bands[0], (BandCode{20, 0, 100}));
        QCOMPARE(r.bands[30], (BandCode{1000, 130, 20}));
        QList<FilterNoteKind> kinds;
        for (const FilterNote &n : r.notes) kinds << n.kind;
        QCOMPARE(kinds, (QList<FilterNoteKind>{FilterNoteKind::OtherType, FilterNoteKind::SwitchedOff,
                                                 FilterNoteKind::FreqClamped, FilterNoteKind::GainClamped,
                                                 FilterNoteKind::QClamped, FilterNoteKind::Unreadable,
                                                 FilterNoteKind::BeyondBands}));
        QCOMPARE(r.notes[0].message(), QStringLiteral("line 5: LS filter skipped (only peaking filters are taken)"));
        QCOMPARE(r.notes.back().line, 39);

        // Fewer filters than bands: the rest are flat and keep frequency and Q.
        const FilterImport one = ImportFilters("Filter 1: ON PK Fc 50 Hz Gain 2 dB Q 1\n", current);
        QCOMPARE(one.bands[3], (BandCode{40, GAIN_ZERO, 30}));
    }

    void exportRoundTrip()
    {
        BandSet bands = DefaultBands();
        bands[0] = BandCode{63, 150, 13};
        bands[1] = BandCode{8865, 69, 100};
        const QByteArray text = ExportFilters(bands, false);
        QVERIFY(text.startsWith("Preamp: -3.0 dB\nFilter 1: ON PK Fc 63 Hz Gain 3.0 dB Q 1.30\n"
                                "Filter 2: ON PK Fc 8865 Hz Gain -5.1 dB Q 10.00\nFilter 3: ON PK Fc 32 Hz"));
        QCOMPARE(text.count('\n'), 32);
        const FilterImport back = ImportFilters(text, DefaultBands());
        QCOMPARE(back.peaking, 31);
        QVERIFY(back.bands == bands);
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
