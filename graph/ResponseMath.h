// Frequency axis of the response graph and the curves of the crossovers and the equaliser, in pixels.
#pragma once

#include <QLine>
#include <QPoint>
#include <cstdint>

#include "ParamStore.h"
#include "ProcessorResponse.h"

class MarkerSink;
class TuningModel;

constexpr int GRAPH_POINTS = 128;       // points of the logarithmic grid, 20 Hz .. 20 kHz
constexpr int EQ_SECTIONS = BAND_COUNT + 2;  // the 31 bands and two fixed sections

constexpr int GRAPH_LEFT = 36;          // x of 20 Hz
constexpr int GRAPH_WIDTH = 1060;       // plotted width of the 128 points
constexpr int GRAPH_ZERO_DB_Y = 144;    // y of the 0 dB line
constexpr int GRAPH_CLIP_TOP = 50;
constexpr int GRAPH_CLIP_RIGHT = 1095;
constexpr int GRAPH_CLIP_BOTTOM = 237;
constexpr int GRAPH_LINE_BOTTOM = 238;  // lower end of the crossover lines
constexpr int XOVER_MARKER_TOP = 148;
constexpr int XOVER_MARKER_SIZE = 16;
constexpr int BAND_MARKER_SIZE = 11;
constexpr int BAND_LABEL_SIZE = 18;
constexpr int BAND_LABEL_RISE = 15;     // the label sits this far above its marker after a height change

// The logarithmic grid of the graph, computed once by whoever draws on it.
struct GraphGrid {
    GraphGrid();
    double PointFreq[GRAPH_POINTS];   // Hz of each grid point
    double PointOmega[GRAPH_POINTS];  // normalised angular frequency of each grid point
    int PointX[GRAPH_POINTS];         // x pixel of each grid point
    // The two cosines of the section evaluation and the share of each fixed section, the same for every
    // channel and every edit.
    double PointCos1[GRAPH_POINTS];
    double PointCos2[GRAPH_POINTS];
    double FixedShare[2][GRAPH_POINTS];
};

// The curves of the six outputs in pixels, computed from the model's store; marker moves of its selected
// channel go to the sink (none: markers are left alone). Owned by the graph that paints them.
class ResponseCurves
{
public:
    explicit ResponseCurves(const TuningModel &model, MarkerSink *markers = nullptr);
    void setMarkerSink(MarkerSink *sink) { markers_ = sink; }
    MarkerSink *markerSink() const { return markers_; }
    // Every curve flat and the crossover lines at their start places.
    void reset();

    const GraphGrid grid;
    QPoint CurvePoint[CH_COUNT][GRAPH_POINTS];  // the plotted curve of each output
    double HPFCurve[CH_COUNT][GRAPH_POINTS];    // pixels above the 0 dB line
    double LPFCurve[CH_COUNT][GRAPH_POINTS];
    double EQCurve[CH_COUNT][GRAPH_POINTS];
    EqSection EQCoef[EQ_SECTIONS];  // bands of the channel computed last, then the fixed pair
    QLine HPF_Line;                 // dotted crossover lines of the selected channel
    QLine LPF_Line;

    void HPF_Curve_Update(uint8_t ch);
    void LPF_Curve_Update(uint8_t ch);
    void EQ_Curve_Update(uint8_t ch);
    void Curve_Point_Update(uint8_t ch);
    // The marker of a band of the selected channel to its frequency / its gain.
    void EQ_Mark_Update(uint8_t band);
    void EQ_Mark_Gain_Update(uint8_t band);

private:
    void crossoverCurve(double *curve, uint16_t freq, uint8_t slope, uint8_t bypass, uint8_t type, bool lowPass) const;
    double sectionShare(const EqSection &s, int i) const;

    const TuningModel &model_;
    MarkerSink *markers_;
};

int Freq_To_Pos(double hz);
uint16_t Pos_To_Freq(int x);

// A raw frequency as a marker selects it: snapped up from 19995, clamped to 20..20000, truncated.
uint16_t SnapFreq(double hz);
// Top edge of a band marker for a gain code (0..240, 120 = 0 dB).
int GainToMarkerTop(uint16_t gainCode);
