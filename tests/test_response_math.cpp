// Response math: axis conversions, crossover and equaliser curves, marker placement, corrupt inputs.
#include "MarkerSink.h"
#include "TestModel.h"
#include "ResponseMath.h"

#include <QtTest>
#include <climits>
#include <cmath>
#include <limits>

namespace {

// Remembers where the math put each marker and label.
class RecordingSink : public MarkerSink
{
public:
    QPoint band[BAND_COUNT];
    QPoint label[BAND_COUNT];
    QPoint hpf{-1, -1};
    QPoint lpf{-1, -1};

    QPoint bandMarkerPos(int b) const override { return band[b]; }
    void placeBandMarker(int b, int x, int y) override { band[b] = QPoint(x, y); }
    void placeBandLabel(int b, int x, int y) override { label[b] = QPoint(x, y); }
    void placeHpfMarker(int x, int y) override { hpf = QPoint(x, y); }
    void placeLpfMarker(int x, int y) override { lpf = QPoint(x, y); }
};

void FullUpdate(ResponseCurves &curves, uint8_t ch)
{
    curves.HPF_Curve_Update(ch);
    curves.LPF_Curve_Update(ch);
    curves.EQ_Curve_Update(ch);
    curves.Curve_Point_Update(ch);
}

}  // namespace

class TestResponseMath : public QObject
{
    Q_OBJECT
    ResponseCurves curves{Model()};

private slots:
    void init()
    {
        curves.setMarkerSink(nullptr);
        Model().reset();
        Session().ParamStore.setDefaults();
        curves.reset();
    }
    void cleanup() { curves.setMarkerSink(nullptr); }

    void gridTables()
    {
        QVERIFY(qAbs(curves.grid.PointFreq[0] - 20.0) < 1e-9);
        QVERIFY(qAbs(curves.grid.PointFreq[GRAPH_POINTS - 1] - 20000.0) < 1e-6);
        QVERIFY(qAbs(curves.grid.PointOmega[64] - curves.grid.PointFreq[64] * 6.28 / 48000) < 1e-15);
        const int firstX[] = {36, 44, 52};
        for (int i = 0; i < 3; ++i) QCOMPARE(curves.CurvePoint[5][i].x(), firstX[i]);
        QCOMPARE(curves.CurvePoint[0][126].x(), 1087);
        QCOMPARE(curves.CurvePoint[0][127].x(), 1096);
        for (int ch = 0; ch < CH_COUNT; ++ch)
            for (int i = 0; i < GRAPH_POINTS; ++i) QCOMPARE(curves.CurvePoint[ch][i].y(), 144);
        QCOMPARE(curves.HPF_Line, QLine(66, 50, 66, 238));
        QCOMPARE(curves.LPF_Line, QLine(666, 50, 666, 238));
    }

    void freqToPos_data()
    {
        QTest::addColumn<double>("hz");
        QTest::addColumn<int>("x");
        QTest::newRow("20") << 20.0 << 36;
        QTest::newRow("100") << 100.0 << 281;
        QTest::newRow("1k") << 1000.0 << 631;
        QTest::newRow("10k") << 10000.0 << 982;
        QTest::newRow("19999") << 19999.0 << 1087;
        QTest::newRow("20000 one pixel left of 19999") << 20000.0 << 1086;
        // Corrupt values are held at the ends of the axis.
        QTest::newRow("0") << 0.0 << 36;
        QTest::newRow("negative") << -5.0 << 36;
        QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN() << 36;
        QTest::newRow("65535") << 65535.0 << 1086;
        QTest::newRow("inf") << std::numeric_limits<double>::infinity() << 1086;
    }
    void freqToPos()
    {
        QFETCH(double, hz);
        QFETCH(int, x);
        QCOMPARE(Freq_To_Pos(hz), x);
    }

    void posToFreq_data()
    {
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("hz");
        QTest::newRow("36") << 36 << 20;
        QTest::newRow("44") << 44 << 21;
        QTest::newRow("500") << 500 << 421;
        QTest::newRow("1000") << 1000 << 11241;
        QTest::newRow("1087") << 1087 << 19905;
        QTest::newRow("1088") << 1088 << 20000;
        QTest::newRow("1096") << 1096 << 20000;
        QTest::newRow("left of the axis") << 0 << 20;
        QTest::newRow("INT_MIN") << INT_MIN << 20;
        QTest::newRow("INT_MAX") << INT_MAX << 20000;
    }
    void posToFreq()
    {
        QFETCH(int, x);
        QFETCH(int, hz);
        QCOMPARE(int(Pos_To_Freq(x)), hz);
    }

    void snapNearTopEnd()
    {
        QCOMPARE(int(SnapFreq(19994.99)), 19994);
        QCOMPARE(int(SnapFreq(19995.0)), 20000);
        QCOMPARE(int(SnapFreq(19999.9)), 20000);
        QCOMPARE(int(SnapFreq(1e300)), 20000);
        QCOMPARE(int(SnapFreq(19.999)), 20);
        QCOMPARE(int(SnapFreq(std::numeric_limits<double>::quiet_NaN())), 20);
    }

    void bypassedCrossoverIsExactlyZero()
    {
        for (uint8_t type = 0; type < 3; ++type) {
            for (uint8_t slope = 0; slope < 8; ++slope) {
                for (uint16_t f : {20, 1000, 20000}) {
                    for (int i = 0; i < GRAPH_POINTS; ++i) curves.HPFCurve[2][i] = curves.LPFCurve[2][i] = -99.0;
                    Session().ParamStore.HpfFreq[2] = Session().ParamStore.LpfFreq[2] = f;
                    Session().ParamStore.HpfSlope[2] = Session().ParamStore.LpfSlope[2] = slope;
                    Session().ParamStore.HpfType[2] = Session().ParamStore.LpfType[2] = type;
                    Session().ParamStore.HpfBypass[2] = Session().ParamStore.LpfBypass[2] = 1;
                    curves.HPF_Curve_Update(2);
                    curves.LPF_Curve_Update(2);
                    for (int i = 0; i < GRAPH_POINTS; ++i) {
                        QCOMPARE(curves.HPFCurve[2][i], 0.0);
                        QCOMPARE(curves.LPFCurve[2][i], 0.0);
                    }
                }
            }
        }
    }

    void firstOrderIsTheSameForEveryType()
    {
        double hp[3][GRAPH_POINTS], lp[3][GRAPH_POINTS];
        for (uint8_t type = 0; type < 3; ++type) {
            Session().ParamStore.HpfBypass[0] = Session().ParamStore.LpfBypass[0] = 0;
            Session().ParamStore.HpfSlope[0] = Session().ParamStore.LpfSlope[0] = 0;
            Session().ParamStore.HpfType[0] = Session().ParamStore.LpfType[0] = type;
            Session().ParamStore.HpfFreq[0] = 250;
            Session().ParamStore.LpfFreq[0] = 4000;
            curves.HPF_Curve_Update(0);
            curves.LPF_Curve_Update(0);
            std::copy(curves.HPFCurve[0], curves.HPFCurve[0] + GRAPH_POINTS, hp[type]);
            std::copy(curves.LPFCurve[0], curves.LPFCurve[0] + GRAPH_POINTS, lp[type]);
        }
        for (int t = 1; t < 3; ++t)
            for (int i = 0; i < GRAPH_POINTS; ++i) {
                QVERIFY(qAbs(hp[t][i] - hp[0][i]) < 1e-9);
                QVERIFY(qAbs(lp[t][i] - lp[0][i]) < 1e-9);
            }
        // 6 dB per octave far from the corner, 4 pixels per dB: 24 pixels per octave.
        QVERIFY(qAbs(hp[0][0] - 20 * std::log10(20.0 / 250.0) * 4) < 0.5);
        QVERIFY(qAbs(lp[0][127] - 20 * std::log10(4000.0 / 20000.0) * 4) < 1.0);
    }

    void higherOrdersDifferByType()
    {
        // At the corner: Butterworth -3 dB, Link -6 dB, Bessel 20 log10(7/8) for n = 4.
        Session().ParamStore.HpfBypass[1] = 0;
        Session().ParamStore.HpfSlope[1] = 3;
        Session().ParamStore.HpfFreq[1] = 20;  // the corner sits on grid point 0
        const double want[3] = {-3.0103, -6.0206, 20 * std::log10(7.0 / 8.0)};
        for (uint8_t type = 0; type < 3; ++type) {
            Session().ParamStore.HpfType[1] = type;
            curves.HPF_Curve_Update(1);
            QVERIFY2(qAbs(curves.HPFCurve[1][0] - want[type] * 4) < 0.01, qPrintable(QString::number(curves.HPFCurve[1][0])));
        }
        // An unknown type leaves the curve as it was.
        Session().ParamStore.HpfType[1] = 3;
        curves.HPF_Curve_Update(1);
        QVERIFY(qAbs(curves.HPFCurve[1][0] - want[2] * 4) < 0.01);
    }

    void flatChannelSitsOnePixelAboveZero()
    {
        // The two fixed sections add a little above 0 dB everywhere; truncation then gives 143.
        FullUpdate(curves, 3);
        for (int i = 0; i < GRAPH_POINTS; ++i) {
            QCOMPARE(curves.HPFCurve[3][i], 0.0);
            QCOMPARE(curves.LPFCurve[3][i], 0.0);
            QVERIFY(curves.EQCurve[3][i] > 0.0 && curves.EQCurve[3][i] < 1.0);
            QCOMPARE(curves.CurvePoint[3][i].y(), 143);
        }
        QVERIFY(qAbs(curves.EQCurve[3][0] - 0.47) < 0.05);
        QVERIFY(qAbs(curves.EQCurve[3][127] - 0.47) < 0.05);
        QVERIFY(curves.EQCurve[3][64] < 0.001);
        // The other channels stay where they were.
        QCOMPARE(curves.CurvePoint[2][64].y(), 144);
    }

    void boostPeaksAtItsFrequency()
    {
        Session().ParamStore.EqGain[0][17] = 240;  // +12 dB at 1 kHz
        FullUpdate(curves, 0);
        int peak = 0;
        for (int i = 1; i < GRAPH_POINTS; ++i)
            if (curves.EQCurve[0][i] > curves.EQCurve[0][peak]) peak = i;
        QVERIFY2(curves.grid.PointFreq[peak] > 900 && curves.grid.PointFreq[peak] < 1100, qPrintable(QString::number(curves.grid.PointFreq[peak])));
        QVERIFY2(qAbs(curves.EQCurve[0][peak] - 12 * 4.7) < 1.5, qPrintable(QString::number(curves.EQCurve[0][peak])));
        QCOMPARE(curves.CurvePoint[0][peak].y(), int(144 - curves.EQCurve[0][peak]));
        QVERIFY(curves.CurvePoint[0][0].y() == 143 && curves.CurvePoint[0][127].y() == 143);
        // A cut mirrors it.
        Session().ParamStore.EqGain[0][17] = 0;
        curves.EQ_Curve_Update(0);
        QVERIFY(curves.EQCurve[0][peak] < -12 * 4.7 + 1.5);
    }

    void markerHeights_data()
    {
        QTest::addColumn<int>("gain");
        QTest::addColumn<int>("top");
        QTest::newRow("0 dB") << 120 << 139;
        QTest::newRow("+12 dB") << 240 << 82;
        QTest::newRow("-12 dB") << 0 << 195;
        QTest::newRow("corrupt") << 60000 << 82;
    }
    void markerHeights()
    {
        QFETCH(int, gain);
        QFETCH(int, top);
        RecordingSink sink;
        curves.setMarkerSink(&sink);
        sink.band[4] = QPoint(200, 100);
        Session().ParamStore.EqGain[0][4] = uint16_t(gain);
        curves.EQ_Mark_Gain_Update(4);
        QCOMPARE(sink.band[4], QPoint(200, top));
        QCOMPARE(sink.label[4], QPoint(200, top - 15));
    }

    void markerFollowsFrequencyOfSelectedChannel()
    {
        RecordingSink sink;
        curves.setMarkerSink(&sink);
        Model().CurCh = 2;
        Session().ParamStore.EqFreq[2][9] = 1000;
        Session().ParamStore.EqFreq[0][9] = 100;
        sink.band[9] = QPoint(0, 120);
        curves.EQ_Mark_Update(9);
        QCOMPARE(sink.band[9], QPoint(631, 120));
        QCOMPARE(sink.label[9], QPoint(631, 120));
    }

    void crossoverPlacesMarkerAndLine()
    {
        RecordingSink sink;
        curves.setMarkerSink(&sink);
        Session().ParamStore.HpfFreq[1] = 100;
        Session().ParamStore.LpfFreq[1] = 20000;
        curves.HPF_Curve_Update(1);
        curves.LPF_Curve_Update(1);
        QCOMPARE(sink.hpf, QPoint(281, 148));
        QCOMPARE(sink.lpf, QPoint(1086, 148));
        QCOMPARE(curves.HPF_Line, QLine(285, 50, 285, 238));
        QCOMPARE(curves.LPF_Line, QLine(1090, 50, 1090, 238));
        // Without a sink the lines still move.
        curves.setMarkerSink(nullptr);
        Session().ParamStore.HpfFreq[1] = 1000;
        curves.HPF_Curve_Update(1);
        curves.EQ_Mark_Update(0);
        curves.EQ_Mark_Gain_Update(0);
        QCOMPARE(curves.HPF_Line.x1(), 635);
    }

    void corruptValuesStayFinite()
    {
        // What a damaged image or scene file could hold, straight into the math.
        RecordingSink sink;
        curves.setMarkerSink(&sink);
        for (int ch = 0; ch < CH_COUNT; ++ch) {
            Session().ParamStore.HpfFreq[ch] = ch % 2 ? 0 : 65535;
            Session().ParamStore.LpfFreq[ch] = ch % 2 ? 65535 : 0;
            Session().ParamStore.HpfSlope[ch] = Session().ParamStore.LpfSlope[ch] = 255;
            Session().ParamStore.HpfBypass[ch] = Session().ParamStore.LpfBypass[ch] = 0;
            Session().ParamStore.HpfType[ch] = Session().ParamStore.LpfType[ch] = uint8_t(ch % 3);
            for (int b = 0; b < BAND_COUNT; ++b) {
                Session().ParamStore.EqFreq[ch][b] = b % 2 ? 0 : 65535;
                Session().ParamStore.EqGain[ch][b] = b % 3 ? 65535 : 0;
                Session().ParamStore.EqQ[ch][b] = b % 4 ? 0 : 255;
            }
            Model().CurCh = uint8_t(ch);
            FullUpdate(curves, uint8_t(ch));
            for (int b = 0; b < BAND_COUNT; ++b) {
                curves.EQ_Mark_Update(uint8_t(b));
                curves.EQ_Mark_Gain_Update(uint8_t(b));
                QVERIFY(sink.band[b].x() >= 36 && sink.band[b].x() <= 1087);
                QVERIFY(sink.band[b].y() >= 82 && sink.band[b].y() <= 195);
            }
            for (int i = 0; i < GRAPH_POINTS; ++i) {
                QVERIFY(std::isfinite(curves.HPFCurve[ch][i]) && std::isfinite(curves.LPFCurve[ch][i]));
                QVERIFY(std::isfinite(curves.EQCurve[ch][i]));
                QVERIFY(qAbs(curves.CurvePoint[ch][i].y()) < 10000);
            }
        }
        QVERIFY(sink.hpf.x() >= 36 && sink.hpf.x() <= 1087);
        QVERIFY(sink.lpf.x() >= 36 && sink.lpf.x() <= 1087);
    }

    void corruptValuesActAsTheNearestValidOnes()
    {
        Session().ParamStore.EqFreq[0][3] = 0;
        Session().ParamStore.EqQ[0][3] = 0;
        Session().ParamStore.EqGain[0][3] = 200;
        Session().ParamStore.HpfBypass[0] = 0;
        Session().ParamStore.HpfFreq[0] = 0;
        Session().ParamStore.HpfSlope[0] = 200;
        FullUpdate(curves, 0);
        QPoint bad[GRAPH_POINTS];
        std::copy(curves.CurvePoint[0], curves.CurvePoint[0] + GRAPH_POINTS, bad);
        Session().ParamStore.EqFreq[0][3] = 20;
        Session().ParamStore.EqQ[0][3] = 4;
        Session().ParamStore.HpfFreq[0] = 20;
        Session().ParamStore.HpfSlope[0] = 7;
        FullUpdate(curves, 0);
        for (int i = 0; i < GRAPH_POINTS; ++i) QCOMPARE(bad[i], curves.CurvePoint[0][i]);
    }

    void outOfRangeIndexesAreIgnored()
    {
        RecordingSink sink;
        curves.setMarkerSink(&sink);
        const QLine before = curves.HPF_Line;
        curves.HPF_Curve_Update(6);
        curves.LPF_Curve_Update(200);
        curves.EQ_Curve_Update(6);
        curves.Curve_Point_Update(255);
        curves.EQ_Mark_Update(31);
        curves.EQ_Mark_Gain_Update(255);
        Model().CurCh = 9;
        curves.EQ_Mark_Update(0);
        curves.EQ_Mark_Gain_Update(0);
        QCOMPARE(curves.HPF_Line, before);
        QCOMPARE(sink.hpf, QPoint(-1, -1));
        QCOMPARE(sink.band[0], QPoint(0, 0));
    }
};

QTEST_GUILESS_MAIN(TestResponseMath)
#include "test_response_math.moc"
