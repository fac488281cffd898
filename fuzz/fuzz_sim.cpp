// Arbitrary reports into the simulated processor: it must reject or apply them without fault.
#include "SimProcessor.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static SimProcessor sim;
    uint8_t report[32];
    for (size_t pos = 0; pos < size; pos += 32) {
        std::memset(report, 0, sizeof report);
        std::memcpy(report, data + pos, size - pos < 32 ? size - pos : 32);
        sim.receive(report);
        uint8_t out[32];
        while (sim.takeReply(out)) {
        }
    }
    sim.clearLog();
    return 0;
}
