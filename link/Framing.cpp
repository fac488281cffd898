// Report framing: the checksum, header and trailer of frames in both directions.
#include "Framing.h"

bool BuildReportFrame(uint8_t frame[32], uint8_t seq, const uint8_t *payload, int n)
{
    if (n < 1 || n > MAX_PAYLOAD) return false;
    frame[0] = 0x00;
    frame[1] = 0x20;
    frame[2] = 0xFA;
    frame[3] = 0xA2;
    frame[4] = seq;
    frame[5] = uint8_t(n);
    unsigned sum = 0xFA + 0xA2 + seq + unsigned(n);
    for (int i = 0; i < n; ++i) {
        frame[6 + i] = payload[i];
        sum += payload[i];
    }
    frame[6 + n] = uint8_t(sum & 0xFF);
    frame[7 + n] = 0xF5;
    return true;
}

bool ReplyScanner::scan()
{
    const uint16_t end = RxCount > sizeof RxBuffer ? uint16_t(sizeof RxBuffer) : RxCount;
    if (RxPos >= end) {
        RxPos = end;
        return false;
    }
    if (end - RxPos <= 6) return false;
    while (RxPos < end && RxBuffer[RxPos] != 0xFA) ++RxPos;
    if (RxPos >= end) return false;
    uint16_t p = RxPos + 1;
    if (p >= end) return false;
    if (RxBuffer[p] != 0x2A) {
        RxPos = p;  // stop behind the 0xFA; the next scan looks for the next header
        return false;
    }
    ++p;
    if (p >= end) { RxPos = p; return false; }
    const uint8_t seq = RxBuffer[p++];
    if (p >= end) { RxPos = p; return false; }
    const uint8_t n = RxBuffer[p++];
    unsigned sum = 0xFA + 0x2A + seq + n;
    ReplyLength = 0;
    for (unsigned i = 0; i < n; ++i) {
        if (p >= end) { RxPos = p; return false; }
        ReplyPayload[i] = RxBuffer[p];
        sum += RxBuffer[p++];
        ReplyLength = uint8_t(i + 1);
    }
    if (p >= end) { RxPos = p; return false; }
    if (RxBuffer[p++] != uint8_t(sum & 0xFF)) { RxPos = p; return false; }
    if (p >= end) { RxPos = p; return false; }
    if (RxBuffer[p++] != 0xF5) { RxPos = p; return false; }
    RxPos = p;
    return n > 0;
}
