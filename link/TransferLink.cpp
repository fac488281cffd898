// Bounded acknowledged exchanges over a session's transport.
#include "TransferLink.h"

#include "ProcessorSession.h"
#include "WaitMs.h"

#include <QElapsedTimer>

namespace {
// A read that fails means the device is gone: the link is down.
TransferResult readFailed(LinkState &link)
{
    link.Connected = 0;
    link.LinkLost = 1;
    return TransferResult::LinkLost;
}
}  // namespace

bool TransferLink::framedPayload(const uint8_t *report, int n, const uint8_t **payload, int *length)
{
    if (n < 7 || report[0] != 0xFA || report[1] != 0x2A) return false;
    const int len = report[3];
    if (len < 1 || 6 + len > n) return false;
    unsigned sum = 0xFA + 0x2A + report[2] + unsigned(len);
    for (int i = 0; i < len; ++i) sum += report[4 + i];
    if (report[4 + len] != uint8_t(sum & 0xFF) || report[5 + len] != 0xF5) return false;
    *payload = report + 4;
    *length = len;
    return true;
}

bool TransferLink::isAck(const uint8_t *payload, int length, uint8_t code, const uint8_t *index, int indexLength)
{
    if (length < 2 || payload[1] != code) return false;
    for (int i = 0; i < indexLength && 2 + i < length; ++i)
        if (payload[2 + i] != index[i]) return false;
    return true;
}

void TransferLink::drain()
{
    uint8_t report[REPORT_SIZE];
    for (int i = 0; i < 64 && p_.Port.readRaw(report, REPORT_SIZE, 0) > 0; ++i) {
    }
}

TransferResult TransferLink::once(const std::function<void()> &send)
{
    if (!p_.Link.Connected) return TransferResult::LinkLost;
    send();
    return p_.Link.Connected ? TransferResult::Ok : TransferResult::LinkLost;
}

TransferResult TransferLink::acknowledged(const AckStep &step)
{
    QElapsedTimer itemClock;
    itemClock.start();
    for (int tries = 1;; ++tries) {
        if (!p_.Link.Connected) return TransferResult::LinkLost;
        drain();
        step.send();
        if (!p_.Link.Connected) return TransferResult::LinkLost;  // the write failed
        p_.Link.HeartbeatCountdown = step.hold;
        p_.Port.Rx.clear();
        if (step.settleMs > 0) WaitMs(step.settleMs);
        // Stray reports inside the read bound are skipped; only the bound ends the wait.
        QElapsedTimer readClock;
        readClock.start();
        for (;;) {
            const int left = p_.Pace.readMs - int(readClock.elapsed());
            uint8_t report[REPORT_SIZE] = {};
            const int n = p_.Port.readRaw(report, REPORT_SIZE, left > 0 ? left : 0);
            if (n < 0) return readFailed(p_.Link);
            if (n == 0) break;
            const uint8_t *payload = nullptr;
            int length = 0;
            if (framedPayload(report, n, &payload, &length) && step.accept(payload, length))
                return TransferResult::Ok;
            if (left <= 0) break;
        }
        if (tries >= p_.Pace.maxTries || itemClock.elapsed() >= p_.Pace.maxItemMs) return TransferResult::NoAnswer;
        if (step.gapMs > 0) WaitMs(step.gapMs);
    }
}

bool TransferLink::waitLinkIdle()
{
    QElapsedTimer clock;
    clock.start();
    while (p_.Link.Connected && (p_.Link.Downloading || p_.Link.NamesPending) && clock.elapsed() < p_.Pace.idleWaitMs) WaitMs(2);
    return p_.Link.Connected && !p_.Link.Downloading && !p_.Link.NamesPending;
}
