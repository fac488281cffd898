// The acknowledged transfers (a scene into live memory, the nine stored scenes out and in, a firmware image)
// against a scripted processor whose answers the fuzzer garbles and which falls silent when they run out. Every frame written carries the right
// item and bytes, the next item goes out only after the processor acknowledged the last one, tries stay
// within the bound, the result tells what happened, progress only grows, and fetched pages hold only what
// the processor sent.
#include "FirmwareImage.h"
#include "FirmwareTransfer.h"
#include "FuzzInput.h"
#include "LinkState.h"
#include "SceneTransfer.h"
#include "ScriptedProcessor.h"
#include "Transport.h"

#include <QByteArray>

#include <cstring>
#include <functional>

namespace {
using Bytes = ScriptedProcessor::Bytes;

// The items of one transfer: the frame of item i, whether it waits for an answer, and which answers count.
struct Plan {
    int count;
    std::function<Bytes(int)> frame;
    std::function<bool(int)> awaited;
    std::function<bool(const Bytes &, int)> answers;
};

// An acknowledgement echoes the command code and whatever part of the item's index it carries.
bool echoes(const Bytes &p, uint8_t code, const Bytes &index)
{
    if (p.size() < 2 || p[1] != code) return false;
    for (size_t i = 0; i < index.size() && 2 + i < p.size(); ++i)
        if (p[2 + i] != index[i]) return false;
    return true;
}

Bytes concat(Bytes head, const uint8_t *data, int n)
{
    head.insert(head.end(), data, data + n);
    return head;
}

// Walks what crossed the link against the plan.
void checkLog(const ScriptedProcessor &device, const Plan &plan, TransferResult result, int maxTries)
{
    int item = -1, tries = 0;
    bool answered = false;
    for (const auto &e : device.log) {
        if (!e.written) {
            if (!e.drained && item >= 0 && plan.answers(e.payload, item)) answered = true;
            continue;
        }
        if (item >= 0 && e.payload == plan.frame(item)) {
            FUZZ_CHECK(plan.awaited(item));  // an item that is not awaited goes out once
            FUZZ_CHECK(++tries <= maxTries);
        } else {
            FUZZ_CHECK(item + 1 < plan.count && e.payload == plan.frame(item + 1));
            FUZZ_CHECK(item < 0 || !plan.awaited(item) || answered);  // no advance without the answer
            ++item;
            tries = 1;
        }
        answered = false;
    }
    if (result == TransferResult::Ok) FUZZ_CHECK(item == plan.count - 1 && (!plan.awaited(item) || answered));
    if (result == TransferResult::NoAnswer) FUZZ_CHECK(tries == maxTries && !answered);
    if (result == TransferResult::LinkLost) FUZZ_CHECK(device.failed);
}

uint8_t Scenes[SCENE_COUNT][STORE_SIZE];
constexpr uint8_t UNTOUCHED = 0xA5;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput in(data, size);
    const uint8_t how = in.byte();
    const int maxTries = 1 + (how >> 2) % 4;
    Pace = TransferPace();
    Pace.maxTries = maxTries;
    Pace.readMs = 100000;  // only the fuzzer's choices end a read
    Pace.maxItemMs = 1 << 30;

    // The processor falls silent when the choices run out: a transfer then ends after its tries, and only
    // inputs that answer every item reach the end (the seeds have one such input per transfer).
    ScriptedProcessor device;
    device.maxWaitMs = Pace.readMs;
    device.silentWhenDone = true;
    ResetLinkState();
    Port.setDevice(&device);
    Port.Rx.clear();
    Port.onWriteFailed = nullptr;
    Port.open();
    Link.Connected = 1;
    Link.LinkStatus = 2;
    device.script(&in);

    int last = 0;
    const auto progress = [&last](int v) {
        FUZZ_CHECK(v >= last && v <= 100);
        last = v;
    };
    const auto pageIndex = [](int i) { return Bytes{uint8_t(i / PAGE_COUNT + 1), uint8_t(i % PAGE_COUNT)}; };
    const auto notLastPage = [](int i) { return i % PAGE_COUNT != PAGE_COUNT - 1; };
    TransferResult result;
    Plan plan;
    static FirmwareImage image;  // one buffer for all runs: a fresh megabyte each run costs more than the run
    const uint8_t *liveImage = device.scenes[3];
    switch (how % 4) {
    case 0: {  // a single scene into the live memory
        plan = {PAGE_COUNT, [&](int p) { return concat({5, 0x41, uint8_t(p)}, liveImage + p * PAGE_SIZE, PAGE_SIZE); },
                notLastPage, [](const Bytes &a, int p) { return echoes(a, 0x41, {uint8_t(p)}); }};
        result = SceneTransfer::sendParamImage(liveImage, progress);
        break;
    }
    case 1: {  // the nine stored scenes out of the processor
        std::memset(Scenes, UNTOUCHED, sizeof Scenes);
        plan = {SCENE_COUNT * PAGE_COUNT, [&](int i) { return concat({6, 0x15}, pageIndex(i).data(), 2); },
                [](int) { return true; },
                [&](const Bytes &a, int i) { return a.size() >= 4 + PAGE_SIZE && echoes(a, 0x15, pageIndex(i)); }};
        result = SceneTransfer::fetchScenes(Scenes, progress);
        // Pages hold what the processor sent, wherever its reply said; nothing else is touched.
        uint8_t expected[SCENE_COUNT][STORE_SIZE];
        std::memset(expected, UNTOUCHED, sizeof expected);
        for (const auto &e : device.log) {
            const Bytes &a = e.payload;
            if (e.written || e.drained || a.size() < 24 || a[1] != 0x15 || a[2] < 1 || a[2] > SCENE_COUNT || a[3] >= PAGE_COUNT)
                continue;
            std::memcpy(&expected[a[2] - 1][a[3] * PAGE_SIZE], a.data() + 4, PAGE_SIZE);
        }
        FUZZ_CHECK(std::memcmp(expected, Scenes, sizeof Scenes) == 0);
        if (result == TransferResult::Ok)
            for (int k = 0; k < SCENE_COUNT; ++k) FUZZ_CHECK(std::memcmp(Scenes[k], device.scenes[k], IMAGE_SIZE) == 0);
        break;
    }
    case 2: {  // the nine stored scenes into the processor
        for (int k = 0; k < SCENE_COUNT; ++k)
            for (int i = 0; i < STORE_SIZE; ++i) Scenes[k][i] = uint8_t(i * 7 + k);
        plan = {SCENE_COUNT * PAGE_COUNT,
                [&](int i) {
                    const Bytes ix = pageIndex(i);
                    return concat({5, 0x15, ix[0], ix[1]}, Scenes[i / PAGE_COUNT] + (i % PAGE_COUNT) * PAGE_SIZE, PAGE_SIZE);
                },
                notLastPage, [&](const Bytes &a, int i) { return echoes(a, 0x15, pageIndex(i)); }};
        result = SceneTransfer::sendScenes(Scenes, progress);
        break;
    }
    default: {  // a firmware image
        QByteArray bytes("MVO");
        uint8_t body[200];
        bytes.append(reinterpret_cast<const char *>(body), int(in.take(body, in.byte() % sizeof body)));
        FUZZ_CHECK(image.loadData(bytes) == FirmwareImage::Load::Ok);
        const int blocks = image.blockCount();
        plan = {blocks,
                [blocks](int i) {
                    uint8_t block[FirmwareImage::BLOCK_SIZE];
                    image.block(i, block);
                    const int number = i == blocks - 1 ? FirmwareImage::FINAL_BLOCK : i;
                    return concat({5, 0xB0, uint8_t(number >> 8), uint8_t(number)}, block, FirmwareImage::BLOCK_SIZE);
                },
                [blocks](int i) { return i < blocks - 1; },
                [](const Bytes &a, int i) { return echoes(a, 0xB0, {uint8_t(i >> 8), uint8_t(i)}); }};
        result = FirmwareTransfer::send(image, progress);
        break;
    }
    }
    checkLog(device, plan, result, maxTries);
    if (result == TransferResult::Ok) FUZZ_CHECK(last == 100);
    Port.setDevice(nullptr);
    return 0;
}
