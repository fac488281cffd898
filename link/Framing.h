// Byte layout of the 32-byte output report and the scanner that finds reply frames in input reports.
#pragma once

#include <cstdint>

constexpr int MAX_PAYLOAD = 24;

// Builds the output report for one payload (1..24 bytes) with sequence number seq.
// Bytes behind the trailer are left as they were. Returns false for a bad length.
bool BuildReportFrame(uint8_t frame[32], uint8_t seq, const uint8_t *payload, int n);

// Reply codes dispatched by the parser.
enum ReplyCode : uint8_t {
    REPLY_DEVICE_NAME = 0x16,
    REPLY_PARAM_PAGE = 0xAA,
    REPLY_SCENE_NAME = 0x10,
    REPLY_INPUT_SOURCE = 0x02,
    REPLY_MASTER_VOLUME = 0x0D,
};

// The receive buffer and the reply scanner. Never reads past RxCount, whatever a length byte claims.
class ReplyScanner
{
public:
    uint8_t RxBuffer[32] = {};
    uint16_t RxCount = 0;
    uint16_t RxPos = 0;
    uint8_t ReplyPayload[32] = {};
    uint8_t ReplyLength = 0;

    void clear() { RxCount = RxPos = 0; }
    // Scans from RxPos; true when one complete, valid frame was found (its payload is in ReplyPayload).
    bool scan();
};
