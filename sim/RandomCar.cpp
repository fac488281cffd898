// Drawing a car from a 64-bit Mersenne twister with a mapping of our own (the standard distributions differ
// between libraries).
#include "RandomCar.h"

#include "SpeakerCodes.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace {

class Draw
{
public:
    explicit Draw(uint64_t seed) : engine_(seed) {}
    double unit() { return double(engine_() >> 11) / 9007199254740992.0; }  // [0, 1)
    double range(double lo, double hi) { return lo + (hi - lo) * unit(); }
    double logRange(double lo, double hi) { return lo * std::pow(hi / lo, unit()); }
    int integer(int lo, int hi) { return std::min(hi, lo + int(unit() * (hi - lo + 1))); }
    bool coin() { return unit() < 0.5; }

private:
    std::mt19937_64 engine_;
};

}  // namespace

Car RandomCar::draw(uint64_t seed)
{
    Draw d(seed);
    Car car;
    car.sampleRate = 48000;
    car.latencyMs = d.range(5.0, 60.0);
    car.driftPpm = 0.0;
    car.noiseDbfs = -200.0;
    int channels[6] = {1, 2, 3, 4, 5, 6};
    for (int i = 5; i > 0; --i) std::swap(channels[i], channels[d.integer(0, i)]);
    const int count = d.integer(1, 6);
    for (int i = 0; i < count; ++i) {
        CarOutput o;
        o.channel = channels[i];
        o.distanceCm = d.range(30.0, 400.0);
        o.polarity = d.coin() ? 1 : -1;
        o.levelDb = d.range(-10.0, 3.0);
        if (d.coin()) {
            o.highpassHz = d.logRange(30.0, 3000.0);
            o.highpassOrder = d.integer(1, 4);
        }
        if (d.coin()) {
            o.lowpassHz = d.logRange(std::max(200.0, o.highpassHz * 4.0), 18000.0);
            o.lowpassOrder = d.integer(1, 4);
        }
        for (int k = d.integer(0, 3); k > 0; --k) o.peaks.push_back({d.logRange(50.0, 10000.0), d.range(-9.0, 9.0), d.range(0.5, 5.0)});
        for (int k = d.integer(0, 3); k > 0; --k) o.reflections.push_back({d.range(0.5, 10.0), d.range(-0.5, 0.5)});
        car.outputs.push_back(o);
    }
    return car;
}

ParamBlock RandomCar::sceneFor(const Car &car)
{
    ParamBlock block{};
    block.setDefaults();
    block.MasterVol = 600;
    for (int ch = 0; ch < CH_COUNT; ++ch) block.ChName[ch] = SPK_OFF;
    for (const CarOutput &o : car.outputs) {
        const int ch = o.channel - 1;
        if (ch < 0 || ch >= CH_COUNT) continue;
        block.ChName[ch] = DefaultChName[ch];
        if (o.highpassHz > 0.0) {
            block.HpfFreq[ch] = uint16_t(std::clamp(std::lround(o.highpassHz), 20L, 20000L));
            block.HpfSlope[ch] = 1;
            block.HpfBypass[ch] = 0;
        }
        if (o.lowpassHz > 0.0) {
            block.LpfFreq[ch] = uint16_t(std::clamp(std::lround(o.lowpassHz), 20L, 20000L));
            block.LpfSlope[ch] = 1;
            block.LpfBypass[ch] = 0;
        }
    }
    return block;
}
