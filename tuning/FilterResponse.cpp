// Cookbook biquads of filter-file lines and the peaking Q conversion.
#include "FilterResponse.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double TWO_PI = 6.283185307179586;
constexpr double SAMPLE_RATE = 48000.0;

struct Biquad {
    double b0, b1, b2, a0, a1, a2;
};

Biquad Design(const FileFilter &f)
{
    const double w0 = TWO_PI * f.fc / SAMPLE_RATE;
    const double cs = std::cos(w0), sn = std::sin(w0);
    const double A = std::pow(10.0, f.gainDb / 40.0);
    double q = f.q;
    if (!(q > 0.0)) {
        if (f.type == FileFilterType::LowShelf || f.type == FileFilterType::HighShelf) {
            const double s = f.slopeDb > 0.0 ? f.slopeDb / 12.0 : 1.0;
            q = 1.0 / std::sqrt(std::max(1e-9, (A + 1.0 / A) * (1.0 / s - 1.0) + 2.0));
        } else {
            q = 0.7071067811865476;
        }
    }
    const double alpha = sn / (2.0 * q);
    const double rootA = 2.0 * std::sqrt(A) * alpha;
    switch (f.type) {
    case FileFilterType::Peaking: return {1 + alpha * A, -2 * cs, 1 - alpha * A, 1 + alpha / A, -2 * cs, 1 - alpha / A};
    case FileFilterType::LowShelf:
        return {A * ((A + 1) - (A - 1) * cs + rootA), 2 * A * ((A - 1) - (A + 1) * cs), A * ((A + 1) - (A - 1) * cs - rootA),
                (A + 1) + (A - 1) * cs + rootA, -2 * ((A - 1) + (A + 1) * cs), (A + 1) + (A - 1) * cs - rootA};
    case FileFilterType::HighShelf:
        return {A * ((A + 1) + (A - 1) * cs + rootA), -2 * A * ((A - 1) + (A + 1) * cs), A * ((A + 1) + (A - 1) * cs - rootA),
                (A + 1) - (A - 1) * cs + rootA, 2 * ((A - 1) - (A + 1) * cs), (A + 1) - (A - 1) * cs - rootA};
    case FileFilterType::LowPass: return {(1 - cs) / 2, 1 - cs, (1 - cs) / 2, 1 + alpha, -2 * cs, 1 - alpha};
    case FileFilterType::HighPass: return {(1 + cs) / 2, -(1 + cs), (1 + cs) / 2, 1 + alpha, -2 * cs, 1 - alpha};
    case FileFilterType::Notch: return {1, -2 * cs, 1, 1 + alpha, -2 * cs, 1 - alpha};
    case FileFilterType::AllPass: break;
    }
    return {1, 0, 0, 1, 0, 0};
}

}  // namespace

std::vector<double> FileFilterDb(const FileFilter &f, const std::vector<double> &hz)
{
    const Biquad c = Design(f);
    std::vector<double> out(hz.size());
    for (size_t i = 0; i < hz.size(); ++i) {
        const double w = TWO_PI * hz[i] / SAMPLE_RATE;
        const double c1 = std::cos(w), c2 = std::cos(2.0 * w);
        const double num = c.b0 * c.b0 + c.b1 * c.b1 + c.b2 * c.b2 + 2.0 * (c.b0 * c.b1 + c.b1 * c.b2) * c1 + 2.0 * c.b0 * c.b2 * c2;
        const double den = c.a0 * c.a0 + c.a1 * c.a1 + c.a2 * c.a2 + 2.0 * (c.a0 * c.a1 + c.a1 * c.a2) * c1 + 2.0 * c.a0 * c.a2 * c2;
        // A notch's zero lies on the unit circle: its depth is limited to what the fit can see anyway.
        out[i] = 10.0 * std::log10(std::max(num, 1e-30) / den);
    }
    return out;
}

double CookbookQ(double processorQ, double gainDb) { return 2.0 * processorQ * std::pow(10.0, -std::abs(gainDb) / 40.0); }

double ProcessorQ(double cookbookQ, double gainDb) { return cookbookQ * std::pow(10.0, std::abs(gainDb) / 40.0) / 2.0; }
