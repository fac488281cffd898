// A processor for the widget-free fuzz targets: answers each request from its own memory, and lets the
// fuzzer's bytes choose, read by read, what actually arrives: the answer, nothing, a failure, garbage, a
// damaged frame, a stray reply, an unplug. Every report written to it is checked as a well-formed frame.
#pragma once

#include "DeviceIo.h"
#include "FuzzInput.h"
#include "ParamStore.h"
#include "SceneNames.h"

#include <cstring>
#include <deque>
#include <functional>
#include <vector>

class ScriptedProcessor : public DeviceIo
{
public:
    using Bytes = std::vector<uint8_t>;

    ScriptedProcessor();
    // The fuzzer's choices; none (or used up) means a healthy processor that answers everything, or with
    // silentWhenDone one that stops answering once the choices are used up.
    void script(FuzzInput *in)
    {
        in_ = in;
        if (!in) unpluggedOpens_ = 0, failNextWrite_ = false;
    }
    bool healthy() const { return !in_ || in_->empty(); }

    bool open(uint16_t vendorId, uint16_t productId) override;
    int write(const uint8_t *report, size_t length) override;
    int read(uint8_t *buf, size_t length, int timeoutMs) override;
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }

    // The processor's parameter memory (device encoding) and its stored scenes.
    ParamBlock memory;
    uint8_t scenes[SCENE_COUNT][STORE_SIZE];
    // What crossed the link, in order: the payload of every frame written, and the payload of every
    // report read that holds a well-framed reply at its start (whatever produced it).
    struct Event {
        bool written;
        Bytes payload;
        bool drained;  // read without waiting: the program drops what such reads bring
    };
    std::vector<Event> log;
    bool logging = true;
    // Told every payload written (before it is answered).
    std::function<void(const uint8_t *, int)> onWrite;
    // A read or write failed (the link is down from the program's side).
    bool failed = false;
    // What a processor answers to a payload (empty when it says nothing).
    Bytes answerTo(const uint8_t *payload, size_t n) const;
    // A reply frame at the start of a 32-byte input report.
    static Bytes replyReport(const Bytes &payload, uint8_t seq);
    // The longest wait a read may ask for.
    int maxWaitMs = 100;
    bool silentWhenDone = false;

    // The factory image in device encoding.
    static ParamBlock factoryImage();

private:
    int deliver(const Bytes &report, uint8_t *buf, size_t length, int timeoutMs);

    FuzzInput *in_ = nullptr;
    bool open_ = false;
    int unpluggedOpens_ = 0;
    bool failNextWrite_ = false;
    uint8_t seq_ = 0;
    std::deque<Bytes> answers_;
};
