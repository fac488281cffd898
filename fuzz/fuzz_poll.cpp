// The poll loop and the state download against a scripted processor whose answers the fuzzer garbles:
// every frame written is a well-formed request with arguments in range, no read waits without bound, and
// each completed download leaves the store in range. When the fuzzer's bytes run out the processor turns
// healthy: a new identification must then complete the download and the names, and the store must equal
// the processor's memory as the download corrects and converts it.
// The first byte picks what the window does meanwhile: pass the quiet ticks at once as its timer does (after
// which the next tick must have work), order a re-read as a scene recall does, and hear hot-plug events
// (an unplug heard loses the link).
#include "FuzzInput.h"
#include "ProcessorSession.h"
#include "ParamStore.h"
#include "PollLoop.h"
#include "ScriptedProcessor.h"
#include "SceneNames.h"
#include "StoreChecks.h"
#include "Transport.h"

#include <cstring>

namespace {

// The harness's processor session, kept from one input to the next.
ProcessorSession &Session()
{
    static ProcessorSession session;
    return session;
}
// The window side of the loop as the download handlers do it, into a store of its own.
class StoreHost : public PollHost
{
public:
    ParamBlock store;
    uint16_t shadow[CH_COUNT][BAND_COUNT];
    int completions = 0;
    int namesSeen = 0;

    StoreHost()
    {
        std::memset(&store, 0, sizeof store);
        store.setDefaults();
    }
    void showLinkStatus(bool) override {}
    void setProgress(int value) override { FUZZ_CHECK(value >= 0 && value <= 100); }
    void showProgress(bool) override {}
    void reportNameMismatch() override {}
    void paramPageReply(const uint8_t *p, int n) override
    {
        if (n < 2 + PAGE_SIZE || p[1] > PollLoop::LAST_PARAM_PAGE || Session().Link.LinkStatus == 2) return;
        std::memcpy(store.page(p[1]), p + 2, PAGE_SIZE);
        if (p[1] != PollLoop::LAST_PARAM_PAGE) return;
        Session().Link.LinkStatus = 2;
        store.correctDownloaded(shadow);
        checkRanges();
        ++completions;
        Session().Link.NamesPending = 1;
        Session().Link.NamePage = 1;
        Session().Link.AwaitingReply = 0;
    }
    void sceneNameReply(const uint8_t *p, int n) override
    {
        if (n < 2 + SCENE_NAME_SIZE || p[1] < 1 || p[1] > SCENE_COUNT) return;
        namesSeen |= 1 << p[1];
        if (p[1] == SCENE_COUNT) Session().Link.AwaitingReply = 0;
    }
    void inputSourceReply(const uint8_t *p, int n) override
    {
        if (n >= 2) store.InputSource = ParamBlock::correctedInputSource(p[1]);
    }
    void masterVolumeReply(const uint8_t *p, int n) override
    {
        if (n >= 3) store.MasterVol = ParamBlock::correctedMasterVol(uint16_t(p[1] + 256 * p[2]));
    }

    // The fields the completion corrects are within the ranges the window can show; the shadow gains follow.
    void checkRanges() const
    {
        checkCorrectedStore(store);
        FUZZ_CHECK(std::memcmp(shadow, store.EqGain, sizeof shadow) == 0);
    }
};

// Only requests go out from the loop, each with its argument in range.
void checkRequest(const uint8_t *p, int n)
{
    FUZZ_CHECK(n >= 2 && p[0] == 6);
    switch (p[1]) {
    case 0x00:
    case 0x16: FUZZ_CHECK(n == 2); break;
    case 0xAA: FUZZ_CHECK(n == 3 && p[2] <= PollLoop::LAST_PARAM_PAGE); break;
    case 0x10: FUZZ_CHECK(n == 3 && p[2] >= 1 && p[2] <= SCENE_COUNT); break;
    default: FUZZ_CHECK(!"unexpected request");
    }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput in(data, size);
    const uint8_t window = in.byte();
    const bool skipQuiet = window & 1;
    const bool hotPlug = window & 4;
    const int resyncAt = window & 2 ? (window >> 3) * 16 : -1;
    ScriptedProcessor device;
    StoreHost host;
    Session().resetLink();
    Session().Port.setDevice(&device);
    Session().Port.Rx.clear();
    Session().Port.onWriteFailed = nullptr;
    PollLoop loop(host, Session());
    device.logging = false;
    device.onWrite = checkRequest;
    device.script(&in);
    device.presence = hotPlug;
    loop.watchPresence();
    FUZZ_CHECK(loop.presenceWatched() == hotPlug);

    // The garbled phase: until the choices run out, at most 4000 ticks, and no longer than 450 ticks without a
    // read that takes a choice (past the open retry and the first heartbeat).
    size_t left = in.left();
    for (int tick = 0, still = 0; tick < 4000 && still < 450 && !device.healthy(); ++tick) {
        if (tick == resyncAt && Session().Link.Connected) Session().Link.ResyncCountdown = 10;
        PresenceEvent heard;
        if (device.deliverPresence(&heard) && heard == PresenceEvent::Removed) FUZZ_CHECK(!Session().Link.Connected);
        const int quiet = skipQuiet ? loop.quietTicks() : 0;
        if (quiet > 0) {
            FUZZ_CHECK(quiet <= loop.countdownTicks());
            loop.skipTicks(quiet);
            FUZZ_CHECK(loop.quietTicks() == 0);
            tick += quiet;
            still += quiet;
        }
        loop.tick();
        still = in.left() == left ? still + 1 : 0;
        left = in.left();
        FUZZ_CHECK(Session().Link.ParamPage <= PollLoop::LAST_PARAM_PAGE + 1 && Session().Link.NamePage <= SCENE_COUNT + 1);
        FUZZ_CHECK(Session().Port.Rx.RxPos <= sizeof Session().Port.Rx.RxBuffer && Session().Port.Rx.RxCount <= sizeof Session().Port.Rx.RxBuffer);
    }

    // Healthy from here on: the processor is identified again and read in full. A re-read still counting down
    // runs after that download (a recall's wait lets the processor settle), and reads everything once more.
    const int resync = Session().Link.ResyncCountdown;
    device.script(nullptr);
    const ParamBlock memory = device.memory;
    host.namesSeen = 0;
    loop.ConnectDevice();
    loop.ParseReply();
    FUZZ_CHECK(Session().Link.Connected && Session().Link.Downloading && Session().Link.LinkStatus == 1);
    const int before = host.completions;
    int ticks = 0;
    while (ticks < 800 && (Session().Link.LinkStatus != 2 || Session().Link.NamesPending || Session().Link.AwaitingReply || Session().Link.ResyncCountdown)) {
        loop.tick();
        ++ticks;
    }
    // (The re-read may cut off the first download at its last page: then only the second one completes.)
    FUZZ_CHECK(host.completions >= before + 1 && host.completions <= before + 1 + (resync > 0));
    FUZZ_CHECK(host.namesSeen == 0x3FE);  // scenes 1..9
    FUZZ_CHECK(!Session().Link.NamesPending && !Session().Link.AwaitingReply);
    // 1 + 110 ticks for the pages, 18 for the names (twice, with the re-read's wait between).
    FUZZ_CHECK(ticks <= (resync > 0 ? 260 + resync : 130));
    ParamBlock expected = memory;
    uint16_t shadow[CH_COUNT][BAND_COUNT];
    expected.correctDownloaded(shadow);
    FUZZ_CHECK(std::memcmp(expected.bytes(), host.store.bytes(), IMAGE_SIZE) == 0);
    FUZZ_CHECK(std::memcmp(shadow, host.shadow, sizeof shadow) == 0);
    Session().Port.setDevice(nullptr);
    return 0;
}
