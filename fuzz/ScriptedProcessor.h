// A processor for the widget-free fuzz targets: answers each request from its own memory, and lets the
// fuzzer's bytes choose, read by read, what actually arrives: the answer, nothing, a failure, garbage, a
// damaged frame, a stray reply, an unplug. Every report written to it is checked as a well-formed frame.
#pragma once

#include "DeviceIo.h"
#include "FuzzInput.h"
#include "ParamStore.h"
#include "SceneNames.h"

#include <cstring>
#include <functional>
#include <initializer_list>
#include <vector>

class ScriptedProcessor : public DeviceIo
{
public:
    // A payload or a report: at most one report's bytes, held in place (no allocation per frame).
    struct Frame {
        uint8_t n = 0;
        uint8_t b[REPORT_SIZE];

        Frame() = default;
        FUZZ_UNTRACED Frame(std::initializer_list<uint8_t> bytes) { append(bytes); }
        FUZZ_UNTRACED Frame(const uint8_t *p, int length) { append(p, length); }
        FUZZ_UNTRACED Frame &append(const uint8_t *p, int length)
        {
            std::memcpy(b + n, p, size_t(length));
            n = uint8_t(n + length);
            return *this;
        }
        FUZZ_UNTRACED Frame &append(std::initializer_list<uint8_t> bytes)
        {
            for (uint8_t v : bytes) b[n++] = v;
            return *this;
        }
        // Zeros up to length.
        FUZZ_UNTRACED Frame &pad(int length)
        {
            std::memset(b + n, 0, size_t(length - n));
            n = uint8_t(length);
            return *this;
        }
        FUZZ_UNTRACED bool equals(const uint8_t *p, int length) const { return n == length && std::memcmp(b, p, size_t(n)) == 0; }
    };

    ScriptedProcessor();
    // The processor as just plugged in: factory memory and stored scenes, nothing queued, logged or pending.
    // What the caller set up (the limits, the checks, logging) stays.
    void restart();
    // The fuzzer's choices; none (or used up) means a healthy processor that answers everything, or with
    // silentWhenDone one that stops answering once the choices are used up.
    void script(FuzzInput *in)
    {
        in_ = in;
        if (!in) unpluggedOpens_ = 0, failNextWrite_ = false, removed_ = false, absentTicks_ = 0;
    }
    bool healthy() const { return !in_ || in_->empty(); }

    bool open(uint16_t vendorId, uint16_t productId) override;
    int write(const uint8_t *report, size_t length) override;
    int read(uint8_t *buf, size_t length, int timeoutMs) override;
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }
    // Hot-plug notification, where the target turns it on: an unplug is heard as the open device going
    // away, and the processor is heard arriving again a few ticks later.
    bool presence = false;
    bool watchPresence(std::function<void(PresenceEvent)> onChange) override
    {
        onPresence_ = std::move(onChange);
        return presence;
    }
    // The event loop's turn between two ticks: tells the watcher what happened to the device meanwhile;
    // true with the event when there was one.
    bool deliverPresence(PresenceEvent *told);

    // The processor's parameter memory (device encoding) and the pages of its stored scenes.
    ParamBlock memory;
    uint8_t scenes[SCENE_COUNT][IMAGE_SIZE];
    // What crossed the link, in order: the payload of every frame written, and the payload of every
    // report read that holds a well-framed reply at its start (whatever produced it).
    struct Event {
        bool written;
        bool drained;  // read without waiting: the program drops what such reads bring
        Frame payload;
    };
    std::vector<Event> log;  // kept allocated from one restart to the next
    bool logging = true;
    // Told every payload written (before it is answered).
    std::function<void(const uint8_t *, int)> onWrite;
    // A read or write failed (the link is down from the program's side).
    bool failed = false;
    // The longest wait a read may ask for.
    int maxWaitMs = 100;
    bool silentWhenDone = false;

    // The factory image in device encoding.
    static ParamBlock factoryImage();

private:
    // Puts into `report`, after the room for the frame's head, what a processor answers to a payload; false
    // when it says nothing.
    bool answerTo(const uint8_t *payload, size_t n, Frame &report) const;
    // Frames the answer in `report` as a reply at the start of a 32-byte input report.
    static void seal(Frame &report, uint8_t seq);
    int deliver(const Frame &report, uint8_t *buf, size_t length, int timeoutMs);
    // The queue of answers not yet read: a ring that only grows. An answer is built in place in the slot
    // after the last one, and joins the queue when it is sealed.
    Frame &nextSlot();
    Frame &front() { return answers_[head_]; }
    void popFront();

    FuzzInput *in_ = nullptr;
    bool open_ = false;
    int unpluggedOpens_ = 0;
    std::function<void(PresenceEvent)> onPresence_;
    bool removed_ = false;  // an unplug not yet heard
    int absentTicks_ = 0;   // ticks until it is heard arriving again
    bool failNextWrite_ = false;
    uint8_t seq_ = 0;
    std::vector<Frame> answers_;
    size_t head_ = 0, queued_ = 0;
};
