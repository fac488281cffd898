// The measured, predicted and target curves of one output, ready to be drawn on the response graph.
#pragma once

#include <QPoint>
#include <array>

#include "FreqCurve.h"
#include "ParamStore.h"
#include "ResponseMath.h"

constexpr double OVERLAY_PX_PER_DB = 94.0 / 20.0;  // the graph's dB axis: 20 dB per 94 pixels
constexpr double OVERLAY_NORM_LO = 200.0;          // the measured curve's mean in this band sits at 0 dB
constexpr double OVERLAY_NORM_HI = 2000.0;

using OverlayLine = std::array<QPoint, GRAPH_POINTS>;

// The measured and target levels at the graph's 128 grid frequencies: the measurement with its mean from 200 Hz to 2 kHz at 0 dB, the target likewise, both plus the
// offset. Computed once per change of measurement, smoothing, target or offset, not per band move.
struct OverlayLevels {
    std::array<double, GRAPH_POINTS> measuredDb{};
    std::array<double, GRAPH_POINTS> targetDb{};
};

struct OverlayCurves {
    OverlayLine measured;   // measurement normalised, plus the offset
    OverlayLine predicted;  // measured plus the output's equaliser and crossovers
    OverlayLine target;     // target with its mean from 200 Hz to 2 kHz at 0 dB, plus the offset
};

// y pixel of a level in dB on the graph (0 dB at y 144), truncated toward zero like the graph's curves.
int OverlayY(double db);

OverlayLevels MakeOverlayLevels(const GraphGrid &grid, const FreqCurve &measurement, const FreqCurve &target, double offsetDb);

// The three curves in the graph's pixels, with the x of the graph's own curve points; the predicted one
// with the output's current equaliser and crossovers (128 evaluations of the bands: cheap enough for
// every band move).
OverlayCurves MakeOverlay(const GraphGrid &grid, const OverlayLevels &levels, const ParamBlock &block, int ch);
