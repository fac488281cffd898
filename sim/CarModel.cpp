// The car's transfer function: processor chains and speaker paths summed at the microphone.
#include "CarModel.h"

#include <algorithm>
#include <cmath>

CarModel::CarModel(const ParamBlock &memory, const Car &car) : car_(car)
{
    for (const CarOutput &o : car.outputs) {
        chains_.emplace_back(memory, o.channel - 1);
        paths_.emplace_back(o, car.sampleRate);
    }
}

CarModel::Complex CarModel::response(size_t i, double hz) const
{
    if (!sounds(i)) return 0.0;
    return chains_[i].gain() * chains_[i].shape(hz) * paths_[i].speaker(hz) * paths_[i].echoes(hz) *
           std::polar(1.0, -2.0 * M_PI * hz * arrivalMs(i) / 1000.0);
}

CarModel::Complex CarModel::response(double hz) const
{
    Complex h = 0.0;
    for (size_t i = 0; i < outputs(); ++i) h += response(i, hz);
    return h;
}

double CarModel::longestMs() const
{
    double longest = 0.0;
    for (size_t i = 0; i < outputs(); ++i)
        if (sounds(i)) longest = std::max(longest, chains_[i].delayMs() + paths_[i].lastDelayMs());
    return longest;
}
