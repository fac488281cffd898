// Grid tables, axis conversions and the magnitude curves drawn on the response graph.
#include "ResponseMath.h"
#include "TuningModel.h"

#include <cmath>

#include "MarkerSink.h"

namespace {

constexpr double LOG10_20 = 1.3010299956639813;
constexpr double POINTS_PER_DECADE = 42.333333333333336;  // 127 grid steps over three decades
constexpr double MARKER_PX_PER_STEP = 8.28125;            // 1060 / 128
constexpr double LN_10 = 2.302585092994046;
constexpr double EQ_PX_PER_DB = 47.0;      // 4.7 pixels per dB, applied to 10 log10 P
constexpr double XOVER_PX_PER_DB = 4.0;
constexpr double MARKER_DB_PER_PX = 0.2127;

// The two fixed sections: about +0.1 dB near 20 kHz and near 20 Hz.
constexpr EqSection FixedSections[2] = {
    {1.0012866057871959, 1.5396008624416686, 0.7764912137337805, 1.5396008624416686, 0.7777778195209764},
    {1.0000075737697713, -1.99868501126379, 0.9986842868997672, -1.99868501126379, 0.9986918606695385},
};

// Truncation toward zero that stays defined for any double.
int TruncPixel(double v)
{
    if (std::isnan(v)) return 0;
    if (v > 1.0e6) return 1000000;
    if (v < -1.0e6) return -1000000;
    return static_cast<int>(v);
}

// Pixels that one section adds at a grid point (4.7 pixels per dB of 10 log10 P).
double ShareAt(const EqSection &s, double c1, double c2)
{
    const double p = SectionPower(s, c1, c2);
    // A product of 0 (or one rounding below it) has no logarithm and contributes nothing.
    if (!(p > 0.0) || std::isinf(p)) return 0.0;
    return std::log(p) / LN_10 * EQ_PX_PER_DB;
}

bool ValidChannel(uint8_t ch) { return ch < CH_COUNT; }

}  // namespace

GraphGrid::GraphGrid()
{
    for (int i = 0; i < GRAPH_POINTS; ++i) {
        PointFreq[i] = std::exp(2.995732273553991 + i * 0.054391773850253046);
        PointOmega[i] = PointFreq[i] * 6.28 / 48000.0;
        PointX[i] = static_cast<int>(i * 1060.0 / 127.0 + GRAPH_LEFT);
        PointCos1[i] = std::cos(PointFreq[i] * OMEGA_PER_HZ);
        PointCos2[i] = std::cos(PointFreq[i] * TWO_OMEGA_PER_HZ);
        FixedShare[0][i] = ShareAt(FixedSections[0], PointCos1[i], PointCos2[i]);
        FixedShare[1][i] = ShareAt(FixedSections[1], PointCos1[i], PointCos2[i]);
    }
}

ResponseCurves::ResponseCurves(const TuningModel &model, MarkerSink *markers) : model_(model), markers_(markers)
{
    reset();
}

void ResponseCurves::reset()
{
    for (int ch = 0; ch < CH_COUNT; ++ch) {
        for (int i = 0; i < GRAPH_POINTS; ++i) {
            HPFCurve[ch][i] = 0.0;
            LPFCurve[ch][i] = 0.0;
            EQCurve[ch][i] = 0.0;
            CurvePoint[ch][i] = QPoint(grid.PointX[i], GRAPH_ZERO_DB_Y);
        }
    }
    HPF_Line = QLine(66, GRAPH_CLIP_TOP, 66, GRAPH_LINE_BOTTOM);
    LPF_Line = QLine(666, GRAPH_CLIP_TOP, 666, GRAPH_LINE_BOTTOM);
}

void ResponseCurves::crossoverCurve(double *curve, uint16_t freq, uint8_t slope, uint8_t bypass, uint8_t type,
                                    bool lowPass) const
{
    if (bypass) {
        for (int i = 0; i < GRAPH_POINTS; ++i) curve[i] = 0.0;
        return;
    }
    const double wc = ClampFreq(freq) * OMEGA_PER_HZ;
    const int n = ClampSlope(slope) + 1;
    for (int i = 0; i < GRAPH_POINTS; ++i) {
        const double r = lowPass ? grid.PointOmega[i] / wc : wc / grid.PointOmega[i];
        double mag;
        if (!CrossoverMagnitude(type, n, r, mag)) return;  // an unknown type leaves the curve as it was
        curve[i] = 20.0 * std::log10(mag) * XOVER_PX_PER_DB;
    }
}

int Freq_To_Pos(double hz)
{
    const double f = ClampFreq(hz);
    double v = (std::log10(f) - LOG10_20) * POINTS_PER_DECADE * MARKER_PX_PER_STEP;
    if (f == GRAPH_MAX_FREQ) v -= 1.0;
    return static_cast<int>(v + GRAPH_LEFT);
}

uint16_t SnapFreq(double hz)
{
    if (hz >= 19995.0) hz += 5.0;
    if (hz >= GRAPH_MAX_FREQ) return GRAPH_MAX_FREQ;
    if (!(hz >= GRAPH_MIN_FREQ)) return GRAPH_MIN_FREQ;  // also NaN
    return static_cast<uint16_t>(hz);
}

uint16_t Pos_To_Freq(int x)
{
    return SnapFreq(std::pow(10.0, (double(x) - GRAPH_LEFT) / MARKER_PX_PER_STEP / POINTS_PER_DECADE + LOG10_20));
}

void ResponseCurves::HPF_Curve_Update(uint8_t ch)
{
    if (!ValidChannel(ch)) return;
    const int x = Freq_To_Pos(model_.store.HpfFreq[ch]);
    HPF_Line.setLine(x + 4, HPF_Line.y1(), x + 4, HPF_Line.y2());
    if (markers_) markers_->placeHpfMarker(x, XOVER_MARKER_TOP);
    crossoverCurve(HPFCurve[ch], model_.store.HpfFreq[ch], model_.store.HpfSlope[ch], model_.store.HpfBypass[ch],
                   model_.store.HpfType[ch], false);
}

void ResponseCurves::LPF_Curve_Update(uint8_t ch)
{
    if (!ValidChannel(ch)) return;
    const int x = Freq_To_Pos(model_.store.LpfFreq[ch]);
    LPF_Line.setLine(x + 4, LPF_Line.y1(), x + 4, LPF_Line.y2());
    if (markers_) markers_->placeLpfMarker(x, XOVER_MARKER_TOP);
    crossoverCurve(LPFCurve[ch], model_.store.LpfFreq[ch], model_.store.LpfSlope[ch], model_.store.LpfBypass[ch],
                   model_.store.LpfType[ch], true);
}

void ResponseCurves::EQ_Curve_Update(uint8_t ch)
{
    if (!ValidChannel(ch)) return;
    // A band at 0 dB is exactly flat and adds nothing; only the others are evaluated.
    int active[BAND_COUNT];
    int activeCount = 0;
    for (int b = 0; b < BAND_COUNT; ++b) {
        EQCoef[b] = BandSection(model_.store.EqGain[ch][b], model_.store.EqFreq[ch][b], model_.store.EqQ[ch][b]);
        if (ClampGain(model_.store.EqGain[ch][b]) != GAIN_ZERO) active[activeCount++] = b;
    }
    EQCoef[BAND_COUNT] = FixedSections[0];
    EQCoef[BAND_COUNT + 1] = FixedSections[1];

    for (int i = 0; i < GRAPH_POINTS; ++i) {
        double sum = 0.0;
        for (int k = 0; k < activeCount; ++k) sum += sectionShare(EQCoef[active[k]], i);
        sum += grid.FixedShare[0][i];
        sum += grid.FixedShare[1][i];
        EQCurve[ch][i] = sum;
    }
}

void ResponseCurves::Curve_Point_Update(uint8_t ch)
{
    if (!ValidChannel(ch)) return;
    for (int i = 0; i < GRAPH_POINTS; ++i)
        CurvePoint[ch][i].setY(TruncPixel(GRAPH_ZERO_DB_Y - (HPFCurve[ch][i] + LPFCurve[ch][i] + EQCurve[ch][i])));
}

double ResponseCurves::sectionShare(const EqSection &s, int i) const
{
    return ShareAt(s, grid.PointCos1[i], grid.PointCos2[i]);
}

int GainToMarkerTop(uint16_t gainCode)
{
    const double db = (double(ClampGain(gainCode)) - 120.0) / 10.0;
    return static_cast<int>(GRAPH_ZERO_DB_Y - db / MARKER_DB_PER_PX) - 5;
}

void ResponseCurves::EQ_Mark_Update(uint8_t band)
{
    if (band >= BAND_COUNT || !ValidChannel(model_.CurCh) || !markers_) return;
    const int x = Freq_To_Pos(model_.store.EqFreq[model_.CurCh][band]);
    const int y = markers_->bandMarkerPos(band).y();
    markers_->placeBandMarker(band, x, y);
    markers_->placeBandLabel(band, x, y);
}

void ResponseCurves::EQ_Mark_Gain_Update(uint8_t band)
{
    if (band >= BAND_COUNT || !ValidChannel(model_.CurCh) || !markers_) return;
    const int y = GainToMarkerTop(model_.store.EqGain[model_.CurCh][band]);
    const int x = markers_->bandMarkerPos(band).x();
    markers_->placeBandMarker(band, x, y);
    markers_->placeBandLabel(band, x, y - BAND_LABEL_RISE);
}
