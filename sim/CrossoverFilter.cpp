// Crossover realisations: Butterworth sections where they exist, the minimum phase of the magnitude otherwise.
#include "CrossoverFilter.h"

#include "AnalogFilter.h"

#include <algorithm>
#include <cmath>

namespace {

// The grid of u = ln r for the phase table, and the reach of Bode's kernel around each point.
constexpr double Step = 0.01;
constexpr double Span = 14.0;   // the table covers r = e^-14 .. e^14
constexpr double Reach = 24.0;  // the kernel ln coth(|v|/2) ~ 2 e^-|v| is below 1e-10 beyond

}  // namespace

CrossoverFilter::CrossoverFilter(int type, int order, bool lowPass, double hz)
    : type_(type == 1 || type == 2 ? type : 0), order_(std::clamp(order, 1, 8)), lowPass_(lowPass), hz_(hz)
{
    if (type_ == 0 || order_ == 1 || (type_ == 1 && order_ % 2 == 0)) return;
    // Bode: phase(u0) = 1/pi * integral of d ln|H|/du (u) * ln coth(|u - u0| / 2) du, over cells of Step
    // centred between grid points (1e-5 rad from the exact phase where one is known).
    const int points = int(2 * Span / Step) + 1, reach = int(Reach / Step);
    std::vector<double> kernel(static_cast<size_t>(reach));
    for (int i = 0; i < reach; ++i) kernel[size_t(i)] = std::log(1.0 / std::tanh((i + 0.5) * Step / 2.0));
    // slope(u) at the cell centres u = -Span - Reach + (j + 0.5) Step
    const int cells = points + 2 * reach;
    std::vector<double> slope(static_cast<size_t>(cells));
    const auto logMag = [this](double u) { return std::log(lowPassMagnitude(std::exp(u))); };
    for (int j = 0; j < cells; ++j) {
        const double u = -Span - Reach + (j + 0.5) * Step;
        slope[size_t(j)] = (logMag(u + Step / 2) - logMag(u - Step / 2)) / Step;
    }
    phase_.resize(size_t(points));
    // The kernel is ln(2/v) near its peak, where the midpoint rule falls short by Step ln(2) / 2 on each side.
    const double nearPeak = Step * std::log(2.0) / 2.0;
    for (int p = 0; p < points; ++p) {
        // grid point p lies between cells reach + p - 1 and reach + p
        double sum = 0.0;
        for (int i = 0; i < reach; ++i) sum += (slope[size_t(reach + p + i)] + slope[size_t(reach + p - 1 - i)]) * kernel[size_t(i)] * Step;
        sum += (slope[size_t(reach + p)] + slope[size_t(reach + p - 1)]) * nearPeak;
        phase_[size_t(p)] = sum / M_PI;
    }
}

double CrossoverFilter::lowPassMagnitude(double r) const
{
    const double rn = std::pow(r, order_);
    return type_ == 1 ? 1.0 / (1.0 + rn) : (2.0 * order_ - 1.0) / (rn + 2.0 * order_ - 1.0);
}

double CrossoverFilter::minimumPhase(double r) const
{
    const double x = (std::log(r) + Span) / Step;
    if (x <= 0) return phase_.front();
    if (x >= double(phase_.size() - 1)) return phase_.back();
    const size_t i = size_t(x);
    return phase_[i] + (x - double(i)) * (phase_[i + 1] - phase_[i]);
}

CrossoverFilter::Complex CrossoverFilter::at(double f) const
{
    if (!lowPass_ && f <= 0.0) return 0.0;
    if (phase_.empty()) {
        if (type_ == 1 && order_ % 2 == 0) {
            const Complex h = AnalogFilter::butterworthPass(order_ / 2, lowPass_, hz_, f);
            return h * h;
        }
        return AnalogFilter::butterworthPass(order_, lowPass_, hz_, f);
    }
    // A high-pass is the low-pass at 1/r, its phase mirrored.
    const double r = lowPass_ ? f / hz_ : hz_ / f;
    const double phase = minimumPhase(r);
    return std::polar(lowPassMagnitude(r), lowPass_ ? phase : -phase);
}
