// The simulated processor: checks and applies output reports and queues the replies it would send.
#include "SimProcessor.h"

#include "Framing.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr uint8_t CLASS_SET = 5;
constexpr uint8_t CLASS_REQUEST = 6;
constexpr int LAST_PAGE = PAGE_COUNT - 1;
constexpr uint8_t MAX_NAME_CODE = 20;
constexpr int VERSION_BYTES = 4;

uint16_t u16(const uint8_t *p) { return uint16_t(p[0] | (p[1] << 8)); }
bool validScene(int k) { return k >= 1 && k <= SimProcessor::SCENE_COUNT; }
bool validFreq(uint16_t f) { return f >= 20 && f <= 20000; }

}  // namespace

SimProcessor::SimProcessor()
{
    std::memset(&mem_, 0, sizeof mem_);
    mem_.FirmwareVersion = DEFAULT_FIRMWARE_VERSION;
    ident_.fill(0);
    std::memcpy(ident_.data(), "NV_PRC52", 8);
    restoreFactory();
}

// ---- memory ------------------------------------------------------------------------------------

QByteArray SimProcessor::memoryBytes() const
{
    return QByteArray(reinterpret_cast<const char *>(mem_.bytes()), IMAGE_SIZE);
}

QByteArray SimProcessor::factoryMemory() const
{
    ParamBlock b;
    std::memset(&b, 0, sizeof b);
    b.setDefaults();
    b.MasterVol = 600;
    b.InputSource = 0;
    for (auto &row : b.EqGain)
        for (auto &g : row) g = uint16_t(g + GAIN_DEVICE_OFFSET);
    b.FirmwareVersion = mem_.FirmwareVersion;
    return QByteArray(reinterpret_cast<const char *>(b.bytes()), IMAGE_SIZE);
}

void SimProcessor::setFirmwareVersion(uint32_t version) { mem_.FirmwareVersion = version; }

void SimProcessor::restoreFactory()
{
    const QByteArray f = factoryMemory();
    std::memcpy(mem_.bytes(), f.constData(), IMAGE_SIZE);
    for (Slot &s : slots_) emptySlot(s);
}

void SimProcessor::emptySlot(Slot &s)
{
    const QByteArray f = factoryMemory();
    std::memcpy(s.data.data(), f.constData(), IMAGE_SIZE);
    s.name.fill(0xFF);
    s.used = false;
}

void SimProcessor::writeMemoryPage(int page, const uint8_t *data)
{
    // The firmware version (bytes 0..3) belongs to the processor, not to the parameters.
    const int from = page == 0 ? VERSION_BYTES : 0;
    std::memcpy(mem_.page(page) + from, data + from, size_t(PAGE_SIZE - from));
}

// ---- scenes ------------------------------------------------------------------------------------

uint8_t *SimProcessor::scene(int k) { return validScene(k) ? slots_[k - 1].data.data() : nullptr; }
const uint8_t *SimProcessor::scene(int k) const { return validScene(k) ? slots_[k - 1].data.data() : nullptr; }

QByteArray SimProcessor::sceneName(int k) const
{
    if (!validScene(k)) return QByteArray();
    return QByteArray(reinterpret_cast<const char *>(slots_[k - 1].name.data()), NAME_SIZE);
}

bool SimProcessor::sceneUsed(int k) const { return validScene(k) && slots_[k - 1].used; }

void SimProcessor::setSceneName(int k, const QByteArray &name)
{
    if (!validScene(k)) return;
    Slot &s = slots_[k - 1];
    s.name.fill(0);
    std::memcpy(s.name.data(), name.constData(), size_t(std::min<int>(name.size(), NAME_SIZE)));
    s.used = true;
}

void SimProcessor::clearScene(int k)
{
    if (validScene(k)) emptySlot(slots_[k - 1]);
}

// ---- identification ----------------------------------------------------------------------------

void SimProcessor::setIdentName(const QByteArray &raw)
{
    ident_.fill(0);
    std::memcpy(ident_.data(), raw.constData(), size_t(std::min<int>(raw.size(), NAME_SIZE)));
}

QByteArray SimProcessor::identName() const
{
    return QByteArray(reinterpret_cast<const char *>(ident_.data()), NAME_SIZE);
}

// ---- firmware ----------------------------------------------------------------------------------

QByteArray SimProcessor::firmwareImage() const
{
    QByteArray img;
    for (uint16_t i = 0; i < FINAL_FIRMWARE_BLOCK; ++i) {
        const auto it = fwBlocks_.find(i);
        if (it == fwBlocks_.end()) break;
        img.append(reinterpret_cast<const char *>(it->second.data()), FIRMWARE_BLOCK_SIZE);
    }
    if (firmwareComplete())
        img.append(reinterpret_cast<const char *>(fwFinal_.data()), FIRMWARE_BLOCK_SIZE);
    return img;
}

bool SimProcessor::firmwareComplete() const
{
    if (!fwFinalReceived_) return false;
    // Keys are sorted: contiguous from 0 exactly when the last key equals the count - 1.
    return fwBlocks_.empty() || fwBlocks_.rbegin()->first == fwBlocks_.size() - 1;
}

bool SimProcessor::firmwareBlock(const uint8_t *p)
{
    const uint16_t index = uint16_t((p[2] << 8) | p[3]);
    if (fwFinalReceived_) {  // a new upgrade begins
        fwBlocks_.clear();
        fwFinalReceived_ = false;
    }
    fwLog_.push_back(index);
    if (index == FINAL_FIRMWARE_BLOCK) {
        std::memcpy(fwFinal_.data(), p + 4, FIRMWARE_BLOCK_SIZE);
        fwFinalReceived_ = true;
        if (firmwareComplete()) ++fwUpgrades_;
        replies_.clear();  // the processor restarts into the new firmware
        return true;
    }
    std::array<uint8_t, FIRMWARE_BLOCK_SIZE> block;
    std::memcpy(block.data(), p + 4, FIRMWARE_BLOCK_SIZE);
    fwBlocks_[index] = block;
    if (!consumeDrop(fwAckDrops_, index)) {
        const uint8_t ack[] = {CLASS_SET, 0xB0, p[2], p[3]};
        queueReply(ack, sizeof ack);
    }
    return true;
}

// ---- reception ---------------------------------------------------------------------------------

bool SimProcessor::framePayload(const uint8_t report[32], QByteArray *payload, const char **why)
{
    const char *dummy = nullptr;
    const char *&reason = why ? *why : dummy;
    if (report[0] != 0x00) { reason = "report id"; return false; }
    if (report[1] != 0x20 || report[2] != 0xFA || report[3] != 0xA2) { reason = "header"; return false; }
    const int n = report[5];
    if (n < 1 || n > MAX_PAYLOAD) { reason = "length"; return false; }
    unsigned sum = 0xFA + 0xA2 + report[4] + unsigned(n);
    for (int i = 0; i < n; ++i) sum += report[6 + i];
    if (report[6 + n] != uint8_t(sum & 0xFF)) { reason = "checksum"; return false; }
    if (report[7 + n] != 0xF5) { reason = "trailer"; return false; }
    if (payload) *payload = QByteArray(reinterpret_cast<const char *>(report + 6), n);
    return true;
}

void SimProcessor::receive(const uint8_t report[32])
{
    Report r;
    std::memcpy(r.data(), report, r.size());
    log_.push_back(r);
    QByteArray payload;
    const char *why = "";
    if (!framePayload(r.data(), &payload, &why)) {
        reject(why);
        return;
    }
    apply(reinterpret_cast<const uint8_t *>(payload.constData()), payload.size());
}

void SimProcessor::reject(const char *why)
{
    ++rejected_;
    rejectReason_ = why;
}

void SimProcessor::apply(const uint8_t *p, int n)
{
    if (n < 2) {
        reject("payload too short");
        return;
    }
    bool ok = false;
    if (p[0] == CLASS_SET)
        ok = applySet(p, n);
    else if (p[0] == CLASS_REQUEST)
        ok = applyRequest(p, n);
    else
        rejectReason_ = "unknown class";
    if (!ok) ++rejected_;  // the handler has set rejectReason_
}

// Each case checks the exact length and every index and value, then acts. Returns false on rejection
// (rejectReason_ says why).
bool SimProcessor::applySet(const uint8_t *p, int n)
{
    const uint8_t code = p[1];
    auto need = [&](int len) {
        if (n == len) return true;
        rejectReason_ = "wrong length for command";
        return false;
    };
    auto check = [&](bool cond, const char *why) {
        if (!cond) rejectReason_ = why;
        return cond;
    };
    const uint8_t ch = n > 2 ? p[2] : 0;
    switch (code) {
    case 0x01:  // factory reset
        if (!need(3) || !check(p[2] == 0x01, "reset argument")) return false;
        restoreFactory();
        return true;
    case 0x02:
        if (!need(3) || !check(p[2] <= 2, "input source")) return false;
        mem_.InputSource = p[2];
        return true;
    case 0x04:
        if (!need(5) || !check(ch < CH_COUNT, "channel") || !check(u16(p + 3) <= 600, "volume")) return false;
        mem_.ChVol[ch] = u16(p + 3);
        return true;
    case 0x05:
        if (!need(4) || !check(ch < CH_COUNT, "channel") || !check(p[3] <= 1, "mute")) return false;
        mem_.ChMute[ch] = p[3];
        return true;
    case 0x06:
    case 0x07: {
        if (!need(8) || !check(ch < CH_COUNT, "channel") || !check(p[3] <= 2, "filter type")
            || !check(validFreq(u16(p + 4)), "filter frequency") || !check(p[6] <= 7, "filter slope")
            || !check(p[7] <= 1, "filter bypass"))
            return false;
        const bool hp = code == 0x06;
        (hp ? mem_.HpfType : mem_.LpfType)[ch] = p[3];
        (hp ? mem_.HpfFreq : mem_.LpfFreq)[ch] = u16(p + 4);
        (hp ? mem_.HpfSlope : mem_.LpfSlope)[ch] = p[6];
        (hp ? mem_.HpfBypass : mem_.LpfBypass)[ch] = p[7];
        return true;
    }
    case 0x08: {
        if (!need(9) || !check(ch < CH_COUNT, "channel") || !check(p[3] < BAND_COUNT, "band")
            || !check(validFreq(u16(p + 4)), "band frequency")
            || !check(u16(p + 6) >= 120 && u16(p + 6) <= 360, "band gain")
            || !check(p[8] >= 4 && p[8] <= 100, "band Q"))
            return false;
        const uint8_t b = p[3];
        mem_.EqFreq[ch][b] = u16(p + 4);
        mem_.EqGain[ch][b] = u16(p + 6);
        mem_.EqQ[ch][b] = p[8];
        return true;
    }
    case 0x09:
        if (!need(5) || !check(ch < CH_COUNT, "channel") || !check(u16(p + 3) <= 1500, "delay")) return false;
        mem_.ChDelay[ch] = u16(p + 3);
        return true;
    case 0x0A:
    case 0x0B:
        if (!need(4) || !check(ch < CH_COUNT, "channel") || !check(p[3] <= 1, "switch value")) return false;
        (code == 0x0A ? mem_.ChPhase : mem_.EqBypass)[ch] = p[3];
        return true;
    case 0x0D:
        if (!need(4) || !check(u16(p + 2) <= 600, "master volume")) return false;
        mem_.MasterVol = u16(p + 2);
        return true;
    case 0x0E: {
        if (!need(19) || !check(validScene(p[2]), "scene")) return false;
        Slot &s = slots_[p[2] - 1];
        std::memcpy(s.data.data(), mem_.bytes(), IMAGE_SIZE);
        std::memcpy(s.name.data(), p + 3, NAME_SIZE);
        s.used = true;
        return true;
    }
    case 0x0F: {
        if (!need(3) || !check(validScene(p[2]), "scene")) return false;
        const Slot &s = slots_[p[2] - 1];
        if (s.used)  // an empty slot has nothing to recall
            std::memcpy(mem_.bytes() + VERSION_BYTES, s.data.data() + VERSION_BYTES, IMAGE_SIZE - VERSION_BYTES);
        return true;
    }
    case 0x11:
        if (!need(3) || !check(validScene(p[2]), "scene")) return false;
        emptySlot(slots_[p[2] - 1]);
        return true;
    case 0x13:
        if (!need(4) || !check(p[2] <= 6, "noise gate level") || !check(p[3] == (p[2] ? 1 : 0), "noise gate on"))
            return false;
        mem_.NoiseGate = p[2];
        return true;
    case 0x15: {
        if (!need(24) || !check(validScene(p[2]), "scene") || !check(p[3] <= LAST_PAGE, "page")) return false;
        Slot &s = slots_[p[2] - 1];
        std::memcpy(s.data.data() + p[3] * PAGE_SIZE, p + 4, PAGE_SIZE);
        s.used = true;
        if (p[3] < LAST_PAGE && !consumeDrop(sceneAckDrops_, p[2] * 100 + p[3])) {
            const uint8_t ack[] = {CLASS_SET, 0x15, p[2], p[3]};
            queueReply(ack, sizeof ack);
        }
        return true;
    }
    case 0x17:
        if (!need(2 + CH_COUNT)) return false;
        for (int c = 0; c < CH_COUNT; ++c)
            if (!check(p[2 + c] <= MAX_NAME_CODE, "channel name code")) return false;
        std::memcpy(mem_.ChName, p + 2, CH_COUNT);
        return true;
    case 0x41:
        if (!need(23) || !check(p[2] <= LAST_PAGE, "page")) return false;
        writeMemoryPage(p[2], p + 3);
        if (p[2] < LAST_PAGE && !consumeDrop(pageAckDrops_, p[2])) {
            const uint8_t ack[] = {CLASS_SET, 0x41, p[2]};
            queueReply(ack, sizeof ack);
        }
        return true;
    case 0xB0:
        if (!need(4 + FIRMWARE_BLOCK_SIZE)) return false;
        return firmwareBlock(p);
    case 0xC1:
        if (!need(3) || !check(p[2] == 0x01, "close argument")) return false;
        ++closeNotices_;
        return true;
    default:
        rejectReason_ = "unknown set command";
        return false;
    }
}

bool SimProcessor::applyRequest(const uint8_t *p, int n)
{
    uint8_t out[MAX_PAYLOAD];
    switch (p[1]) {
    case 0x00:  // heartbeat
        if (n != 2) break;
        out[0] = CLASS_REQUEST;
        out[1] = 0x00;
        queueReply(out, 2);
        return true;
    case 0x10:
        if (n != 3 || !validScene(p[2])) break;
        out[0] = 0x10;
        out[1] = p[2];
        std::memcpy(out + 2, slots_[p[2] - 1].name.data(), NAME_SIZE);
        queueReply(out, 2 + NAME_SIZE);
        return true;
    case 0x15:
        if (n != 4 || !validScene(p[2]) || p[3] > LAST_PAGE) break;
        out[0] = CLASS_REQUEST;
        out[1] = 0x15;
        out[2] = p[2];
        out[3] = p[3];
        std::memcpy(out + 4, slots_[p[2] - 1].data.data() + p[3] * PAGE_SIZE, PAGE_SIZE);
        queueReply(out, 4 + PAGE_SIZE);
        return true;
    case 0x16:
        if (n != 2) break;
        out[0] = 0x16;
        std::memcpy(out + 1, ident_.data(), NAME_SIZE);
        queueReply(out, 1 + NAME_SIZE);
        return true;
    case 0xAA:
        if (n != 3 || p[2] > LAST_PAGE) break;
        out[0] = 0xAA;
        out[1] = p[2];
        std::memcpy(out + 2, mem_.page(p[2]), PAGE_SIZE);
        queueReply(out, 2 + PAGE_SIZE);
        return true;
    default:
        rejectReason_ = "unknown request";
        return false;
    }
    rejectReason_ = "bad request arguments";
    return false;
}

bool SimProcessor::consumeDrop(std::map<int, int> &drops, int key)
{
    const auto it = drops.find(key);
    if (it == drops.end() || it->second <= 0) return false;
    if (--it->second == 0) drops.erase(it);
    return true;
}

void SimProcessor::dropAckForFirmwareBlock(uint16_t index, int times) { fwAckDrops_[index] = times; }
void SimProcessor::dropAckForPage(int page, int times) { pageAckDrops_[page] = times; }
void SimProcessor::dropAckForScenePage(int k, int page, int times) { sceneAckDrops_[k * 100 + page] = times; }

// ---- replies -----------------------------------------------------------------------------------

void SimProcessor::queueReply(const uint8_t *payload, int n)
{
    if (n < 1 || n > MAX_PAYLOAD) return;
    if (silent_) return;
    if (dropNext_ > 0) {
        --dropNext_;
        return;
    }
    Report r = {};
    r[0] = 0xFA;
    r[1] = 0x2A;
    r[2] = replySeq_++;
    r[3] = uint8_t(n);
    unsigned sum = 0xFA + 0x2A + r[2] + unsigned(n);
    for (int i = 0; i < n; ++i) {
        r[4 + i] = payload[i];
        sum += payload[i];
    }
    r[4 + n] = uint8_t(sum & 0xFF);
    r[5 + n] = 0xF5;
    if (corruptNext_) {
        r[4 + n] = uint8_t(r[4 + n] + 1);
        corruptNext_ = false;
    }
    queueReport(r);
}

void SimProcessor::queueReport(const Report &r)
{
    replies_.push_back(r);
    while (replies_.size() > MAX_QUEUED_REPLIES) replies_.pop_front();
}

bool SimProcessor::takeReply(uint8_t out[32])
{
    if (replies_.empty()) return false;
    std::memcpy(out, replies_.front().data(), 32);
    replies_.pop_front();
    return true;
}

void SimProcessor::pushUnsolicitedInputSource(uint8_t source)
{
    mem_.InputSource = source;
    const uint8_t p[] = {0x02, source};
    queueReply(p, sizeof p);
}

void SimProcessor::pushUnsolicitedMasterVolume(uint16_t vol)
{
    mem_.MasterVol = vol;
    const uint8_t p[] = {0x0D, uint8_t(vol & 0xFF), uint8_t(vol >> 8)};
    queueReply(p, sizeof p);
}

void SimProcessor::pushReply(const uint8_t *payload, int n) { queueReply(payload, n); }

void SimProcessor::pushRawReply(const QByteArray &bytes)
{
    Report r = {};
    std::memcpy(r.data(), bytes.constData(), size_t(std::min<int>(bytes.size(), int(r.size()))));
    queueReport(r);
}

// ---- log and faults ----------------------------------------------------------------------------

std::vector<QByteArray> SimProcessor::payloads() const
{
    std::vector<QByteArray> out;
    QByteArray p;
    for (const Report &r : log_)
        if (framePayload(r.data(), &p)) out.push_back(p);
    return out;
}

QByteArray SimProcessor::lastPayload() const
{
    QByteArray p;
    for (auto it = log_.rbegin(); it != log_.rend(); ++it)
        if (framePayload(it->data(), &p)) return p;
    return QByteArray();
}

int SimProcessor::countPayloads(uint8_t cls, uint8_t code) const
{
    int count = 0;
    for (const QByteArray &p : payloads())
        if (p.size() >= 2 && uint8_t(p[0]) == cls && uint8_t(p[1]) == code) ++count;
    return count;
}

void SimProcessor::clearLog()
{
    log_.clear();
    rejected_ = 0;
    rejectReason_ = "";
    fwLog_.clear();
}

void SimProcessor::setPlugged(bool plugged)
{
    if (plugged_ && !plugged) {
        ++plugGeneration_;
        replies_.clear();
    }
    plugged_ = plugged;
}
