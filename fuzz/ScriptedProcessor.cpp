// The scripted processor: request checks, answers, and the faults the fuzzer picks. None of it is the code
// under test, so none of it feeds the fuzzer's coverage: how the program met a fault shows in its own code.
#include "ScriptedProcessor.h"

#include "SceneFile.h"
#include "Transport.h"

ScriptedProcessor::ScriptedProcessor()
    : answers_(16)
{
    restart();
}

FUZZ_UNTRACED void ScriptedProcessor::restart()
{
    static const ParamBlock factory = factoryImage();
    memory = factory;
    for (int k = 0; k < SCENE_COUNT; ++k) {
        std::memcpy(scenes[k], memory.bytes(), IMAGE_SIZE);
        scenes[k][4] = uint8_t(k);  // every scene a little different
    }
    log.clear();
    failed = false;
    in_ = nullptr;
    open_ = false;
    unpluggedOpens_ = 0;
    removed_ = false;
    absentTicks_ = 0;
    failNextWrite_ = false;
    seq_ = 0;
    head_ = queued_ = 0;
}

ParamBlock ScriptedProcessor::factoryImage()
{
    ParamBlock b;
    std::memset(&b, 0, sizeof b);
    b.setDefaults();
    b.MasterVol = 600;
    b.FirmwareVersion = 4660;
    const QByteArray file = SceneFile::singleImage(b);  // gains in the processor's encoding
    std::memcpy(&b, file.constData(), sizeof b);
    return b;
}

bool ScriptedProcessor::open(uint16_t vendorId, uint16_t productId)
{
    FUZZ_CHECK(vendorId == PROCESSOR_VID && productId == PROCESSOR_PID);
    if (unpluggedOpens_ > 0) {
        --unpluggedOpens_;
        return false;
    }
    head_ = queued_ = 0;
    return open_ = true;
}

FUZZ_UNTRACED int ScriptedProcessor::write(const uint8_t *r, size_t length)
{
    FUZZ_CHECK(open_);
    FUZZ_CHECK(length == REPORT_SIZE);
    FUZZ_CHECK(r[0] == 0x00 && r[1] == 0x20 && r[2] == 0xFA && r[3] == 0xA2);
    const int n = r[5];
    FUZZ_CHECK(n >= 1 && n <= 24);
    unsigned sum = 0;
    for (int i = 2; i < 6 + n; ++i) sum += r[i];
    FUZZ_CHECK(r[6 + n] == uint8_t(sum) && r[7 + n] == 0xF5);
    const uint8_t *payload = r + 6;
    if (onWrite) onWrite(payload, n);
    if (logging) log.push_back({true, false, Frame(payload, n)});
    if (failNextWrite_) {
        failNextWrite_ = false;
        failed = true;
        open_ = false;
        return -1;
    }
    Frame &slot = nextSlot();
    if (answerTo(payload, size_t(n), slot)) {
        seal(slot, seq_++);
        ++queued_;
    }
    return int(length);
}

FUZZ_UNTRACED ScriptedProcessor::Frame &ScriptedProcessor::nextSlot()
{
    if (queued_ == answers_.size()) {  // full: twice the room, the oldest first
        std::vector<Frame> grown(answers_.size() * 2);
        for (size_t i = 0; i < queued_; ++i) grown[i] = answers_[(head_ + i) & (answers_.size() - 1)];
        answers_.swap(grown);
        head_ = 0;
    }
    return answers_[(head_ + queued_) & (answers_.size() - 1)];  // the room is a power of two
}

FUZZ_UNTRACED void ScriptedProcessor::popFront()
{
    head_ = (head_ + 1) & (answers_.size() - 1);
    --queued_;
}

FUZZ_UNTRACED bool ScriptedProcessor::answerTo(const uint8_t *p, size_t n, Frame &r) const
{
    r.n = 4;
    if (n >= 2 && p[0] == 6 && p[1] == 0x16) r.append({0x16, 'N', 'V', '_', 'P', 'R', 'C', '5', '2'}).pad(4 + 17);
    else if (n >= 3 && p[0] == 6 && p[1] == 0xAA && p[2] < PAGE_COUNT)
        r.append({0xAA, p[2]}).append(memory.page(p[2]), PAGE_SIZE);
    else if (n >= 3 && p[0] == 6 && p[1] == 0x10 && p[2] >= 1 && p[2] <= SCENE_COUNT)
        r.append({0x10, p[2], 'S', 'c', 'e', 'n', 'e', uint8_t('0' + p[2])}).pad(4 + 18);
    else if (n >= 4 && p[0] == 6 && p[1] == 0x15 && p[2] >= 1 && p[2] <= SCENE_COUNT && p[3] < PAGE_COUNT)
        r.append({6, 0x15, p[2], p[3]}).append(scenes[p[2] - 1] + p[3] * PAGE_SIZE, PAGE_SIZE);
    else if (n >= 2 && p[0] == 6 && p[1] == 0x00) r.append({6, 0x00});  // heartbeat
    // Acknowledgements echo class, code and index; the last page of a transfer is not acknowledged.
    else if (n >= 3 && p[0] == 5 && p[1] == 0x41 && p[2] < PAGE_COUNT - 1) r.append({5, 0x41, p[2]});
    else if (n >= 4 && p[0] == 5 && p[1] == 0x15 && p[3] < PAGE_COUNT - 1) r.append({5, 0x15, p[2], p[3]});
    else if (n >= 4 && p[0] == 5 && p[1] == 0xB0 && (p[2] != 0xFF || p[3] != 0xFF)) r.append({5, 0xB0, p[2], p[3]});
    return r.n > 4;
}

FUZZ_UNTRACED void ScriptedProcessor::seal(Frame &r, uint8_t seq)
{
    const uint8_t length = uint8_t(r.n - 4);
    r.b[0] = 0xFA;
    r.b[1] = 0x2A;
    r.b[2] = seq;
    r.b[3] = length;
    unsigned sum = 0;
    for (int i = 0; i < 4 + length; ++i) sum += r.b[i];
    r.b[r.n++] = uint8_t(sum);
    r.b[r.n++] = 0xF5;
    r.pad(REPORT_SIZE);
}

FUZZ_UNTRACED int ScriptedProcessor::deliver(const Frame &report, uint8_t *buf, size_t length, int timeoutMs)
{
    const size_t n = report.n < length ? report.n : length;
    if (n > 0) std::memcpy(buf, report.b, n);
    const uint8_t *r = buf;
    if (logging && n >= 7 && r[0] == 0xFA && r[1] == 0x2A && r[3] >= 1 && 6u + r[3] <= n) {
        unsigned sum = 0;
        for (int i = 0; i < 4 + r[3]; ++i) sum += r[i];
        if (r[4 + r[3]] == uint8_t(sum) && r[5 + r[3]] == 0xF5) log.push_back({false, timeoutMs == 0, Frame(r + 4, r[3])});
    }
    return int(n);
}

FUZZ_UNTRACED bool ScriptedProcessor::deliverPresence(PresenceEvent *told)
{
    if (!onPresence_) return false;
    if (removed_) {
        removed_ = false;
        *told = PresenceEvent::Removed;
    } else if (absentTicks_ > 0 && --absentTicks_ == 0) {
        unpluggedOpens_ = 0;
        *told = PresenceEvent::Arrived;
    } else {
        return false;
    }
    onPresence_(*told);
    return true;
}

FUZZ_UNTRACED int ScriptedProcessor::read(uint8_t *buf, size_t length, int timeoutMs)
{
    FUZZ_CHECK(timeoutMs >= 0 && timeoutMs <= maxWaitMs);  // no read waits without bound
    FUZZ_CHECK(length >= 1 && length <= REPORT_SIZE);
    if (!open_) return -1;
    if (queued_ == 0) return 0;  // a processor speaks only when asked
    if (healthy()) {
        if (silentWhenDone && in_) return 0;
        const Frame &r = front();
        popFront();
        return deliver(r, buf, length, timeoutMs);
    }
    switch (in_->byte() % 10) {
    case 0: {  // the answer
        const Frame &r = front();
        popFront();
        return deliver(r, buf, length, timeoutMs);
    }
    case 1: return 0;  // late: it comes with a later read
    case 2:            // lost
        popFront();
        return 0;
    case 3: failed = true; return -1;
    case 4: {  // garbage of any length
        Frame junk;
        junk.n = uint8_t(in_->take(junk.b, in_->byte() % (REPORT_SIZE + 1)));
        return deliver(junk, buf, length, timeoutMs);
    }
    case 5: {  // the answer with one payload byte damaged: the checksum no longer holds
        Frame &r = front();
        popFront();
        const uint8_t flip = uint8_t(in_->byte() | 1);
        r.b[4 + in_->byte() % r.b[3]] ^= flip;
        return deliver(r, buf, length, timeoutMs);
    }
    case 6: {  // a well-framed stray: another page, scene page or acknowledgement, or a change made on the processor
        const uint8_t kind = in_->byte() % 7;
        const uint8_t a = in_->byte(), b = in_->byte();
        const Frame request[7] = {{6, 0xAA, uint8_t(a % 60)}, {6, 0x15, uint8_t(a % 11), uint8_t(b % 60)},
                                  {5, 0x41, a}, {5, 0x15, a, b}, {6, 0x10, uint8_t(a % 11)}, {5, 0xB0, a, b}, {6, 0x16}};
        Frame stray;
        if (!answerTo(request[kind].b, request[kind].n, stray))
            (a & 1) ? stray.append({0x02, b}) : stray.append({0x0D, a, b});
        if (kind == 6) stray.b[4 + 1 + a % 9] = b;  // another processor's name
        seal(stray, seq_++);
        return deliver(stray, buf, length, timeoutMs);
    }
    case 7: failNextWrite_ = true; return 0;
    case 8:  // unplugged for a few open attempts (or, where hot-plug is heard, a few dozen ticks)
        open_ = false;
        failed = true;
        unpluggedOpens_ = in_->byte() % 4;
        removed_ = presence;
        absentTicks_ = presence ? 20 * (unpluggedOpens_ + 1) : 0;
        return -1;
    default: {  // the processor's memory changes (another remote, a front panel)
        const uint16_t at = uint16_t(in_->word() % IMAGE_SIZE);
        memory.bytes()[at] = in_->byte();
        return 0;
    }
    }
}
