// Seeded synthetic responses: a sum of smooth shapes in log frequency and noise. The distributions are
// drawn by hand from uniform and normal deviates of std::mt19937, whose sequence the standard fixes (the
// library's own distributions may differ between standard libraries).
#include "SyntheticResponse.h"

#include <cmath>
#include <random>

namespace {

class Draw
{
public:
    explicit Draw(uint32_t seed) : rng_(seed) {}
    double uniform(double lo, double hi) { return lo + (hi - lo) * (rng_() / 4294967296.0); }
    int count(int lo, int hi) { return lo + int(rng_() % uint32_t(hi - lo + 1)); }
    double logUniform(double lo, double hi) { return lo * std::pow(hi / lo, uniform(0.0, 1.0)); }
    double sign() { return rng_() & 1u ? 1.0 : -1.0; }
    double normal()  // Box-Muller
    {
        const double u = (rng_() + 1.0) / 4294967297.0;
        return std::sqrt(-2.0 * std::log(u)) * std::cos(6.283185307179586 * uniform(0.0, 1.0));
    }

private:
    std::mt19937 rng_;
};

// A bump of the given height and width (standard deviation in octaves) centred at fc.
double Bump(double hz, double fc, double octaves, double height)
{
    const double x = std::log2(hz / fc) / octaves;
    return height * std::exp(-0.5 * x * x);
}

}  // namespace

FreqCurve SyntheticResponse(uint32_t seed)
{
    Draw d(seed);
    FreqCurve c;
    c.hz = LogGrid(20.0, 20000.0, 48);
    c.db.assign(c.hz.size(), 80.0);
    const double tilt = d.uniform(-1.5, 0.5);
    const double bass = d.uniform(0.0, 6.0), bassHz = d.uniform(60.0, 150.0);
    const double top = d.uniform(0.0, 6.0), topHz = d.uniform(8000.0, 16000.0);
    for (size_t i = 0; i < c.hz.size(); ++i) {
        const double f = c.hz[i];
        c.db[i] += tilt * std::log2(f / 1000.0) + bass / (1.0 + (f / bassHz) * (f / bassHz)) -
                   top * (f / topHz) * (f / topHz) / (1.0 + (f / topHz) * (f / topHz));
    }
    for (int k = d.count(3, 6); k > 0; --k) {
        const double fc = d.logUniform(40.0, 12000.0), width = d.uniform(0.2, 0.8), h = d.sign() * d.uniform(2.0, 7.0);
        for (size_t i = 0; i < c.hz.size(); ++i) c.db[i] += Bump(c.hz[i], fc, width, h);
    }
    for (int k = d.count(2, 4); k > 0; --k) {
        const double fc = d.logUniform(100.0, 15000.0), width = d.uniform(0.02, 0.06), h = -d.uniform(3.0, 15.0);
        for (size_t i = 0; i < c.hz.size(); ++i) c.db[i] += Bump(c.hz[i], fc, width, h);
    }
    for (double &v : c.db) v += 0.3 * d.normal();
    return c;
}
