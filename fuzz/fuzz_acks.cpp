// The acknowledged transfers (a scene into live memory, the nine stored scenes out and in, a firmware image)
// against a scripted processor whose answers the fuzzer garbles and which falls silent when they run out.
// Every frame written carries the right item and bytes, the next item goes out only after the processor
// acknowledged the last one, tries stay within the bound, the result tells what happened, progress only
// grows, and fetched pages hold only what the processor sent.
#include "FirmwareImage.h"
#include "FirmwareTransfer.h"
#include "FuzzInput.h"
#include "ProcessorSession.h"
#include "SceneTransfer.h"
#include "ScriptedProcessor.h"
#include "Transport.h"

#include <QByteArray>

#include <cstring>
#include <vector>

namespace {

// The harness's processor session, kept from one input to the next.
ProcessorSession &Session()
{
    static ProcessorSession session;
    return session;
}
using Frame = ScriptedProcessor::Frame;

enum Kind { LiveScene, FetchScenes, StoreScenes, Firmware };

uint8_t Fetched[SCENE_COUNT][STORE_SIZE];
uint8_t Stored[SCENE_COUNT][STORE_SIZE];  // what the stored scenes send, filled once
constexpr uint8_t UNTOUCHED = 0xA5;
FirmwareImage Image;  // one buffer for all runs: a fresh megabyte each run costs more than the run

// The items of one transfer: the frame of item i, whether it waits for an answer, and which answers count.
struct Plan {
    Kind kind;
    int count;
    const uint8_t *live;  // the image a single scene sends

    // The command bytes of item i: class, code and index; returns their count.
    FUZZ_UNTRACED int head(int i, uint8_t out[4]) const
    {
        const uint8_t scene = uint8_t(i / PAGE_COUNT + 1), page = uint8_t(i % PAGE_COUNT);
        const int block = i == count - 1 ? FirmwareImage::FINAL_BLOCK : i;
        switch (kind) {
        case LiveScene: return put(out, {5, 0x41, uint8_t(i)});
        case FetchScenes: return put(out, {6, 0x15, scene, page});
        case StoreScenes: return put(out, {5, 0x15, scene, page});
        case Firmware: break;
        }
        return put(out, {5, 0xB0, uint8_t(block >> 8), uint8_t(block)});
    }
    // The whole payload of item i; returns its length.
    FUZZ_UNTRACED int frame(int i, uint8_t out[MAX_PAYLOAD]) const
    {
        const int n = head(i, out);
        switch (kind) {
        case LiveScene: std::memcpy(out + n, live + i * PAGE_SIZE, PAGE_SIZE); return n + PAGE_SIZE;
        case FetchScenes: return n;
        case StoreScenes: std::memcpy(out + n, Stored[i / PAGE_COUNT] + i % PAGE_COUNT * PAGE_SIZE, PAGE_SIZE); return n + PAGE_SIZE;
        case Firmware: break;
        }
        Image.block(i, out + n);
        return n + FirmwareImage::BLOCK_SIZE;
    }
    FUZZ_UNTRACED bool awaited(int i) const
    {
        if (kind == FetchScenes) return true;
        return kind == Firmware ? i < count - 1 : i % PAGE_COUNT != PAGE_COUNT - 1;
    }
    // An acknowledgement echoes the command code and whatever part of the item's index it carries; a fetched
    // page also carries its data.
    FUZZ_UNTRACED bool answers(const Frame &a, int i) const
    {
        uint8_t h[4];
        const int n = head(i, h);
        if ((kind == FetchScenes && a.n < 4 + PAGE_SIZE) || a.n < 2 || a.b[1] != h[1]) return false;
        for (int k = 2; k < n && k < a.n; ++k)
            if (a.b[k] != h[k]) return false;
        return true;
    }

private:
    FUZZ_UNTRACED static int put(uint8_t *out, std::initializer_list<uint8_t> bytes)
    {
        int n = 0;
        for (uint8_t v : bytes) out[n++] = v;
        return n;
    }
};

// Walks what crossed the link against the plan.
FUZZ_UNTRACED void checkLog(const ScriptedProcessor &device, const Plan &plan, TransferResult result, int maxTries)
{
    int item = -1, tries = 0;
    bool answered = false;
    uint8_t expected[MAX_PAYLOAD];
    for (const auto &e : device.log) {
        if (!e.written) {
            if (!e.drained && item >= 0 && plan.answers(e.payload, item)) answered = true;
            continue;
        }
        if (item >= 0 && e.payload.equals(expected, plan.frame(item, expected))) {
            FUZZ_CHECK(plan.awaited(item));  // an item that is not awaited goes out once
            FUZZ_CHECK(++tries <= maxTries);
        } else {
            FUZZ_CHECK(item + 1 < plan.count && e.payload.equals(expected, plan.frame(item + 1, expected)));
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

// Pages hold what the processor sent, wherever its reply said; nothing else is touched. After a whole fetch
// they hold the processor's scenes.
FUZZ_UNTRACED void checkFetched(const ScriptedProcessor &device, TransferResult result)
{
    static uint8_t expected[SCENE_COUNT][STORE_SIZE];
    std::memset(expected, UNTOUCHED, sizeof expected);
    for (const auto &e : device.log) {
        const Frame &a = e.payload;
        if (e.written || e.drained || a.n < 24 || a.b[1] != 0x15 || a.b[2] < 1 || a.b[2] > SCENE_COUNT || a.b[3] >= PAGE_COUNT)
            continue;
        std::memcpy(&expected[a.b[2] - 1][a.b[3] * PAGE_SIZE], a.b + 4, PAGE_SIZE);
    }
    FUZZ_CHECK(std::memcmp(expected, Fetched, sizeof Fetched) == 0);
    if (result == TransferResult::Ok)
        for (int k = 0; k < SCENE_COUNT; ++k) FUZZ_CHECK(std::memcmp(Fetched[k], device.scenes[k], IMAGE_SIZE) == 0);
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    // An input here runs anything from one round trip to a whole transfer of nine scenes (495 of them), and
    // the long ones hold the rare features, so the fuzzer's schedule would spend most of its time on them.
    // It is told to weigh each input's share by its run time. A flag given on the command line still wins.
    static char scalePerExecTime[] = "-entropic_scale_per_exec_time=1";
    static std::vector<char *> args;
    args.assign(*argv, *argv + *argc);
    args.insert(args.begin() + 1, scalePerExecTime);
    args.push_back(nullptr);
    *argc = int(args.size()) - 1;
    *argv = args.data();

    for (int k = 0; k < SCENE_COUNT; ++k)
        for (int i = 0; i < STORE_SIZE; ++i) Stored[k][i] = uint8_t(i * 7 + k);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput in(data, size);
    const uint8_t how = in.byte();
    const int maxTries = 1 + (how >> 2) % 4;
    Session().Pace = TransferPace();
    Session().Pace.maxTries = maxTries;
    Session().Pace.readMs = 100000;  // only the fuzzer's choices end a read
    Session().Pace.maxItemMs = 1 << 30;

    // The processor falls silent when the choices run out: a transfer then ends after its tries, and only
    // inputs that answer every item reach the end (the seeds have one such input per transfer). One processor
    // for all runs, so that its log keeps its room.
    static ScriptedProcessor device;
    device.restart();
    device.maxWaitMs = Session().Pace.readMs;
    device.silentWhenDone = true;
    Session().resetLink();
    Session().Port.setDevice(&device);
    Session().Port.Rx.clear();
    Session().Port.onWriteFailed = nullptr;
    Session().Port.open();
    Session().Link.Connected = 1;
    Session().Link.LinkStatus = 2;
    device.script(&in);

    int last = 0;
    const auto progress = [&last](int v) {
        FUZZ_CHECK(v >= last && v <= 100);
        last = v;
    };
    TransferResult result;
    Plan plan{Kind(how % 4), SCENE_COUNT * PAGE_COUNT, device.scenes[3]};
    switch (plan.kind) {
    case LiveScene:  // a single scene into the live memory
        plan.count = PAGE_COUNT;
        result = SceneTransfer(Session()).sendParamImage(plan.live, progress);
        break;
    case FetchScenes:  // the nine stored scenes out of the processor
        std::memset(Fetched, UNTOUCHED, sizeof Fetched);
        result = SceneTransfer(Session()).fetchScenes(Fetched, progress);
        checkFetched(device, result);
        break;
    case StoreScenes:  // the nine stored scenes into the processor
        result = SceneTransfer(Session()).sendScenes(Stored, progress);
        break;
    case Firmware: {  // a firmware image
        QByteArray bytes("MVO");
        uint8_t body[200];
        bytes.append(reinterpret_cast<const char *>(body), int(in.take(body, in.byte() % sizeof body)));
        FUZZ_CHECK(Image.loadData(bytes) == FirmwareImage::Load::Ok);
        plan.count = Image.blockCount();
        result = FirmwareTransfer(Session()).send(Image, progress);
        break;
    }
    }
    checkLog(device, plan, result, maxTries);
    if (result == TransferResult::Ok) FUZZ_CHECK(last == 100);
    Session().Port.setDevice(nullptr);
    return 0;
}
