// Threshold-then-climb search of the direct sound, refined on the band-limited envelope.
#include "DirectSound.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int TAPS = 64;  // each side

// 4-term Blackman-Harris window at x in [-1, 1]: side lobes below -92 dB, so the interpolation passes
// everything up to 0.47 of the sample rate (where the band-limited impulse ends) nearly untouched.
double Window(double x)
{
    const double p = M_PI * (x + 1.0);  // 0 .. 2 pi
    return 0.35875 - 0.48829 * std::cos(p) + 0.14128 * std::cos(2 * p) - 0.01168 * std::cos(3 * p);
}

double Sinc(double x) { return x == 0.0 ? 1.0 : std::sin(M_PI * x) / (M_PI * x); }

// The middle of the envelope's top around its maximum m: a broad top (a low driver's) is the vertex of a
// parabola fitted by weighted least squares to the envelope where it is within TOP of the maximum, so that
// noise on it averages out; a narrow one is its maximum between samples.
double EnvelopeTop(const std::complex<double> *a, int count, int from, int to, int m)
{
    constexpr double TOP = 0.05;
    constexpr int MIN_POINTS = 9;
    const double floor = (1.0 - TOP) * std::abs(a[m]);
    int lo = m, hi = m;
    while (lo - 1 >= from && std::abs(a[lo - 1]) >= floor) --lo;
    while (hi + 1 < to && std::abs(a[hi + 1]) >= floor) ++hi;
    if (hi - lo + 1 >= MIN_POINTS) {
        // Normal equations of y = c0 + c1 x + c2 x^2 in x = n - m.
        double s[5] = {0, 0, 0, 0, 0}, t[3] = {0, 0, 0};
        // Weighted by the height above the floor, so that samples enter and leave the fit smoothly as the
        // sampling instants move.
        for (int n = lo; n <= hi; ++n) {
            const double x = n - m, y = std::abs(a[n]), w = y - floor;
            double p = w;
            for (int k = 0; k < 5; ++k, p *= x) {
                s[k] += p;
                if (k < 3) t[k] += p * y;
            }
        }
        const double det = s[0] * (s[2] * s[4] - s[3] * s[3]) - s[1] * (s[1] * s[4] - s[3] * s[2]) + s[2] * (s[1] * s[3] - s[2] * s[2]);
        if (det != 0.0) {
            const double c1 = (s[0] * (t[1] * s[4] - s[3] * t[2]) - t[0] * (s[1] * s[4] - s[3] * s[2]) + s[2] * (s[1] * t[2] - t[1] * s[2])) / det;
            const double c2 = (s[0] * (s[2] * t[2] - t[1] * s[3]) - s[1] * (s[1] * t[2] - t[1] * s[2]) + t[0] * (s[1] * s[3] - s[2] * s[2])) / det;
            const double vertex = m - c1 / (2.0 * c2);
            if (c2 < 0.0 && vertex >= lo && vertex <= hi) return vertex;
        }
    }
    return EnvelopePeakNear(a, count, m);
}

}  // namespace

std::complex<double> AnalyticAt(const std::complex<double> *a, int count, double t)
{
    const int base = int(std::floor(t));
    std::complex<double> sum;
    for (int n = std::max(0, base - TAPS + 1); n <= std::min(count - 1, base + TAPS); ++n) {
        const double d = t - n;
        sum += a[n] * (Sinc(d) * Window(d / TAPS));
    }
    return sum;
}

double EnvelopePeakNear(const std::complex<double> *a, int count, int m)
{
    // Golden-section search for the envelope's maximum in [m - 1, m + 1].
    auto env = [a, count](double t) { return std::abs(AnalyticAt(a, count, t)); };
    const double g = (std::sqrt(5.0) - 1.0) / 2.0;
    double lo = m - 1.0, hi = m + 1.0;
    double x1 = hi - g * (hi - lo), x2 = lo + g * (hi - lo);
    double e1 = env(x1), e2 = env(x2);
    while (hi - lo > 1e-4) {
        if (e1 < e2) {
            lo = x1;
            x1 = x2;
            e1 = e2;
            x2 = lo + g * (hi - lo);
            e2 = env(x2);
        } else {
            hi = x2;
            x2 = x1;
            e2 = e1;
            x1 = hi - g * (hi - lo);
            e1 = env(x1);
        }
    }
    return 0.5 * (lo + hi);
}

DirectSound FindDirectSound(const std::complex<double> *a, int count, int from, int to)
{
    DirectSound ds;
    int peakAt = from;
    for (int n = from; n < to; ++n)
        if (std::abs(a[n]) > ds.peak) {
            ds.peak = std::abs(a[n]);
            peakAt = n;
        }
    if (!(ds.peak > 0.0)) return ds;
    int m = from;
    while (m < peakAt && std::abs(a[m]) < DirectSound::FRACTION * ds.peak) ++m;
    // The noise before the threshold: its RMS envelope sets how deep a dip must be to end the climb.
    double noise = 0.0;
    const int quiet = std::max(from, m - 64);
    for (int n = from; n < quiet; ++n) noise += std::norm(a[n]);
    noise = quiet > from ? std::sqrt(noise / (quiet - from)) : 0.0;
    const double dip = std::max(DirectSound::DIP * ds.peak, DirectSound::NOISE_DIPS * noise);
    int top = m;
    for (int n = m + 1; n < to && (std::abs(a[n]) > std::abs(a[top]) - dip || n - top <= DirectSound::BRIDGE); ++n)
        if (std::abs(a[n]) > std::abs(a[top])) top = n;
    ds.found = true;
    ds.time = EnvelopeTop(a, count, from, to, top);
    ds.value = AnalyticAt(a, count, ds.time);
    return ds;
}
