// Auto-EQ, the true output response and the graph overlay.
#include <QtTest>
#include <cmath>

#include "AutoEq.h"
#include "GraphOverlay.h"
#include "Measurement.h"
#include "OutputResponse.h"
#include "ResponseMath.h"
#include "SyntheticResponse.h"
#include "TargetCurve.h"
#include "TestModel.h"

namespace {

// Ten bands the processor can play, as codes: frequency, gain code, Q code.
const BandCode TenBands[10] = {{45, 170, 15}, {90, 60, 40},  {180, 160, 20}, {350, 40, 60},  {700, 150, 10},
                               {1400, 70, 30}, {2800, 165, 50}, {5000, 80, 25}, {9000, 155, 12}, {15000, 60, 30}};

BandSet FlatBands()
{
    BandSet s;
    for (int b = 0; b < BAND_COUNT; ++b) s[b] = BandCode{DefaultEqFreq[b], GAIN_ZERO, 30};
    return s;
}

ParamBlock DefaultBlock()
{
    ParamBlock block{};
    block.setDefaults();
    return block;
}

double MaxOf(const std::vector<double> &v) { return *std::max_element(v.begin(), v.end()); }

// A measurement written as an exported text file and read back.
FreqCurve ThroughFile(const QTemporaryDir &dir, const std::vector<double> &hz, const std::vector<double> &db)
{
    QByteArray text = "* Measurement data measured by a test\n* Freq(Hz), SPL(dB), Phase(degrees)\n";
    for (size_t i = 0; i < hz.size(); ++i)
        text += QByteArray::number(hz[i], 'f', 3) + ", " + QByteArray::number(db[i], 'f', 3) + ", 0.000\n";
    const QString path = dir.filePath("m.txt");
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(text);
    f.close();
    Measurement m;
    TextError err;
    if (!LoadMeasurementFile(path, m, err)) qWarning() << err.message();
    return m.curve;
}

// The fit's own RMS error (its counted points, the wanted boost limited to 6 dB) with the result's bands
// replaced.
double RmsWith(const FitResult &r, const BandSet &bands)
{
    const std::vector<double> now = BandsDb(bands, r.predicted.hz), was = BandsDb(r.bands, r.predicted.hz);
    double sum = 0.0;
    int n = 0;
    for (size_t i = 0; i < now.size(); ++i) {
        if (!r.counted[i]) continue;
        const double base = r.predicted.db[i] - was[i];
        const double e = base + now[i] - std::min(r.target.db[i], base + 6.0);
        sum += e * e;
        ++n;
    }
    return std::sqrt(sum / n);
}

}  // namespace

class TestTuningFit : public QObject
{
    Q_OBJECT
    ResponseCurves curves{Model()};

private slots:

    void peqFitsRealisableBands()
    {
        QTemporaryDir dir;
        const std::vector<double> hz = LogGrid(20.0, 20000.0, 48);
        BandSet made = FlatBands();
        std::copy(std::begin(TenBands), std::end(TenBands), made.begin());
        const std::vector<double> eq = BandsDb(made, hz);
        const FreqCurve target = BuiltInTarget(TargetKind::Car);
        std::vector<double> db = target.sample(hz);
        for (size_t i = 0; i < hz.size(); ++i) db[i] += 80.0 - eq[i];
        const FreqCurve m = ThroughFile(dir, hz, db);
        QCOMPARE(m.size(), int(hz.size()));

        const ParamBlock block = DefaultBlock();
        const FitResult r = FitOutput(m, target, block, 0, DefaultFitSettings(block, 0));
        QVERIFY(r.ok());
        QVERIFY2(r.rmsAfter <= 0.3, qPrintable(QString::number(r.rmsAfter)));
        QVERIFY(r.rmsBefore > 2.0);
        for (const BandCode &b : r.bands) QVERIFY(b.gain <= GAIN_ZERO + 60 && b.q >= 4 && b.q <= 100);
    }

    // Synthetic responses with more to fix than ten bands can: all 31 bands end below the same fit with
    // bands 11..31 locked flat, at 97 % of the fittable points within +-1 dB; pairs closer than 1/12 octave
    // only where merging them (as the fitter merges) would cost more than 0.1 dB.
    void moreBandsFitBetterAndStayApart()
    {
        const ParamBlock block = DefaultBlock();
        const FitSettings all = DefaultFitSettings(block, 0);
        FitSettings ten = all;
        for (int b = 10; b < BAND_COUNT; ++b) ten.locked[size_t(b)] = true;
        double within = 0.0, gained = 0.0;
        for (uint32_t seed = 1; seed <= 8; ++seed) {
            const FreqCurve m = SyntheticResponse(seed);
            const FitResult r31 = FitOutput(m, BuiltInTarget(TargetKind::Flat), block, 0, all);
            const FitResult r10 = FitOutput(m, BuiltInTarget(TargetKind::Flat), block, 0, ten);
            const double e31 = RmsWith(r31, r31.bands), e10 = RmsWith(r10, r10.bands);
            QVERIFY2(e31 < e10, qPrintable(QStringLiteral("seed %1: %2 vs %3").arg(seed).arg(e31).arg(e10)));
            gained += (e10 - e31) / 8;
            for (int b = 10; b < BAND_COUNT; ++b) QCOMPARE(r10.bands[size_t(b)].gain, GAIN_ZERO);
            within += r31.withinOneDb / 8;
            for (int a = 0; a < BAND_COUNT; ++a)
                for (int b = a + 1; b < BAND_COUNT; ++b) {
                    const BandCode &x = r31.bands[size_t(a)], &y = r31.bands[size_t(b)];
                    if (x.gain == GAIN_ZERO || y.gain == GAIN_ZERO || std::abs(std::log2(double(x.freq) / y.freq)) >= 1.0 / 12) continue;
                    const double wx = std::abs(x.gainDb()), wy = std::abs(y.gainDb());
                    BandSet merged = r31.bands;
                    merged[size_t(a)] = BandCode{uint16_t(std::lround(std::exp((wx * std::log(x.freq) + wy * std::log(y.freq)) / (wx + wy)))),
                                                 uint16_t(std::clamp(x.gain + y.gain - GAIN_ZERO, 0, 180)), wx >= wy ? x.q : y.q};
                    merged[size_t(b)].gain = GAIN_ZERO;
                    QVERIFY(RmsWith(r31, merged) > RmsWith(r31, r31.bands) + 0.1);
                }
        }
        QVERIFY2(within >= 0.97, qPrintable(QString::number(within)));
        QVERIFY2(gained >= 0.1, qPrintable(QString::number(gained)));  // with 0.3 dB of noise left in each
    }

    // A flat speaker behind a 24 dB/octave high-pass at 80 Hz: at most one narrow boost (Q 2 or more) near
    // the corner, and only one that pays (taking it out costs more than 0.1 dB RMS).
    void noPileOfNarrowBoostsAtTheCorner()
    {
        ParamBlock block = DefaultBlock();
        block.HpfBypass[0] = 0;
        block.HpfFreq[0] = 80;
        block.HpfSlope[0] = 3;
        const FreqCurve flat{LogGrid(20.0, 20000.0, 48), std::vector<double>(481, 80.0)};
        const FitResult r = FitOutput(flat, BuiltInTarget(TargetKind::Flat), block, 0, DefaultFitSettings(block, 0));
        int narrow = 0;
        for (int b = 0; b < BAND_COUNT; ++b) {
            const BandCode &c = r.bands[size_t(b)];
            if (c.gain <= GAIN_ZERO || c.q < 20 || std::abs(std::log2(c.freq / 80.0)) >= 0.5) continue;
            ++narrow;
            BandSet without = r.bands;
            without[size_t(b)].gain = GAIN_ZERO;
            QVERIFY(RmsWith(r, without) > RmsWith(r, r.bands) + 0.1);
        }
        QVERIFY(narrow <= 1);
        QVERIFY(r.rmsAfter < r.rmsBefore);
    }

    void deepNarrowDipIsNotFilled()
    {
        std::vector<double> hz = LogGrid(20.0, 20000.0, 96), db(hz.size(), 75.0);
        for (size_t i = 0; i < hz.size(); ++i)
            if (std::abs(std::log2(hz[i] / 1000.0)) <= 0.05) db[i] -= 20.0;
        const FreqCurve m{hz, db};
        const ParamBlock block = DefaultBlock();
        for (double boost : {6.0, 3.0}) {
            FitSettings s = DefaultFitSettings(block, 0);
            s.maxBoostDb = boost;
            const FitResult r = FitOutput(m, BuiltInTarget(TargetKind::Flat), block, 0, s);
            QVERIFY(r.ok());
            for (const BandCode &b : r.bands) QVERIFY(b.gainDb() <= boost);
            QVERIFY(MaxOf(BandsDb(r.bands, LogGrid(20.0, 20000.0, 192))) <= boost + 0.01);
        }
    }

    void lockedBandsAndGraphicMode()
    {
        ParamBlock block = DefaultBlock();
        block.EqGain[2][4] = 150;
        block.EqQ[2][4] = 12;
        block.EqFreq[2][20] = 2100;
        std::vector<double> hz = LogGrid(20.0, 20000.0, 48), db(hz.size());
        for (size_t i = 0; i < hz.size(); ++i) db[i] = 70.0 + 4.0 * std::sin(std::log2(hz[i]) * 1.7);
        const FreqCurve m{hz, db};
        const BandSet before = BandsOf(block, 2);
        for (bool graphic : {false, true}) {
            FitSettings s = DefaultFitSettings(block, 2);
            s.graphic = graphic;
            s.locked[4] = s.locked[20] = true;
            const FitResult r = FitOutput(m, BuiltInTarget(TargetKind::Tilt), block, 2, s);
            QVERIFY(r.rmsAfter < r.rmsBefore / 2);
            QCOMPARE(r.bands[4], before[4]);
            QCOMPARE(r.bands[20], before[20]);
            for (int b = 0; graphic && b < BAND_COUNT; ++b) {
                QCOMPARE(r.bands[b].freq, before[b].freq);
                QCOMPARE(r.bands[b].q, before[b].q);
            }
        }
    }

    void rangeFollowsTheCrossovers()
    {
        ParamBlock block = DefaultBlock();
        QCOMPARE(DefaultFitSettings(block, 1).loHz, 20.0);
        QCOMPARE(DefaultFitSettings(block, 1).hiHz, 20000.0);
        block.HpfBypass[1] = 0;
        block.HpfFreq[1] = 80;
        block.LpfBypass[1] = 0;
        block.LpfFreq[1] = 3000;
        QCOMPARE(DefaultFitSettings(block, 1).loHz, 80.0);
        QCOMPARE(DefaultFitSettings(block, 1).hiHz, 3000.0);

        const FreqCurve m{LogGrid(5000.0, 20000.0, 4), std::vector<double>(9, 80.0)};
        QCOMPARE(FitOutput(m, BuiltInTarget(TargetKind::Flat), block, 1, DefaultFitSettings(block, 1)).fault,
                 FitFault::EmptyRange);
        QCOMPARE(FitOutput(FreqCurve(), FreqCurve(), block, 1, FitSettings()).fault, FitFault::NoMeasurement);
        QCOMPARE(FitOutput(m, FreqCurve(), block, 6, FitSettings()).fault, FitFault::BadChannel);
    }

    // The true response is the graph's curve without its pixel factors (and without the fixed pair).
    void trueResponseMatchesTheGraph()
    {
        Session().ParamStore = DefaultBlock();
        Session().ParamStore.EqGain[3][7] = 200;
        Session().ParamStore.EqGain[3][22] = 10;
        Session().ParamStore.EqQ[3][22] = 95;
        Session().ParamStore.HpfBypass[3] = 0;
        Session().ParamStore.HpfFreq[3] = 120;
        Session().ParamStore.HpfType[3] = 2;
        Session().ParamStore.LpfBypass[3] = 0;
        Session().ParamStore.LpfSlope[3] = 6;
        Session().ParamStore.LpfFreq[3] = 5000;
        curves.EQ_Curve_Update(3);
        curves.HPF_Curve_Update(3);
        curves.LPF_Curve_Update(3);
        const std::vector<double> grid(curves.grid.PointFreq, curves.grid.PointFreq + GRAPH_POINTS);
        const std::vector<double> eq = OutputEqDb(Session().ParamStore, 3, grid);
        const std::vector<double> xo = OutputCrossoverDb(Session().ParamStore, 3, grid);
        for (int i = 0; i < GRAPH_POINTS; ++i) {
            const double fixed = SectionDb(curves.EQCoef[31], grid[i]) + SectionDb(curves.EQCoef[32], grid[i]);
            QVERIFY(std::abs(curves.EQCurve[3][i] - 4.7 * (eq[i] + fixed)) < 1e-9);
            QVERIFY(std::abs(curves.HPFCurve[3][i] + curves.LPFCurve[3][i] - 4.0 * xo[i]) < 1e-9);
        }
        Session().ParamStore.EqBypass[3] = 1;
        QCOMPARE(MaxOf(OutputEqDb(Session().ParamStore, 3, grid)), 0.0);
    }

    void overlayUsesTheGraphScale()
    {
        ParamBlock block = DefaultBlock();
        block.EqFreq[0][17] = 1000;
        block.EqGain[0][17] = 180;  // +6 dB
        block.EqQ[0][17] = 10;
        const FreqCurve flat{{10.0, 30000.0}, {85.0, 85.0}};
        const OverlayCurves o = MakeOverlay(curves.grid, MakeOverlayLevels(curves.grid, flat, BuiltInTarget(TargetKind::Tilt), 2.0), block, 0);
        int near1k = 0;
        for (int i = 0; i < GRAPH_POINTS; ++i)
            if (std::abs(std::log(curves.grid.PointFreq[i] / 1000.0)) < std::abs(std::log(curves.grid.PointFreq[near1k] / 1000.0))) near1k = i;
        QCOMPARE(o.measured[near1k], QPoint(curves.CurvePoint[0][near1k].x(), 134));  // 2 dB = 9.4 pixels above 144
        QVERIFY(std::abs(o.predicted[near1k].y() - (144 - 8 * 4.7)) <= 1.0);
        QVERIFY(o.target[0].y() < o.target[GRAPH_POINTS - 1].y());  // tilt falls to the right
        QCOMPARE(OverlayY(-20.0), 144 + 94);
    }
};

QTEST_GUILESS_MAIN(TestTuningFit)
#include "test_tuning_fit.moc"
