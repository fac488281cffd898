// Auto-EQ: greedy placement, NLopt refinement, quantising to the processor's codes and the boost limit.
#include "AutoEq.h"

#include <algorithm>
#include <cmath>
#include <nlopt.hpp>

#include "EqFitModel.h"
#include "ProcessorResponse.h"
#include "Smoothing.h"

namespace {

using Band = EqFitModel::Band;

constexpr double MIN_GAIN_DB = -12.0;
constexpr double MAX_GAIN_DB = 12.0;
constexpr double MIN_Q = 0.4;
constexpr double MAX_Q = 10.0;
constexpr double DIP_EDGE_DB = 3.0;       // a dip spans the points this far below their 1/3-octave mean
constexpr double DIP_DEPTH_DB = 6.0;      // and is deep when one of them lies this far (or the maximum boost) below
constexpr double DIP_NARROW_OCT = 1.0 / 3.0;
constexpr double GREEDY_STOP_DB = 0.1;    // no band is placed for a deviation below this
constexpr int MAX_EVALUATIONS = 400;

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

// Q of a peak whose half-height width is the given number of octaves.
double QForWidth(double octaves)
{
    const double p = std::pow(2.0, octaves);
    return std::clamp(std::sqrt(p) / (p - 1.0), MIN_Q, MAX_Q);
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

// One band per largest remaining deviation, until the bands run out or the rest is small.
std::vector<Band> GreedyBands(EqFitModel &model, const std::vector<double> &hz, std::vector<double> rest,
                              const std::vector<bool> &counted, int count, double maxBoost)
{
    for (size_t i = 0; i < rest.size(); ++i)
        if (!counted[i]) rest[i] = 0.0;
    std::vector<Band> bands;
    const int n = int(hz.size());
    while (int(bands.size()) < count) {
        int peak = 0;
        for (int i = 1; i < n; ++i)
            if (std::abs(rest[i]) > std::abs(rest[peak])) peak = i;
        const double height = rest[peak];
        if (std::abs(height) < GREEDY_STOP_DB) break;
        int lo = peak, hi = peak;
        while (lo > 0 && rest[lo - 1] * height > 0.5 * height * height) --lo;
        while (hi + 1 < n && rest[hi + 1] * height > 0.5 * height * height) ++hi;
        const double width = std::max(std::log2(hz[hi] / hz[lo]), 1.5 / FIT_POINTS_PER_OCTAVE);
        const Band b{std::clamp(height, MIN_GAIN_DB, maxBoost), std::log(hz[peak]), std::log(QForWidth(width))};
        const std::vector<double> made = model.response(&b, 1);
        for (int i = 0; i < n; ++i)
            if (counted[i]) rest[i] -= made[i];
        bands.push_back(b);
    }
    return bands;
}

// NLopt's view of the bands: all three variables per band, or the gains alone.
struct Objective {
    EqFitModel *model;
    std::vector<Band> bands;
    bool gainsOnly;
    std::vector<double> grad3;
    double best = HUGE_VAL;
    std::vector<double> bestX;

    void load(const double *x)
    {
        for (size_t k = 0; k < bands.size(); ++k) {
            if (gainsOnly) {
                bands[k].gainDb = x[k];
            } else {
                bands[k] = Band{x[3 * k], x[3 * k + 1], x[3 * k + 2]};
            }
        }
    }

    static double call(unsigned n, const double *x, double *grad, void *data)
    {
        Objective &o = *static_cast<Objective *>(data);
        o.load(x);
        o.grad3.resize(3 * o.bands.size());
        const double e = o.model->evaluate(o.bands.data(), int(o.bands.size()), grad ? o.grad3.data() : nullptr);
        if (grad) {
            if (o.gainsOnly) {
                for (size_t k = 0; k < o.bands.size(); ++k) grad[k] = o.grad3[3 * k];
            } else {
                std::copy(o.grad3.begin(), o.grad3.end(), grad);
            }
        }
        if (e < o.best) {
            o.best = e;
            o.bestX.assign(x, x + n);
        }
        return e;
    }
};

// Refines the bands within the bounds; keeps the best point seen, whatever way the optimiser ends.
void Refine(EqFitModel &model, std::vector<Band> &bands, bool gainsOnly, double loHz, double hiHz, double maxBoost)
{
    if (bands.empty()) return;
    Objective obj{&model, bands, gainsOnly, {}, HUGE_VAL, {}};
    std::vector<double> x, lower, upper;
    for (const Band &b : bands) {
        lower.push_back(MIN_GAIN_DB);
        upper.push_back(maxBoost);
        x.push_back(b.gainDb);
        if (gainsOnly) continue;
        lower.insert(lower.end(), {std::log(loHz), std::log(MIN_Q)});
        upper.insert(upper.end(), {std::log(hiHz), std::log(MAX_Q)});
        x.insert(x.end(), {b.lnHz, b.lnQ});
    }
    for (size_t i = 0; i < x.size(); ++i) x[i] = std::clamp(x[i], lower[i], upper[i]);

    nlopt::opt opt(nlopt::LD_LBFGS, unsigned(x.size()));
    opt.set_lower_bounds(lower);
    opt.set_upper_bounds(upper);
    opt.set_min_objective(&Objective::call, &obj);
    opt.set_maxeval(MAX_EVALUATIONS);
    opt.set_ftol_rel(1e-4);  // of a mean squared error near 1 dB^2: far below what quantising changes
    double value = 0.0;
    try {
        opt.optimize(x, value);
    } catch (const std::exception &) {
        // roundoff or a failed line search: the best point seen so far stands
    }
    if (obj.bestX.empty()) return;
    obj.load(obj.bestX.data());
    bands = obj.bands;
}

BandCode Quantise(const Band &b, uint16_t maxGainCode)
{
    BandCode c;
    c.freq = uint16_t(std::clamp<long>(std::lround(std::exp(b.lnHz)), GRAPH_MIN_FREQ, GRAPH_MAX_FREQ));
    c.gain = uint16_t(std::clamp<long>(std::lround(b.gainDb * 10.0) + GAIN_ZERO, 0, maxGainCode));
    c.q = uint8_t(std::clamp<long>(std::lround(std::exp(b.lnQ) * 10.0), 4, 100));
    return c;
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
    const uint16_t maxGainCode = uint16_t(GAIN_ZERO + std::floor(maxBoost * 10.0 + 1e-9));

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
    std::vector<double> wanted(n);
    for (int i = 0; i < n; ++i) wanted[i] = std::min(goal[i] - base[i], maxBoost);
    EqFitModel model(hz, wanted, counted, maxBoost);

    if (settings.graphic) {
        std::vector<Band> bands;
        const FreqCurve want{hz, wanted};
        for (int b : freeList) {
            const BandCode &c = result.bands[b];
            bands.push_back(Band{std::clamp(want.at(c.freq), MIN_GAIN_DB, maxBoost), std::log(double(c.freq)),
                                 std::log(c.q / 10.0)});
        }
        Refine(model, bands, true, lo, hi, maxBoost);
        for (size_t k = 0; k < freeList.size(); ++k)
            result.bands[freeList[k]].gain = Quantise(bands[k], maxGainCode).gain;
    } else {
        std::vector<Band> bands = GreedyBands(model, hz, wanted, counted, int(freeList.size()), maxBoost);
        Refine(model, bands, false, lo, hi, maxBoost);
        std::sort(bands.begin(), bands.end(), [](const Band &a, const Band &b) { return a.lnHz < b.lnHz; });
        for (size_t k = 0; k < freeList.size(); ++k) {
            BandCode &c = result.bands[freeList[k]];
            if (k < bands.size()) {
                c = Quantise(bands[k], maxGainCode);
            } else {
                c.gain = GAIN_ZERO;
            }
        }
    }
    LimitBoost(result.bands, free, hz, maxBoost);
    result.rmsAfter = Rms(Plus(measured, BandsDb(result.bands, hz)), goal);
    return result;
}
