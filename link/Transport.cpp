// The send path and report reads of the processor link.
#include "Transport.h"

#include "LinkState.h"

bool Transport::open()
{
    if (!device_) return false;
    device_->close();  // never leak the previous handle
    return device_->open(PROCESSOR_VID, PROCESSOR_PID);
}

void Transport::close()
{
    if (device_) device_->close();
}

void Transport::SendFrame(const uint8_t *payload, int n)
{
    link_.HeartbeatCountdown = 400;
    ++heartbeatReloads;
    if (link_.SuppressSend) return;
    if (link_.Downloading && n > 0 && payload[0] == 5) return;
    SendFrameDirect(payload, n);
}

void Transport::SendFrameDirect(const uint8_t *payload, int n)
{
    if (!BuildReportFrame(ReportFrame, SeqNo, payload, n)) return;
    ++SeqNo;
    if (!isOpen()) return;
    const int r = device_->write(ReportFrame, sizeof ReportFrame);
    if (r < 0) {
        const bool wasConnected = link_.Connected;
        link_.Connected = 0;
        link_.LinkLost = 1;
        // One box per lost link, however many writes fail while it is open.
        if (wasConnected && onWriteFailed) onWriteFailed();
        return;
    }
    ++framesWritten;
}

int Transport::readIntoRx(int timeoutMs)
{
    if (!isOpen()) return -1;
    if (Rx.RxCount >= sizeof Rx.RxBuffer) return 0;
    const int room = int(sizeof Rx.RxBuffer) - Rx.RxCount;
    const int r = device_->read(Rx.RxBuffer + Rx.RxCount, size_t(room), timeoutMs);
    if (r > 0) Rx.RxCount = uint16_t(Rx.RxCount + (r > room ? room : r));
    return r;
}

int Transport::readRaw(uint8_t *buf, int length, int timeoutMs)
{
    if (!isOpen()) return -1;
    return device_->read(buf, size_t(length), timeoutMs);
}
