// The processor link state machine: search, identification, page and name downloads, resync, heartbeat.
#include "PollLoop.h"

#include <algorithm>
#include <iterator>

#include "Commands.h"
#include "Framing.h"
#include "ProcessorSession.h"
#include "TransferGuard.h"
#include "Transport.h"
#include "WaitMs.h"

#include <cstring>

void PollLoop::tick()
{
    if (completionDue_) checkCompletion();
    if (!p_.Link.Connected) {
        searchStep();
    } else {
        if (p_.Link.Downloading) pageStep();
        // The tick that reads the last page goes on with the idle steps at once.
        if (!p_.Link.Downloading) idleSteps();
    }
    if (p_.Link.BtnRepeatDelay) --p_.Link.BtnRepeatDelay;
    ParseReply();
}

PollLoop::~PollLoop()
{
    unwatchPresence();
}

void PollLoop::searchStep()
{
    if (p_.Link.LinkLost) showLostLink();
    // Each open enumerates the bus: while nothing answers, try only every OPEN_RETRY_TICKS ticks, and
    // where the system reports arrivals, only every SLOW_OPEN_TICKS unless one comes.
    if (openWait_ > 0) {
        --openWait_;
        return;
    }
    ConnectDevice();
    // A processor that was opened but has not answered as expected is asked again in a while.
    openWait_ = (presenceWatched() && !p_.Port.isOpen() ? SLOW_OPEN_TICKS : OPEN_RETRY_TICKS) - 1;
}

bool PollLoop::ConnectDevice()
{
    p_.Port.close();
    p_.Link.SuppressSend = 0;
    if (!p_.Port.open()) {
        // Nothing attached: a processor attached later is a new one, worth its own mismatch box.
        mismatchShown_ = false;
        // Re-identifying a processor that has gone: the link is lost like after a failed write.
        if (p_.Link.Connected) loseLink();
        return false;
    }
    REQ_DEVICE_NAME(p_);
    p_.Port.Rx.clear();
    if (p_.Port.readIntoRx(READ_BOUND_MS) > 0) return true;
    WaitMs(10);
    p_.Port.Rx.clear();
    return p_.Port.readIntoRx(READ_BOUND_MS) > 0;
}

void PollLoop::pageStep()
{
    if (!p_.Link.AwaitingReply) {
        p_.Link.ParamPage = nextPageToRequest(p_.Link.ParamPage);
        REQ_PARAM_PAGE(p_, p_.Link.ParamPage);
        p_.Link.AwaitingReply = 1;
        return;
    }
    p_.Port.Rx.clear();
    if (p_.Port.readIntoRx(READ_BOUND_MS) <= 0) {
        p_.Link.AwaitingReply = 0;  // nothing came: the same page is requested on the next tick
        return;
    }
    ++p_.Link.ParamPage;
    if (p_.Link.ParamPage <= LAST_PARAM_PAGE) {
        p_.Link.AwaitingReply = 0;
        host_.setProgress(p_.Link.ParamPage);
        return;
    }
    // AwaitingReply stays set until the reply for the last page has been applied.
    p_.Link.Downloading = 0;
    host_.showProgress(false);
    completionDue_ = true;
}

uint8_t PollLoop::nextPageToRequest(uint8_t page)
{
    // A garbled or stray report costs its page; such pages are asked for again (a bounded number of
    // times) before the last page, whose reply completes the download.
    for (int p = page; p < LAST_PARAM_PAGE; ++p)
        if (!pageSeen_[p]) return uint8_t(p);
    if (pageRetries_ < MAX_PAGE_RETRIES) {
        for (int p = 0; p < LAST_PARAM_PAGE; ++p) {
            if (!pageSeen_[p]) {
                ++pageRetries_;
                return uint8_t(p);
            }
        }
    }
    return LAST_PARAM_PAGE;
}

void PollLoop::checkCompletion()
{
    completionDue_ = false;
    if (!p_.Link.Connected || p_.Link.Downloading || p_.Link.NamesPending || p_.Link.LinkStatus != 1) return;
    // The report read for the last page was not its reply (lost, garbled or something else):
    // without it the download never completes, so ask for the last page again.
    p_.Link.Downloading = 1;
    p_.Link.ParamPage = LAST_PARAM_PAGE;
    p_.Link.AwaitingReply = 0;
    host_.setProgress(LAST_PARAM_PAGE);
    host_.showProgress(true);
}

void PollLoop::nameStep()
{
    if (!p_.Link.AwaitingReply) {
        REQ_SCENE_NAME(p_, p_.Link.NamePage);
        p_.Link.AwaitingReply = 1;
        return;
    }
    p_.Port.Rx.clear();
    if (p_.Port.readIntoRx(READ_BOUND_MS) <= 0) {
        p_.Link.AwaitingReply = 0;
        return;
    }
    ++p_.Link.NamePage;
    if (p_.Link.NamePage <= LAST_SCENE)
        p_.Link.AwaitingReply = 0;
    else
        p_.Link.NamesPending = 0;  // the reply for the last scene clears AwaitingReply
}

void PollLoop::idleSteps()
{
    if (p_.Link.NamesPending) nameStep();
    if (p_.Link.ResyncCountdown) {
        --p_.Link.ResyncCountdown;
        // The processor's whole state changed: identify it again, which restarts the download.
        if (p_.Link.ResyncCountdown == 0) ConnectDevice();
    }
    heartbeatStep();
    if (p_.Link.LinkLost) showLostLink();
}

void PollLoop::heartbeatStep()
{
    if (p_.Link.HeartbeatCountdown == 0) {
        p_.Link.HeartbeatCountdown = HEARTBEAT_PERIOD;
        return;
    }
    if (--p_.Link.HeartbeatCountdown != 0) return;
    if (p_.Link.Connected) REQ_HEARTBEAT(p_);
    // The answer is drained, not parsed; into a buffer of its own so that unparsed bytes stay intact.
    uint8_t drain[REPORT_SIZE];
    p_.Port.readRaw(drain, sizeof drain, READ_BOUND_MS);
    p_.Link.HeartbeatCountdown = HEARTBEAT_PERIOD;
}

void PollLoop::loseLink()
{
    p_.Link.Connected = 0;
    p_.Link.LinkLost = 1;
    if (p_.Port.onWriteFailed) p_.Port.onWriteFailed();
}

void PollLoop::showLostLink()
{
    host_.showLinkStatus(false);
    host_.showProgress(false);
    p_.Link.LinkLost = 0;
    p_.Link.LinkStatus = 0;
}

bool PollLoop::ParseReply()
{
    if (!p_.Port.Rx.scan()) {
        stalledPos_ = p_.Port.Rx.RxPos;
        stalledCount_ = p_.Port.Rx.RxCount;
        return false;
    }
    // More replies may follow in the same report; with every byte taken, none can.
    const bool allTaken = p_.Port.Rx.RxPos >= std::min<size_t>(p_.Port.Rx.RxCount, sizeof p_.Port.Rx.RxBuffer);
    stalledPos_ = p_.Port.Rx.RxPos;
    stalledCount_ = allTaken ? p_.Port.Rx.RxCount : uint16_t(~0u);
    // A copy: a handler may show a box, and ticks inside it parse further replies.
    uint8_t payload[sizeof p_.Port.Rx.ReplyPayload];
    const int n = p_.Port.Rx.ReplyLength;
    std::memcpy(payload, p_.Port.Rx.ReplyPayload, sizeof payload);
    dispatch(payload, n);
    return true;
}

void PollLoop::dispatch(const uint8_t *payload, int n)
{
    switch (payload[0]) {
    case REPLY_DEVICE_NAME: identify(payload, n); break;
    case REPLY_PARAM_PAGE:
        if (n >= 2 + 20 && payload[1] <= LAST_PARAM_PAGE) pageSeen_[payload[1]] = true;
        host_.paramPageReply(payload, n);
        break;
    case REPLY_SCENE_NAME: host_.sceneNameReply(payload, n); break;
    case REPLY_INPUT_SOURCE: host_.inputSourceReply(payload, n); break;
    case REPLY_MASTER_VOLUME: host_.masterVolumeReply(payload, n); break;
    default: break;  // acknowledgements and anything else
    }
}

std::string PollLoop::DeviceNameOf(const uint8_t *payload, int n)
{
    std::string name;
    for (int i = 1; i <= NAME_BYTES && i < n; ++i) {
        const uint8_t c = payload[i];
        if (c == 0x00 || c == 0xFF) break;
        name.push_back(char(c));
    }
    return name;
}

void PollLoop::identify(const uint8_t *payload, int n)
{
    if (DeviceNameOf(payload, n) == p_.Link.ExpectedDeviceName) {
        p_.Link.Connected = 1;
        p_.Link.Downloading = 1;
        p_.Link.AwaitingReply = 0;
        p_.Link.NamesPending = 0;  // a name phase cut off by a lost link starts afresh after the pages
        p_.Link.ParamPage = 0;
        p_.Link.LinkStatus = 1;
        std::fill(std::begin(pageSeen_), std::end(pageSeen_), false);
        pageRetries_ = 0;
        mismatchShown_ = false;
        completionDue_ = false;
        openWait_ = 0;
        host_.setProgress(1);
        host_.showProgress(true);
        return;
    }
    const bool wasIdentified = p_.Link.LinkStatus != 0;
    p_.Link.Connected = 0;
    p_.Link.LinkStatus = 0;
    if (wasIdentified) {
        host_.showLinkStatus(false);
        host_.showProgress(false);
    }
    // Ticks keep arriving inside the box: report this processor once, not at every attempt.
    if (mismatchShown_) return;
    mismatchShown_ = true;
    host_.reportNameMismatch();
}

bool PollLoop::parsePending() const
{
    return p_.Port.Rx.RxPos != stalledPos_ || p_.Port.Rx.RxCount != stalledCount_;
}

int PollLoop::countdownTicks() const
{
    if (!p_.Link.Connected) return openWait_;
    // The tick that brings the heartbeat countdown to 0 sends; at 0 the next tick reloads it.
    return p_.Link.HeartbeatCountdown > 0 ? p_.Link.HeartbeatCountdown - 1 : 0;
}

int PollLoop::quietTicks() const
{
    if (completionDue_ || p_.Link.BtnRepeatDelay || p_.Link.LinkLost || parsePending() || TransferGuard::busy(p_.Link)) return 0;
    if (p_.Link.Connected && (p_.Link.Downloading || p_.Link.NamesPending || p_.Link.ResyncCountdown)) return 0;
    return countdownTicks();
}

void PollLoop::skipTicks(int n)
{
    if (n <= 0) return;
    if (p_.Link.Connected)
        p_.Link.HeartbeatCountdown = uint16_t(p_.Link.HeartbeatCountdown - n);
    else if (openWait_ > 0)
        openWait_ -= n;
}

void PollLoop::watchPresence()
{
    unwatchPresence();
    DeviceIo *device = p_.Port.device();
    if (device && device->watchPresence([this](PresenceEvent e) { presenceChanged(e); })) watched_ = device;
}

void PollLoop::unwatchPresence()
{
    if (watched_) watched_->watchPresence(nullptr);
    watched_ = nullptr;
}

void PollLoop::presenceChanged(PresenceEvent event)
{
    if (event == PresenceEvent::Arrived) {
        if (!p_.Link.Connected) openWait_ = 0;  // tried on the next tick
        return;
    }
    // The open processor went away: noticed now rather than at the next heartbeat.
    if (p_.Link.Connected) loseLink();
}
