// Before/after curves of one output brought onto the printed plot's grid.
#include "OutputComparison.h"

#include "ProcessorResponse.h"

#include <cstddef>
#include <limits>

namespace {

std::vector<double> within(const FreqCurve &curve, const std::vector<double> &hz)
{
    if (curve.empty()) return {};
    std::vector<double> db = curve.sample(hz);
    for (size_t i = 0; i < hz.size(); ++i)
        if (hz[i] < curve.hz.front() || hz[i] > curve.hz.back()) db[i] = std::numeric_limits<double>::quiet_NaN();
    return db;
}

}  // namespace

OutputComparison OutputComparison::fromCurves(int channel, const FreqCurve &before, const FreqCurve &after,
                                              const FreqCurve &target)
{
    OutputComparison c;
    c.channel = channel;
    c.hz = LogGrid(GRAPH_MIN_FREQ, GRAPH_MAX_FREQ, 24);
    c.beforeDb = within(before, c.hz);
    c.afterDb = within(after, c.hz);
    c.targetDb = within(target, c.hz);
    return c;
}
