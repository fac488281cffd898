// Cost of the tuning model's whole-view operations: a channel switch, the refresh at the end of a download,
// and undoing a change of all 31 bands, each with its widgets and the frames written to the processor.
#include "LinkView.h"
#include "OutputSlots.h"
#include "BenchRig.h"

#include <cstring>

namespace {

// Every band of CH1 and CH2 tuned differently.
struct ModelRig : BenchRig {
    ModelRig()
    {
        for (int b = 0; b < BAND_COUNT; ++b) {
            Session().ParamStore.EqGain[0][b] = uint16_t(100 + b);
            Session().ParamStore.EqGain[1][b] = uint16_t(140 - b % 7);
        }
    }
};

// Switching between two tuned channels: every band's slider moves, so every band is sent again.
void BM_ChannelSwitch(benchmark::State &state)
{
    ModelRig rig;
    uint8_t ch = 0;
    for (auto _ : state) {
        ch = ch ? 0 : 1;
        rig.w->outputs().BT_CH_Switch(ch);
        rig.sim.clearLog();
    }
}
BENCHMARK(BM_ChannelSwitch)->Unit(benchmark::kMillisecond);

// The same with the shown window painted again afterwards, as the screen would show the switch.
void BM_ChannelSwitchPainted(benchmark::State &state)
{
    ModelRig rig;
    rig.w->show();
    uint8_t ch = 0;
    for (auto _ : state) {
        ch = ch ? 0 : 1;
        rig.w->outputs().BT_CH_Switch(ch);
        rig.w->repaint();
        rig.sim.clearLog();
    }
}
BENCHMARK(BM_ChannelSwitchPainted)->Unit(benchmark::kMillisecond);

// The end of a download: the image is corrected and every control is refreshed, with sending suppressed.
void BM_DownloadRefresh(benchmark::State &state)
{
    ModelRig rig;
    ParamBlock image = Session().ParamStore;
    for (auto &row : image.EqGain)
        for (auto &g : row) g = uint16_t(g + GAIN_DEVICE_OFFSET);
    for (auto _ : state) {
        std::memcpy(&Session().ParamStore, &image, sizeof image);
        Session().Link.SuppressSend = 1;
        rig.w->linkView().Update_All_State();
        Session().Link.SuppressSend = 0;
    }
}
BENCHMARK(BM_DownloadRefresh)->Unit(benchmark::kMillisecond);

// Undo (and redo) of one step that changed all 31 bands of the selected channel: 31 frames each way.
void BM_Undo31Bands(benchmark::State &state)
{
    ModelRig rig;
    rig.w->outputs().BT_CH_Switch(0);
    uint16_t freq[BAND_COUNT], gain[BAND_COUNT];
    uint8_t q[BAND_COUNT];
    for (int b = 0; b < BAND_COUNT; ++b) {
        freq[b] = Session().ParamStore.EqFreq[0][b];
        gain[b] = uint16_t(150 - b);
        q[b] = uint8_t(20 + b);
    }
    Model().setBands(0, freq, gain, q);
    bool undone = false;
    for (auto _ : state) {
        undone = undone ? !Model().redo() : Model().undo();
        rig.sim.clearLog();
    }
}
BENCHMARK(BM_Undo31Bands)->Unit(benchmark::kMillisecond);

// An A/B switch where every band of all six outputs differs: 186 band frames each way.
void BM_AbSwitchAllBands(benchmark::State &state)
{
    BenchRig rig;
    Model().storeMemory(0);
    for (int ch = 0; ch < CH_COUNT; ++ch) {
        uint16_t freq[BAND_COUNT], gain[BAND_COUNT];
        uint8_t q[BAND_COUNT];
        for (int b = 0; b < BAND_COUNT; ++b) {
            freq[b] = uint16_t(30 + b * 600);
            gain[b] = uint16_t(60 + b);
            q[b] = uint8_t(20 + b);
        }
        Model().setBands(ch, freq, gain, q);
    }
    Model().storeMemory(1);
    int slot = 0;
    for (auto _ : state) {
        Model().recallMemory(slot);
        slot ^= 1;
        rig.sim.clearLog();
    }
}
BENCHMARK(BM_AbSwitchAllBands)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char **argv) { return RunBenchmarks(argc, argv); }
