// Arbitrary received bytes through the reply scanner: it never moves past the received bytes, accepts only
// frames with header, length, checksum and trailer in order, takes the payload from those bytes, misses no
// complete frame in front of it and always comes to rest.
#include "FuzzInput.h"
#include "Framing.h"

#include <cstring>

namespace {
// The complete, valid reply frame that starts at s and ends before end: its length, or -1.
int frameAt(const uint8_t *buf, int s, int end)
{
    if (s + 6 > end || buf[s] != 0xFA || buf[s + 1] != 0x2A) return -1;
    const int n = buf[s + 3];
    if (n == 0 || s + 6 + n > end) return -1;
    unsigned sum = 0;
    for (int i = 0; i < 4 + n; ++i) sum += buf[s + i];
    if (buf[s + 4 + n] != uint8_t(sum) || buf[s + 5 + n] != 0xF5) return -1;
    return 6 + n;
}

bool scanOnce(ReplyScanner &rx)
{
    const int end = rx.RxCount > 32 ? 32 : rx.RxCount;
    const int from = rx.RxPos;
    int first = from;
    while (first < end && rx.RxBuffer[first] != 0xFA) ++first;
    const int expected = end - from > 6 ? frameAt(rx.RxBuffer, first, end) : -1;

    const bool found = rx.scan();
    FUZZ_CHECK(rx.RxPos <= end || rx.RxPos == from);
    FUZZ_CHECK(rx.RxPos >= from || from > end);
    // A complete frame in front of the scanner is taken at once.
    FUZZ_CHECK(found == (expected > 0));
    if (!found) return false;
    const int s = rx.RxPos - (6 + rx.ReplyLength);
    FUZZ_CHECK(s == first);
    FUZZ_CHECK(frameAt(rx.RxBuffer, s, rx.RxPos) == 6 + rx.ReplyLength);
    FUZZ_CHECK(std::memcmp(rx.ReplyPayload, rx.RxBuffer + s + 4, rx.ReplyLength) == 0);
    return true;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput in(data, size);
    ReplyScanner rx;
    // Old bytes of earlier reports behind the received ones.
    in.take(rx.RxBuffer, in.byte() % 33);
    while (!in.empty()) {
        // One report: whether the buffer was cleared first, its length, how many scans (ticks) follow.
        const uint8_t how = in.byte();
        if (how & 0x80) rx.clear();
        const int want = in.byte() % 40;  // a device may claim more than the buffer holds
        const int room = 32 - (rx.RxCount > 32 ? 32 : rx.RxCount);
        const int got = int(in.take(rx.RxBuffer + (32 - room), size_t(want < room ? want : room)));
        rx.RxCount = uint16_t(rx.RxCount + (want > got && (how & 0x40) ? want : got));
        for (int i = 0; i <= (how & 3); ++i) scanOnce(rx);
        // Come to rest: repeated scans find every frame and then stop moving.
        for (int guard = 0;; ++guard) {
            FUZZ_CHECK(guard < 64);
            const uint16_t before = rx.RxPos;
            if (!scanOnce(rx) && rx.RxPos == before) break;
        }
        const uint16_t rest = rx.RxPos;
        FUZZ_CHECK(!scanOnce(rx) && rx.RxPos == rest);
    }
    return 0;
}
