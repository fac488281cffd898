// Interpolation, sampling and averaging of magnitude curves on a logarithmic frequency axis.
#include "FreqCurve.h"

#include <algorithm>
#include <cmath>

namespace {

// Index of the last point at or below f (0 .. n-2), for f inside the span.
int SegmentOf(const std::vector<double> &hz, double f)
{
    const auto it = std::upper_bound(hz.begin(), hz.end(), f);
    const int k = int(it - hz.begin()) - 1;
    return std::clamp(k, 0, int(hz.size()) - 2);
}

double Lerp(const FreqCurve &c, int k, double f)
{
    const double t = std::log(f / c.hz[k]) / std::log(c.hz[k + 1] / c.hz[k]);
    return c.db[k] + t * (c.db[k + 1] - c.db[k]);
}

}  // namespace

double FreqCurve::at(double f) const
{
    if (hz.empty()) return 0.0;
    if (!(f > hz.front())) return db.front();
    if (f >= hz.back()) return db.back();
    return Lerp(*this, SegmentOf(hz, f), f);
}

std::vector<double> FreqCurve::sample(const std::vector<double> &freqs) const
{
    std::vector<double> out(freqs.size(), 0.0);
    if (hz.empty()) return out;
    int k = 0;
    const int last = size() - 1;
    for (size_t i = 0; i < freqs.size(); ++i) {
        const double f = freqs[i];
        if (!(f > hz.front())) { out[i] = db.front(); continue; }
        if (f >= hz.back()) { out[i] = db.back(); continue; }
        while (k + 1 < last && hz[k + 1] <= f) ++k;
        out[i] = Lerp(*this, k, f);
    }
    return out;
}

double FreqCurve::integralTo(double f) const
{
    double sum = 0.0;
    int k = 0;
    for (; k + 1 < size() && hz[k + 1] <= f; ++k)
        sum += 0.5 * (db[k] + db[k + 1]) * std::log(hz[k + 1] / hz[k]);
    if (k + 1 < size() && f > hz[k]) sum += 0.5 * (db[k] + Lerp(*this, k, f)) * std::log(f / hz[k]);
    return sum;
}

double FreqCurve::meanDb(double lo, double hi) const
{
    if (hz.empty()) return 0.0;
    lo = std::max(lo, hz.front());
    hi = std::min(hi, hz.back());
    if (!(hi > lo)) return at(lo);
    return (integralTo(hi) - integralTo(lo)) / std::log(hi / lo);
}

std::vector<double> LogGrid(double lo, double hi, int pointsPerOctave)
{
    std::vector<double> out;
    if (!(lo > 0.0) || !(hi > lo) || pointsPerOctave <= 0) return out;
    const int steps = std::max(1, int(std::ceil(std::log2(hi / lo) * pointsPerOctave)));
    out.reserve(steps + 1);
    for (int i = 0; i <= steps; ++i) out.push_back(lo * std::pow(hi / lo, double(i) / steps));
    return out;
}
