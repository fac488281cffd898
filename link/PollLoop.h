// The processor link state machine run once per tick of the window's periodic timer, free of widgets.
#pragma once

#include "DeviceIo.h"

#include <cstdint>
#include <string>

class ProcessorSession;

// What the link shows through the window, and the handlers of the replies that carry state.
class PollHost
{
public:
    virtual ~PollHost() = default;
    // The link status text: connected or disconnected.
    virtual void showLinkStatus(bool online) = 0;
    // The download progress bar: its value (the page number) and its visibility.
    virtual void setProgress(int value) = 0;
    virtual void showProgress(bool visible) = 0;
    // The processor answered with another name.
    virtual void reportNameMismatch() = 0;
    // Replies carrying state; payload[0] is the reply code, n the payload length.
    virtual void paramPageReply(const uint8_t *payload, int n) = 0;     // 0xAA
    virtual void sceneNameReply(const uint8_t *payload, int n) = 0;     // 0x10
    virtual void inputSourceReply(const uint8_t *payload, int n) = 0;   // 0x02
    virtual void masterVolumeReply(const uint8_t *payload, int n) = 0;  // 0x0D
};

// One tick: search and identify while not connected; request the 55 parameter pages, then the
// nine scene names, one request per two ticks (the reply is read on the tick after the request);
// count down the resync; keep the link alive with the heartbeat; then parse one reply.
// Every read waits at most READ_BOUND_MS.
class PollLoop
{
public:
    // While no processor is identified, an open (which enumerates the bus) is tried once per this many ticks
    // (where hot-plug events are heard: while something opened has not answered as expected).
    static constexpr int OPEN_RETRY_TICKS = 100;
    // Where hot-plug events are heard and nothing could be opened, an open is still tried once per this many
    // ticks (a second): a monitor may be set up yet never deliver (no udev daemon, as in containers).
    static constexpr int SLOW_OPEN_TICKS = 500;
    // Ticks between heartbeats once the first one (400 ticks after the last frame) went out.
    static constexpr uint16_t HEARTBEAT_PERIOD = 200;
    static constexpr uint8_t LAST_PARAM_PAGE = 54;
    static constexpr uint8_t LAST_SCENE = 9;
    static constexpr int NAME_BYTES = 16;
    // Pages lost during a download are asked for again at most this many times in all.
    static constexpr int MAX_PAGE_RETRIES = 110;

    // Runs the link of the given session and shows it through host.
    PollLoop(PollHost &host, ProcessorSession &session) : host_(host), p_(session) {}
    ~PollLoop();
    PollLoop(const PollLoop &) = delete;
    PollLoop &operator=(const PollLoop &) = delete;

    // One tick of the periodic timer.
    void tick();
    // Closes the current handle, opens the processor and asks for its name; the reply is read here
    // (at most two bounded reads) and evaluated by the parse step at the end of the tick.
    // False when nothing could be opened or nothing answered.
    bool ConnectDevice();
    // One parse step over the received bytes, dispatching at most one reply; true when one was dispatched.
    bool ParseReply();

    // The identification text of a 0x16 payload: bytes 1..16 while they are 1..254.
    static std::string DeviceNameOf(const uint8_t *payload, int n);

    ProcessorSession &session() const { return p_; }
    // Ticks left before the next open attempt while searching.
    int ticksUntilOpen() const { return openWait_; }

    // How many coming ticks would do nothing but count down (the heartbeat while connected, the next
    // open attempt while searching): 0 when the next tick has work, -1 when nothing is due before a
    // device event. Such ticks need not run; skipTicks passes them at once.
    int quietTicks() const;
    // Ticks that countdown may still run before it is due, whatever else is pending (-1: no countdown).
    int countdownTicks() const;
    // Passes n ticks of that countdown at once; n <= countdownTicks().
    void skipTicks(int n);

    // Listens to the hot-plug notification of the transport's device, where it has one: a processor
    // appearing is tried at once, the open one going away is a lost link. Without it, an open is
    // tried every OPEN_RETRY_TICKS ticks while searching; with it, at once after a device event and
    // otherwise every SLOW_OPEN_TICKS (every OPEN_RETRY_TICKS while something opened has not answered).
    void watchPresence();
    void unwatchPresence();
    bool presenceWatched() const { return watched_ != nullptr; }
    void presenceChanged(PresenceEvent event);

private:
    void searchStep();
    void pageStep();
    void nameStep();
    void idleSteps();
    void heartbeatStep();
    void showLostLink();
    void loseLink();
    bool parsePending() const;
    void checkCompletion();
    uint8_t nextPageToRequest(uint8_t page);
    void identify(const uint8_t *payload, int n);
    void dispatch(const uint8_t *payload, int n);

    PollHost &host_;
    ProcessorSession &p_;
    DeviceIo *watched_ = nullptr;  // the device whose hot-plug notification is heard
    int openWait_ = 0;
    // Where the last fruitless parse step left the receive buffer: nothing to parse until it changes.
    uint16_t stalledPos_ = 0;
    uint16_t stalledCount_ = 0;
    // The mismatch box was shown for the processor now attached; cleared when nothing can be opened.
    bool mismatchShown_ = false;
    // The last parameter page was read on the previous tick: its reply should have completed the download.
    bool completionDue_ = false;
    // Pages whose reply arrived during the current download.
    bool pageSeen_[55] = {};
    int pageRetries_ = 0;
};
