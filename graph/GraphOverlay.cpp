// Overlay curves in the graph's pixels.
#include "GraphOverlay.h"

#include <cmath>
#include <vector>

#include "OutputResponse.h"

int OverlayY(double db)
{
    const double y = GRAPH_ZERO_DB_Y - db * OVERLAY_PX_PER_DB;
    if (std::isnan(y)) return GRAPH_ZERO_DB_Y;
    if (y > 1.0e6) return 1000000;
    if (y < -1.0e6) return -1000000;
    return static_cast<int>(y);
}

OverlayLevels MakeOverlayLevels(const GraphGrid &grid, const FreqCurve &measurement, const FreqCurve &target, double offsetDb)
{
    const std::vector<double> freqs(grid.PointFreq, grid.PointFreq + GRAPH_POINTS);
    const std::vector<double> measured = measurement.sample(freqs);
    const std::vector<double> wanted = target.sample(freqs);
    const double measuredShift = offsetDb - measurement.meanDb(OVERLAY_NORM_LO, OVERLAY_NORM_HI);
    const double targetShift = offsetDb - target.meanDb(OVERLAY_NORM_LO, OVERLAY_NORM_HI);
    OverlayLevels out;
    for (int i = 0; i < GRAPH_POINTS; ++i) {
        out.measuredDb[i] = measured[i] + measuredShift;
        out.targetDb[i] = wanted[i] + targetShift;
    }
    return out;
}

OverlayCurves MakeOverlay(const GraphGrid &grid, const OverlayLevels &levels, const ParamBlock &block, int ch)
{
    const std::vector<double> freqs(grid.PointFreq, grid.PointFreq + GRAPH_POINTS);
    const std::vector<double> eq = OutputEqDb(block, ch, freqs);
    const std::vector<double> xo = OutputCrossoverDb(block, ch, freqs);
    OverlayCurves out;
    for (int i = 0; i < GRAPH_POINTS; ++i) {
        const int x = grid.PointX[i];
        out.measured[i] = QPoint(x, OverlayY(levels.measuredDb[i]));
        out.predicted[i] = QPoint(x, OverlayY(levels.measuredDb[i] + eq[i] + xo[i]));
        out.target[i] = QPoint(x, OverlayY(levels.targetDb[i]));
    }
    return out;
}
