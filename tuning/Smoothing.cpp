// Fractional-octave smoothing by running integrals over log frequency, linear in the number of points.
#include "Smoothing.h"

#include <algorithm>
#include <cmath>

namespace {

// Integral of the curve over ln f up to x, with prefix integrals at the points and a running segment.
struct RunningIntegral {
    const FreqCurve &c;
    const std::vector<double> &lnf;
    const std::vector<double> &prefix;
    int k = 0;  // segment that holds the last x asked for; x only grows

    double to(double x)
    {
        const int last = c.size() - 1;
        if (x <= lnf[0]) return 0.0;
        if (x >= lnf[last]) return prefix[last];
        while (lnf[k + 1] <= x) ++k;
        const double t = (x - lnf[k]) / (lnf[k + 1] - lnf[k]);
        const double vx = c.db[k] + t * (c.db[k + 1] - c.db[k]);
        return prefix[k] + 0.5 * (c.db[k] + vx) * (x - lnf[k]);
    }
};

// Each point the mean over ln f within half of width(f) octaves either side; the window's ends must only
// grow with f (true of the widths here).
template <typename Width>
FreqCurve SmoothBy(const FreqCurve &curve, Width width)
{
    const int n = curve.size();
    std::vector<double> lnf(n), prefix(n, 0.0);
    for (int i = 0; i < n; ++i) lnf[i] = std::log(curve.hz[i]);
    for (int i = 1; i < n; ++i) prefix[i] = prefix[i - 1] + 0.5 * (curve.db[i - 1] + curve.db[i]) * (lnf[i] - lnf[i - 1]);

    RunningIntegral lower{curve, lnf, prefix};
    RunningIntegral upper{curve, lnf, prefix};
    FreqCurve out;
    out.hz = curve.hz;
    out.db.resize(n);
    for (int i = 0; i < n; ++i) {
        const double half = 0.5 * width(curve.hz[i]) * std::log(2.0);
        const double a = std::max(lnf[i] - half, lnf[0]);
        const double b = std::min(lnf[i] + half, lnf[n - 1]);
        out.db[i] = b > a ? (upper.to(b) - lower.to(a)) / (b - a) : curve.db[i];
    }
    return out;
}

}  // namespace

double SmoothingWidth(Smoothing s)
{
    switch (s) {
    case Smoothing::Oct24: return 1.0 / 24.0;
    case Smoothing::Oct12: return 1.0 / 12.0;
    case Smoothing::Oct6: return 1.0 / 6.0;
    case Smoothing::Oct3: return 1.0 / 3.0;
    case Smoothing::None: break;
    }
    return 0.0;
}

FreqCurve Smooth(const FreqCurve &curve, Smoothing s)
{
    const double width = SmoothingWidth(s);
    if (width <= 0.0 || curve.size() < 2) return curve;
    return SmoothBy(curve, [width](double) { return width; });
}

FreqCurve SmoothVariable(const FreqCurve &curve)
{
    if (curve.size() < 2) return curve;
    return SmoothBy(curve, [](double hz) {
        const double x = std::clamp(std::log10(hz / 100.0) / 2.0, 0.0, 1.0);  // 0 at 100 Hz, 1 at 10 kHz
        return 1.0 / 48.0 + x * (1.0 / 3.0 - 1.0 / 48.0);
    });
}
