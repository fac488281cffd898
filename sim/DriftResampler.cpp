// Windowed-sinc interpolation at a steadily drifting position.
#include "DriftResampler.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double Beta = 10.0;

double kernel(double x)
{
    if (std::fabs(x) >= DriftResampler::HALF) return 0.0;
    const double sinc = x == 0.0 ? 1.0 : std::sin(M_PI * x) / (M_PI * x);
    const double u = x / DriftResampler::HALF;
    return sinc * std::cyl_bessel_i(0.0, Beta * std::sqrt(1.0 - u * u)) / std::cyl_bessel_i(0.0, Beta);
}

}  // namespace

DriftResampler::DriftResampler() : table_(size_t(PHASES + 1) * 2 * HALF)
{
    // Tap j of row p weighs sample n0 + j - (HALF - 1) for a position n0 + p / PHASES.
    for (int p = 0; p <= PHASES; ++p)
        for (int j = 0; j < 2 * HALF; ++j) table_[size_t(p) * 2 * HALF + size_t(j)] = kernel(double(p) / PHASES - (j - (HALF - 1)));
}

void DriftResampler::resample(const double *in, size_t inSize, double stretch, std::vector<double> &out) const
{
    const long long size = (long long)inSize;
    for (size_t k = 0; k < out.size(); ++k) {
        const double t = double(k) * stretch;
        const long long n0 = (long long)std::floor(t);
        const double phase = (t - double(n0)) * PHASES;
        const int p = std::min(int(phase), PHASES - 1);
        const double w = phase - p;
        const double *a = &table_[size_t(p) * 2 * HALF];
        const double *b = a + 2 * HALF;
        double sum = 0.0;
        const long long first = n0 - (HALF - 1);
        const int j0 = first < 0 ? int(-first) : 0;
        const int j1 = first + 2 * HALF > size ? int(std::max<long long>(0, size - first)) : 2 * HALF;
        for (int j = j0; j < j1; ++j) sum += in[first + j] * (a[j] + w * (b[j] - a[j]));
        out[k] = sum;
    }
}
