// Auto-EQ: the fit's grid, level, left-out dips and boost limit around BandFitter.
#include "AutoEq.h"

#include <algorithm>
#include <cmath>

#include "BandFitter.h"
#include "EqFitModel.h"
#include "ProcessorResponse.h"
#include "Smoothing.h"

namespace {

constexpr double MAX_GAIN_DB = 12.0;
constexpr double DIP_EDGE_DB = 3.0;       // a dip spans the points this far below their 1/3-octave mean
constexpr double DIP_DEPTH_DB = 6.0;      // and is deep when one of them lies this far (or the maximum boost) below
constexpr double DIP_NARROW_OCT = 1.0 / 3.0;

double Rms(const std::vector<double> &a, const std::vector<double> &b)
{
    double sum = 0.0;
    for (size_t i = 0; i < a.size(); ++i) sum += (a[i] - b[i]) * (a[i] - b[i]);
    return a.empty() ? 0.0 : std::sqrt(sum / a.size());
}

std::vector<double> Plus(std::vector<double> a, const std::vector<double> &b)
{
    for (size_t i = 0; i < a.size(); ++i) a[i] += b[i];
    return a;
}

// False for the points of deep, narrow dips: runs of points more than DIP_EDGE_DB below the 1/3-octave mean,
// narrower than DIP_NARROW_OCT, reaching more than the larger of DIP_DEPTH_DB and the maximum boost below it.
std::vector<bool> OutsideNarrowDips(const std::vector<double> &hz, const std::vector<double> &db, double maxBoost)
{
    const double depth = std::max(DIP_DEPTH_DB, maxBoost);
    const FreqCurve around = Smooth(FreqCurve{hz, db}, Smoothing::Oct3);
    const int n = int(hz.size());
    std::vector<bool> counted(n, true);
    for (int i = 0; i < n;) {
        int j = i;
        double deepest = 0.0;
        for (; j < n && db[j] < around.db[j] - DIP_EDGE_DB; ++j) deepest = std::min(deepest, db[j] - around.db[j]);
        if (j > i && deepest < -depth && std::log2(hz[j - 1] / hz[i]) < DIP_NARROW_OCT)
            std::fill(counted.begin() + i, counted.begin() + j, false);
        i = std::max(j, i + 1);
    }
    return counted;
}

// Lowers boosting free bands, 0.1 dB at a time, until the summed response stays within the maximum boost.
void LimitBoost(BandSet &bands, const std::vector<bool> &free, const std::vector<double> &hz, double maxBoost)
{
    for (int round = 0; round < BAND_COUNT * 240; ++round) {
        // The grid, and the centres of the boosting bands, where a narrow peak may lie between grid points.
        std::vector<double> check = hz;
        for (const BandCode &b : bands)
            if (b.gain > GAIN_ZERO) check.push_back(b.freq);
        const std::vector<double> total = BandsDb(bands, check);
        const auto worst = std::max_element(total.begin(), total.end());
        if (worst == total.end() || *worst <= maxBoost + 0.005) return;
        const std::vector<double> at{check[size_t(worst - total.begin())]};
        int pick = -1;
        double most = 0.0;
        for (int b = 0; b < BAND_COUNT; ++b) {
            if (!free[b] || bands[b].gain <= GAIN_ZERO) continue;
            BandSet one{};
            one[0] = bands[b];
            const double share = BandsDb(one, at)[0];
            if (share > most) { most = share; pick = b; }
        }
        if (pick < 0) return;  // only fixed bands boost there
        --bands[pick].gain;
    }
}

}  // namespace

FitSettings DefaultFitSettings(const ParamBlock &block, int ch)
{
    FitSettings s;
    if (ch < 0 || ch >= CH_COUNT) return s;
    if (!block.HpfBypass[ch]) s.loHz = std::clamp<double>(block.HpfFreq[ch], GRAPH_MIN_FREQ, GRAPH_MAX_FREQ);
    if (!block.LpfBypass[ch]) s.hiHz = std::clamp<double>(block.LpfFreq[ch], GRAPH_MIN_FREQ, GRAPH_MAX_FREQ);
    return s;
}

FitResult FitOutput(const FreqCurve &measurement, const FreqCurve &target, const ParamBlock &block, int ch,
                    const FitSettings &settings)
{
    FitResult result;
    if (ch < 0 || ch >= CH_COUNT) {
        result.fault = FitFault::BadChannel;
        return result;
    }
    result.bands = BandsOf(block, ch);
    if (measurement.size() < 2) {
        result.fault = FitFault::NoMeasurement;
        return result;
    }
    const double lo = std::max({settings.loHz, double(GRAPH_MIN_FREQ), measurement.hz.front()});
    const double hi = std::min({settings.hiHz, double(GRAPH_MAX_FREQ), measurement.hz.back()});
    if (!(hi > lo * 1.01)) {
        result.fault = FitFault::EmptyRange;
        return result;
    }
    result.loHz = lo;
    result.hiHz = hi;
    const double maxBoost = std::clamp(settings.maxBoostDb, 0.0, MAX_GAIN_DB);

    const std::vector<double> hz = LogGrid(lo, hi, FIT_POINTS_PER_OCTAVE);
    const int n = int(hz.size());
    const std::vector<double> measured = Plus(measurement.sample(hz), OutputCrossoverDb(block, ch, hz));
    std::vector<double> goal = target.sample(hz);

    // The bands that move, and the response of the others, which joins the measurement.
    std::vector<bool> free(BAND_COUNT);
    std::vector<int> freeList;
    BandSet fixed = result.bands;
    for (int b = 0; b < BAND_COUNT; ++b) {
        const double f = result.bands[b].freq;
        free[b] = !settings.locked[b] && (!settings.graphic || (f >= lo && f <= hi));
        if (!free[b]) continue;
        freeList.push_back(b);
        fixed[b].gain = GAIN_ZERO;
    }
    const std::vector<double> base = Plus(measured, BandsDb(fixed, hz));

    // The target at the measurement's mean level (deep narrow dips left out of the mean as out of the fit).
    const std::vector<bool> counted = OutsideNarrowDips(hz, base, maxBoost);
    const std::vector<double> raw = measurement.sample(hz);
    double shift = 0.0;
    const int inMean = int(std::count(counted.begin(), counted.end(), true));
    for (int i = 0; i < n; ++i)
        if (counted[i]) shift += (raw[i] - goal[i]) / inMean;
    for (double &g : goal) g += shift;
    result.rmsBefore = Rms(Plus(measured, BandsDb(result.bands, hz)), goal);

    // The correction wanted, boosts limited.
    BandFitter::Problem problem{hz, std::vector<double>(n), counted, maxBoost, 0.0};
    for (int i = 0; i < n; ++i) problem.wanted[i] = std::min(goal[i] - base[i], maxBoost);
    if (!block.HpfBypass[ch]) problem.cornerHz = std::clamp<double>(block.HpfFreq[ch], GRAPH_MIN_FREQ, GRAPH_MAX_FREQ);
    BandFitter fitter(problem);
    if (settings.graphic) {
        fitter.fitGains(result.bands, freeList);
    } else {
        fitter.fitBands(result.bands, freeList);
    }
    LimitBoost(result.bands, free, hz, maxBoost);

    result.predicted = FreqCurve{hz, Plus(measured, BandsDb(result.bands, hz))};
    result.target = FreqCurve{hz, goal};
    result.counted = counted;
    result.rmsAfter = Rms(result.predicted.db, goal);
    int fittable = 0, within = 0;
    for (int i = 0; i < n; ++i) {
        if (!counted[i] || goal[i] - base[i] > maxBoost) continue;
        ++fittable;
        if (std::abs(result.predicted.db[i] - goal[i]) <= 1.0) ++within;
    }
    result.withinOneDb = fittable ? double(within) / fittable : 1.0;
    return result;
}
