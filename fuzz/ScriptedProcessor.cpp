// The scripted processor: request checks, answers, and the faults the fuzzer picks.
#include "ScriptedProcessor.h"

#include "SceneFile.h"
#include "Transport.h"

#include <utility>

ScriptedProcessor::ScriptedProcessor()
    : memory(factoryImage())
{
    for (int k = 0; k < SCENE_COUNT; ++k) {
        std::memcpy(scenes[k], memory.bytes(), STORE_SIZE);
        scenes[k][4] = uint8_t(k);  // every scene a little different
    }
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
    answers_.clear();
    return open_ = true;
}

int ScriptedProcessor::write(const uint8_t *r, size_t length)
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
    if (logging) log.push_back({true, Bytes(payload, payload + n), false});
    if (failNextWrite_) {
        failNextWrite_ = false;
        failed = true;
        open_ = false;
        return -1;
    }
    const Bytes answer = answerTo(payload, size_t(n));
    if (!answer.empty()) answers_.push_back(replyReport(answer, seq_++));
    return int(length);
}

ScriptedProcessor::Bytes ScriptedProcessor::answerTo(const uint8_t *p, size_t n) const
{
    if (n >= 2 && p[0] == 6 && p[1] == 0x16) {
        Bytes a = {0x16, 'N', 'V', '_', 'P', 'R', 'C', '5', '2'};
        a.resize(17, 0x00);
        return a;
    }
    if (n >= 3 && p[0] == 6 && p[1] == 0xAA && p[2] < PAGE_COUNT) {
        Bytes a = {0xAA, p[2]};
        a.insert(a.end(), memory.page(p[2]), memory.page(p[2]) + PAGE_SIZE);
        return a;
    }
    if (n >= 3 && p[0] == 6 && p[1] == 0x10 && p[2] >= 1 && p[2] <= SCENE_COUNT) {
        Bytes a = {0x10, p[2], 'S', 'c', 'e', 'n', 'e', uint8_t('0' + p[2])};
        a.resize(18, 0x00);
        return a;
    }
    if (n >= 4 && p[0] == 6 && p[1] == 0x15 && p[2] >= 1 && p[2] <= SCENE_COUNT && p[3] < PAGE_COUNT) {
        Bytes a = {6, 0x15, p[2], p[3]};
        a.insert(a.end(), scenes[p[2] - 1] + p[3] * PAGE_SIZE, scenes[p[2] - 1] + (p[3] + 1) * PAGE_SIZE);
        return a;
    }
    if (n >= 2 && p[0] == 6 && p[1] == 0x00) return {6, 0x00};  // heartbeat
    // Acknowledgements echo class, code and index; the last page of a transfer is not acknowledged.
    if (n >= 3 && p[0] == 5 && p[1] == 0x41 && p[2] < PAGE_COUNT - 1) return {5, 0x41, p[2]};
    if (n >= 4 && p[0] == 5 && p[1] == 0x15 && p[3] < PAGE_COUNT - 1) return {5, 0x15, p[2], p[3]};
    if (n >= 4 && p[0] == 5 && p[1] == 0xB0 && (p[2] != 0xFF || p[3] != 0xFF)) return {5, 0xB0, p[2], p[3]};
    return {};
}

ScriptedProcessor::Bytes ScriptedProcessor::replyReport(const Bytes &payload, uint8_t seq)
{
    Bytes r(REPORT_SIZE, 0);
    const int n = int(payload.size());
    r[0] = 0xFA;
    r[1] = 0x2A;
    r[2] = seq;
    r[3] = uint8_t(n);
    unsigned sum = 0xFA + 0x2A + seq + unsigned(n);
    for (int i = 0; i < n; ++i) sum += r[4 + i] = payload[size_t(i)];
    r[4 + n] = uint8_t(sum);
    r[5 + n] = 0xF5;
    return r;
}

int ScriptedProcessor::deliver(const Bytes &report, uint8_t *buf, size_t length, int timeoutMs)
{
    const size_t n = report.size() < length ? report.size() : length;
    if (n > 0) std::memcpy(buf, report.data(), n);
    const uint8_t *r = buf;
    if (n >= 7 && r[0] == 0xFA && r[1] == 0x2A && r[3] >= 1 && 6u + r[3] <= n) {
        unsigned sum = 0;
        for (int i = 0; i < 4 + r[3]; ++i) sum += r[i];
        if (logging && r[4 + r[3]] == uint8_t(sum) && r[5 + r[3]] == 0xF5) log.push_back({false, Bytes(r + 4, r + 4 + r[3]), timeoutMs == 0});
    }
    return int(n);
}

int ScriptedProcessor::read(uint8_t *buf, size_t length, int timeoutMs)
{
    FUZZ_CHECK(timeoutMs >= 0 && timeoutMs <= maxWaitMs);  // no read waits without bound
    FUZZ_CHECK(length >= 1 && length <= REPORT_SIZE);
    if (!open_) return -1;
    if (answers_.empty()) return 0;  // a processor speaks only when asked
    if (healthy()) {
        if (silentWhenDone && in_) return 0;
        const Bytes r = std::move(answers_.front());
        answers_.pop_front();
        return deliver(r, buf, length, timeoutMs);
    }
    switch (in_->byte() % 10) {
    case 0: {  // the answer
        const Bytes r = std::move(answers_.front());
        answers_.pop_front();
        return deliver(r, buf, length, timeoutMs);
    }
    case 1: return 0;  // late: it comes with a later read
    case 2:            // lost
        answers_.pop_front();
        return 0;
    case 3: failed = true; return -1;
    case 4: {  // garbage of any length
        uint8_t junk[REPORT_SIZE] = {};
        const size_t n = in_->take(junk, in_->byte() % (REPORT_SIZE + 1));
        return deliver(Bytes(junk, junk + n), buf, length, timeoutMs);
    }
    case 5: {  // the answer with one payload byte damaged: the checksum no longer holds
        Bytes r = std::move(answers_.front());
        answers_.pop_front();
        const uint8_t flip = uint8_t(in_->byte() | 1);
        r[4 + in_->byte() % r[3]] ^= flip;
        return deliver(r, buf, length, timeoutMs);
    }
    case 6: {  // a well-framed stray: another page, scene page or acknowledgement, or a change made on the processor
        const uint8_t kind = in_->byte() % 7;
        const uint8_t a = in_->byte(), b = in_->byte();
        const Bytes request[7] = {{6, 0xAA, uint8_t(a % 60)}, {6, 0x15, uint8_t(a % 11), uint8_t(b % 60)},
                                  {5, 0x41, a}, {5, 0x15, a, b}, {6, 0x10, uint8_t(a % 11)}, {5, 0xB0, a, b}, {6, 0x16}};
        Bytes answer = answerTo(request[kind].data(), request[kind].size());
        if (kind == 6) answer[1 + a % 9] = b;  // another processor's name
        if (answer.empty()) answer = (a & 1) ? Bytes{0x02, b} : Bytes{0x0D, a, b};
        return deliver(replyReport(answer, seq_++), buf, length, timeoutMs);
    }
    case 7: failNextWrite_ = true; return 0;
    case 8:  // unplugged for a few open attempts
        open_ = false;
        failed = true;
        unpluggedOpens_ = in_->byte() % 4;
        return -1;
    default: {  // the processor's memory changes (another remote, a front panel)
        const uint16_t at = uint16_t(in_->word() % IMAGE_SIZE);
        memory.bytes()[at] = in_->byte();
        return 0;
    }
    }
}
