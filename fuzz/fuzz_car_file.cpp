// Arbitrary bytes as a car file: it is refused with a reason, or taken as a car whose every value is in range,
// that is written and read back as the same car, and whose response through a factory processor is finite.
#include "CarFile.h"
#include "FuzzInput.h"
#include "SimProcessor.h"
#include "CarModel.h"

#include <cmath>

namespace {

FUZZ_UNTRACED bool inRange(const Car &car)
{
    if (car.sampleRate != 44100 && car.sampleRate != 48000) return false;
    if (car.outputs.size() > 6 || !(car.latencyMs >= 0 && car.noiseDbfs <= 0 && std::fabs(car.driftPpm) <= 1000)) return false;
    for (const CarOutput &o : car.outputs) {
        if (o.channel < 1 || o.channel > 6 || (o.polarity != 1 && o.polarity != -1)) return false;
        if ((o.highpassHz > 0 && o.highpassOrder < 1) || (o.lowpassHz > 0 && o.lowpassOrder < 1)) return false;
        if (o.highpassHz >= car.sampleRate / 2.0 || o.lowpassHz >= car.sampleRate / 2.0) return false;
        if (o.peaks.size() > size_t(CarFile::MAX_ENTRIES) || o.reflections.size() > size_t(CarFile::MAX_ENTRIES)) return false;
        for (const CarPeak &p : o.peaks)
            if (!(p.hz > 0 && p.hz < car.sampleRate / 2.0 && p.q > 0)) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const SimProcessor factory;
    const QByteArray json = QByteArray::fromRawData(reinterpret_cast<const char *>(data), int(size));
    Car car;
    QString why;
    if (!CarFile::read(json, &car, &why)) {
        FUZZ_CHECK(!why.isEmpty());
        return 0;
    }
    FUZZ_CHECK(inRange(car));
    const QByteArray text = CarFile::write(car);
    Car again;
    FUZZ_CHECK(CarFile::read(text, &again, &why) && CarFile::write(again) == text);
    const CarModel model(factory.params(), car);
    for (double hz : {20.0, 1000.0, car.sampleRate * 0.45}) {
        const auto h = model.response(hz);
        FUZZ_CHECK(std::isfinite(h.real()) && std::isfinite(h.imag()));
    }
    return 0;
}
