// Acknowledged exchanges of the long transfers: send, read the answer within the read bound, send again.
#pragma once

#include "Transport.h"

#include <cstdint>
#include <functional>

enum class TransferResult {
    Ok,
    NoAnswer,  // the processor did not acknowledge within the bounded tries
    LinkLost,  // a write or read failed, or the link was lost while waiting
};

// Pacing of the transfers. The processor needs the settle times; tests shorten them.
struct TransferPace {
    int readMs = READ_BOUND_MS;  // one read for an answer
    int maxTries = 20;           // tries of the same frame before the transfer is abandoned
    int maxItemMs = 2000;        // time for the same frame before the transfer is abandoned
    int pageGapMs = 5;           // between the page writes of a single scene
    int runOutStepMs = 5;        // progress run-out after a single scene
    int sceneSettleMs = 1000;    // after each scene of an all-scenes upload
    int uploadSettleMs = 1000;   // after the whole all-scenes upload
    int idleWaitMs = 3000;       // for a running download to end before a transfer starts
};

class ProcessorSession;

class TransferLink
{
public:
    // Exchanges over the session's transport, paced by its pace.
    explicit TransferLink(ProcessorSession &session) : p_(session) {}

    // One frame that the processor acknowledges.
    struct AckStep {
        std::function<void()> send;                           // sends the frame (the same bytes every try)
        std::function<bool(const uint8_t *, int)> accept;     // a well-framed reply payload that acknowledges it
        uint16_t hold = 2000;  // HeartbeatCountdown after each send, keeps the heartbeat away
        int settleMs = 0;      // wait between sending and reading
        int gapMs = 5;         // wait between tries
    };

    // Sends until accepted; the same frame again after each try without an acceptable answer,
    // up to the pace's maxTries tries or the pace's maxItemMs.
    TransferResult acknowledged(const AckStep &step);
    // Sends once without waiting for an answer; LinkLost when the write failed.
    TransferResult once(const std::function<void()> &send);
    // The progress bar's value for done of total items: the whole percentage, 0..100.
    static int percent(int done, int total) { return total > 0 ? int(int64_t(done) * 100 / total) : 100; }
    // Reads and drops every report already waiting (non-blocking).
    void drain();
    // Waits (processing events) until the poll loop has finished the download and the names.
    // False when the link was lost or the download did not end within the pace's idleWaitMs.
    bool waitLinkIdle();
    // The payload of the reply frame at the start of an input report: header FA 2A, length,
    // checksum and trailer checked. False for anything malformed.
    static bool framedPayload(const uint8_t *report, int n, const uint8_t **payload, int *length);
    // An acknowledgement: payload code at byte 1; when the processor echoes the index bytes
    // after it, they must match (a late answer for another frame never counts).
    static bool isAck(const uint8_t *payload, int length, uint8_t code, const uint8_t *index, int indexLength);

private:
    ProcessorSession &p_;
};
