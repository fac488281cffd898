// Staged greedy placement, NLopt refinement, merging and pruning of peaking bands (see BandFitter.h).
#include "BandFitter.h"

#include <algorithm>
#include <cmath>
#include <nlopt.hpp>

#include "ProcessorResponse.h"

namespace {

using Band = EqFitModel::Band;

constexpr double MIN_GAIN_DB = -12.0;
constexpr double MIN_Q = 0.4;
constexpr double MAX_Q = 10.0;
constexpr double GREEDY_STOP_DB = 0.1;   // no band is placed for a deviation below this
constexpr int FIRST_STAGE = 10;          // bands placed before the first refinement
constexpr int STAGE_STEP = 7;            // bands added per later stage
constexpr int STAGE_EVALUATIONS = 50;    // refinement of a stage before the last
constexpr int FINAL_EVALUATIONS = 150;   // refinement of all the bands
constexpr int SHORT_EVALUATIONS = 20;    // trial refinements of a merge or a removal
constexpr int GAIN_EVALUATIONS = 100;    // the gains after rounding frequencies and Q
constexpr int GEQ_EVALUATIONS = 400;     // the gains of a GEQ fit
constexpr double CLOSE_OCTAVES = 1.0 / 12.0;
constexpr double PAYS_DB = 0.1;          // RMS a close pair or a narrow boost must save to stay
constexpr double NARROW_Q = 2.0;
constexpr double HIGH_HZ = 12000.0;
constexpr double CORNER_OCTAVES = 0.5;
constexpr int TIDY_ROUNDS = 1;

// Q of a peak whose half-height width is the given number of octaves.
double QForWidth(double octaves)
{
    const double p = std::pow(2.0, octaves);
    return std::clamp(std::sqrt(p) / (p - 1.0), MIN_Q, MAX_Q);
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

}  // namespace

BandFitter::BandFitter(const Problem &problem)
    : p_(problem), model_(problem.hz, problem.wanted, problem.counted, problem.maxBoostDb)
{
    p_.counted.resize(p_.hz.size(), true);
    countedPoints_ = int(std::count(p_.counted.begin(), p_.counted.end(), true));
}

void BandFitter::addGreedy(std::vector<Band> &bands, int count)
{
    const int n = int(p_.hz.size());
    std::vector<double> rest(n, 0.0);
    const std::vector<double> made = model_.response(bands.data(), int(bands.size()));
    for (int i = 0; i < n; ++i)
        if (p_.counted[i]) rest[i] = p_.wanted[i] - made[i];
    // A new band goes no closer than CLOSE_OCTAVES to another: the points near a band are not peaks.
    std::vector<bool> open(n, true);
    const auto closeTo = [&](double lnHz) {
        for (int i = 0; i < n; ++i)
            if (std::abs(std::log(p_.hz[i]) - lnHz) < CLOSE_OCTAVES * std::log(2.0)) open[i] = false;
    };
    for (const Band &b : bands) closeTo(b.lnHz);
    for (double lnHz : pruned_) closeTo(lnHz);
    while (int(bands.size()) < count) {
        int peak = -1;
        for (int i = 0; i < n; ++i)
            if (open[i] && (peak < 0 || std::abs(rest[i]) > std::abs(rest[peak]))) peak = i;
        if (peak < 0) break;
        const double height = rest[peak];
        if (std::abs(height) < GREEDY_STOP_DB) break;
        int lo = peak, hi = peak;
        while (lo > 0 && rest[lo - 1] * height > 0.5 * height * height) --lo;
        while (hi + 1 < n && rest[hi + 1] * height > 0.5 * height * height) ++hi;
        const double width = std::max(std::log2(p_.hz[hi] / p_.hz[lo]), 1.5 / 48.0);
        const Band b{std::clamp(height, MIN_GAIN_DB, p_.maxBoostDb), std::log(p_.hz[peak]), std::log(QForWidth(width))};
        const std::vector<double> one = model_.response(&b, 1);
        for (int i = 0; i < n; ++i)
            if (p_.counted[i]) rest[i] -= one[i];
        bands.push_back(b);
        closeTo(b.lnHz);
    }
}

// Refines the bands within the bounds; keeps the best point seen, whatever way the optimiser ends.
// Returns the RMS error of the result.
double BandFitter::refine(std::vector<Band> &bands, bool gainsOnly, int evaluations)
{
    if (bands.empty()) return rms(bands);
    Objective obj{&model_, bands, gainsOnly, {}, HUGE_VAL, {}};
    std::vector<double> x, lower, upper;
    for (const Band &b : bands) {
        lower.push_back(MIN_GAIN_DB);
        upper.push_back(p_.maxBoostDb);
        x.push_back(b.gainDb);
        if (gainsOnly) continue;
        lower.insert(lower.end(), {std::log(p_.hz.front()), std::log(MIN_Q)});
        upper.insert(upper.end(), {std::log(p_.hz.back()), std::log(MAX_Q)});
        x.insert(x.end(), {b.lnHz, b.lnQ});
    }
    for (size_t i = 0; i < x.size(); ++i) x[i] = std::clamp(x[i], lower[i], upper[i]);

    nlopt::opt opt(nlopt::LD_LBFGS, unsigned(x.size()));
    opt.set_lower_bounds(lower);
    opt.set_upper_bounds(upper);
    opt.set_min_objective(&Objective::call, &obj);
    opt.set_maxeval(evaluations);
    opt.set_ftol_rel(1e-5);
    double value = 0.0;
    try {
        opt.optimize(x, value);
    } catch (const std::exception &) {
        // roundoff or a failed line search: the best point seen so far stands
    }
    if (!obj.bestX.empty()) {
        obj.load(obj.bestX.data());
        bands = obj.bands;
    }
    return rms(bands);
}

double BandFitter::rms(std::vector<Band> &bands)
{
    const double meanSquare = model_.evaluate(bands.data(), int(bands.size()), nullptr);
    return countedPoints_ ? std::sqrt(meanSquare * model_.points() / countedPoints_) : 0.0;
}

// One pass over neighbours closer than CLOSE_OCTAVES: each pair is merged unless that costs more than PAYS_DB.
// Returns whether any was merged.
bool BandFitter::mergeClosePairs(std::vector<Band> &bands, double &error)
{
    std::sort(bands.begin(), bands.end(), [](const Band &a, const Band &b) { return a.lnHz < b.lnHz; });
    const double close = CLOSE_OCTAVES * std::log(2.0);
    bool merged = false;
    for (size_t k = 0; k + 1 < bands.size(); ++k) {
        const Band &a = bands[k], &b = bands[k + 1];
        if (b.lnHz - a.lnHz >= close) continue;
        const double wa = std::abs(a.gainDb) + 1e-6, wb = std::abs(b.gainDb) + 1e-6;
        std::vector<Band> trial = bands;
        trial[k] = Band{std::clamp(a.gainDb + b.gainDb, MIN_GAIN_DB, p_.maxBoostDb),
                        (wa * a.lnHz + wb * b.lnHz) / (wa + wb), wa >= wb ? a.lnQ : b.lnQ};
        trial.erase(trial.begin() + long(k) + 1);
        const double e = refine(trial, false, SHORT_EVALUATIONS);
        if (e > error + PAYS_DB) continue;
        std::sort(trial.begin(), trial.end(), [](const Band &x, const Band &y) { return x.lnHz < y.lnHz; });
        bands = trial;
        error = e;
        merged = true;
    }
    return merged;
}

bool BandFitter::mustPay(const Band &b) const
{
    if (b.gainDb <= 0.0 || std::exp(b.lnQ) < NARROW_Q) return false;
    const double f = std::exp(b.lnHz);
    return f > HIGH_HZ || (p_.cornerHz > 0.0 && std::abs(std::log2(f / p_.cornerHz)) < CORNER_OCTAVES);
}

// One pass over the narrow boosts that must pay: each is taken out unless that costs more than PAYS_DB.
// Returns whether any was taken out.
bool BandFitter::pruneNarrowBoosts(std::vector<Band> &bands, double &error)
{
    bool pruned = false;
    for (size_t k = 0; k < bands.size();) {
        if (!mustPay(bands[k])) {
            ++k;
            continue;
        }
        std::vector<Band> trial = bands;
        trial.erase(trial.begin() + long(k));
        const double e = refine(trial, false, SHORT_EVALUATIONS);
        if (e > error + PAYS_DB) {
            ++k;
            continue;
        }
        pruned_.push_back(bands[k].lnHz);  // not placed there again
        bands = trial;
        error = e;
        pruned = true;
    }
    return pruned;
}

BandCode BandFitter::quantise(const Band &b) const
{
    const long maxGainCode = GAIN_ZERO + long(std::floor(p_.maxBoostDb * 10.0 + 1e-9));
    BandCode c;
    c.freq = uint16_t(std::clamp<long>(std::lround(std::exp(b.lnHz)), GRAPH_MIN_FREQ, GRAPH_MAX_FREQ));
    c.gain = uint16_t(std::clamp<long>(std::lround(b.gainDb * 10.0) + GAIN_ZERO, 0, maxGainCode));
    c.q = uint8_t(std::clamp<long>(std::lround(std::exp(b.lnQ) * 10.0), 4, 100));
    return c;
}

void BandFitter::fitBands(BandSet &out, const std::vector<int> &free)
{
    const int count = int(free.size());
    pruned_.clear();
    std::vector<Band> bands;
    double error = rms(bands);
    for (int stage = std::min(count, FIRST_STAGE);; stage = std::min(count, stage + STAGE_STEP)) {
        const size_t before = bands.size();
        addGreedy(bands, stage);
        if (bands.size() == before) break;  // what is left is below GREEDY_STOP_DB
        error = refine(bands, false, stage == count ? FINAL_EVALUATIONS : STAGE_EVALUATIONS);
        if (stage == count) break;
    }
    // Close pairs and narrow boosts that do not pay; the freed bands placed again, then a last tidy-up.
    for (int round = 0; round <= TIDY_ROUNDS; ++round) {
        const bool merged = mergeClosePairs(bands, error);
        const bool freed = pruneNarrowBoosts(bands, error) || merged;
        if (!freed || round == TIDY_ROUNDS) break;
        const size_t before = bands.size();
        addGreedy(bands, count);
        if (bands.size() == before) break;
        error = refine(bands, false, FINAL_EVALUATIONS);
    }
    // Frequencies and Q rounded, the gains refined again for them, then rounded.
    for (Band &b : bands) {
        const BandCode c = quantise(b);
        b.lnHz = std::log(double(c.freq));
        b.lnQ = std::log(c.q / 10.0);
    }
    refine(bands, true, GAIN_EVALUATIONS);
    std::sort(bands.begin(), bands.end(), [](const Band &a, const Band &b) { return a.lnHz < b.lnHz; });
    for (size_t k = 0; k < free.size(); ++k) {
        BandCode &c = out[size_t(free[k])];
        if (k < bands.size()) {
            c = quantise(bands[k]);
        } else {
            c.gain = GAIN_ZERO;
        }
    }
}

void BandFitter::fitGains(BandSet &out, const std::vector<int> &free)
{
    const FreqCurve want{p_.hz, p_.wanted};
    std::vector<Band> bands;
    for (int b : free) {
        const BandCode &c = out[size_t(b)];
        bands.push_back(Band{std::clamp(want.at(c.freq), MIN_GAIN_DB, p_.maxBoostDb), std::log(double(c.freq)),
                             std::log(c.q / 10.0)});
    }
    refine(bands, true, GEQ_EVALUATIONS);
    for (size_t k = 0; k < free.size(); ++k) out[size_t(free[k])].gain = quantise(bands[k]).gain;
}
