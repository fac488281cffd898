// Page by page, with acknowledgements and bounded retries.
#include "SceneTransfer.h"

#include "Commands.h"
#include "ProcessorSession.h"
#include "WaitMs.h"

#include <cstring>

namespace {
constexpr uint8_t PAGE_WRITE = 0x41;
constexpr uint8_t SCENE_DATA = 0x15;
constexpr int LAST_PAGE = PAGE_COUNT - 1;
constexpr int SCENE_FRAMES = SCENE_COUNT * PAGE_COUNT;  // page frames of all nine scenes
}  // namespace

TransferResult SceneTransfer::sendParamImage(const uint8_t *image, const Progress &progress)
{
    link_.drain();
    for (int p = 0; p < LAST_PAGE; ++p) {
        const uint8_t page = uint8_t(p);
        const uint8_t *data = image + p * PAGE_SIZE;
        TransferLink::AckStep step;
        step.send = [this, page, data] { CMD_PARAM_PAGE_WRITE(p_, page, data); };
        step.accept = [&](const uint8_t *payload, int n) { return TransferLink::isAck(payload, n, PAGE_WRITE, &page, 1); };
        step.hold = 5000;
        step.gapMs = p_.Pace.pageGapMs;
        const TransferResult r = link_.acknowledged(step);
        if (r != TransferResult::Ok) return r;
        progress(TransferLink::percent(p + 1, PAGE_COUNT));
        WaitMs(p_.Pace.pageGapMs);
    }
    const TransferResult last = link_.once([&] { CMD_PARAM_PAGE_WRITE(p_, LAST_PAGE, image + LAST_PAGE * PAGE_SIZE); });
    if (last != TransferResult::Ok) return last;
    progress(100);
    p_.Link.HeartbeatCountdown = 5000;
    p_.Port.Rx.clear();
    // The processor takes the image over; the heartbeat stays away meanwhile.
    for (int i = PAGE_COUNT; i <= 100; ++i) {
        p_.Link.HeartbeatCountdown = 1000;
        WaitMs(p_.Pace.runOutStepMs);
        if (!p_.Link.Connected) return TransferResult::LinkLost;
    }
    return TransferResult::Ok;
}

TransferResult SceneTransfer::fetchScenes(uint8_t scenes[SCENE_COUNT][STORE_SIZE], const Progress &progress)
{
    int done = 0;  // pages read
    for (int k = 1; k <= SCENE_COUNT; ++k) {
        for (int p = 0; p < PAGE_COUNT; ++p) {
            const uint8_t index[2] = {uint8_t(k), uint8_t(p)};
            TransferLink::AckStep step;
            step.send = [this, &index] { REQ_SCENE_DATA(p_, index[0], index[1]); };
            step.accept = [scenes, &index](const uint8_t *payload, int n) {
                // 06 15 k p + 20 data bytes
                if (n < 4 + PAGE_SIZE || payload[1] != SCENE_DATA) return false;
                const int rk = payload[2], rp = payload[3];
                if (rk < 1 || rk > SCENE_COUNT || rp > LAST_PAGE) return false;
                std::memcpy(&scenes[rk - 1][rp * PAGE_SIZE], payload + 4, PAGE_SIZE);
                return rk == index[0] && rp == index[1];
            };
            step.hold = 2000;
            step.settleMs = 1;
            step.gapMs = 0;
            const TransferResult r = link_.acknowledged(step);
            if (r != TransferResult::Ok) return r;
            progress(TransferLink::percent(++done, SCENE_FRAMES));
        }
    }
    return TransferResult::Ok;
}

TransferResult SceneTransfer::sendScenes(const uint8_t scenes[SCENE_COUNT][STORE_SIZE], const Progress &progress)
{
    link_.drain();
    int done = 0;  // page frames acknowledged (the last page of a scene: sent)
    for (int k = 1; k <= SCENE_COUNT; ++k) {
        const uint8_t *scene = scenes[k - 1];
        for (int p = 0; p < LAST_PAGE; ++p) {
            const uint8_t index[2] = {uint8_t(k), uint8_t(p)};
            const uint8_t *data = scene + p * PAGE_SIZE;
            TransferLink::AckStep step;
            step.send = [this, &index, data] { CMD_SCENE_DATA_WRITE(p_, index[0], index[1], data); };
            step.accept = [&](const uint8_t *payload, int n) { return TransferLink::isAck(payload, n, SCENE_DATA, index, 2); };
            step.hold = 4000;
            step.gapMs = 1;  // the window stays alive while a page is tried again
            const TransferResult r = link_.acknowledged(step);
            if (r != TransferResult::Ok) return r;
            progress(TransferLink::percent(++done, SCENE_FRAMES));
        }
        const TransferResult last =
            link_.once([&] { CMD_SCENE_DATA_WRITE(p_, uint8_t(k), LAST_PAGE, scene + LAST_PAGE * PAGE_SIZE); });
        if (last != TransferResult::Ok) return last;
        progress(TransferLink::percent(++done, SCENE_FRAMES));
        p_.Port.Rx.clear();
        p_.Link.HeartbeatCountdown = 40000;
        WaitMs(p_.Pace.sceneSettleMs);
        if (!p_.Link.Connected) return TransferResult::LinkLost;
    }
    return TransferResult::Ok;
}
