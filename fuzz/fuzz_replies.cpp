// Arbitrary input reports through the poll loop, the reply parser and its handlers into a fresh store,
// including the download completion and its corrections.
#include "ChannelLink.h"
#include "FuzzDevice.h"
#include "Kestrun.h"
#include "LinkState.h"
#include "Notice.h"
#include "ParamStore.h"
#include "SceneNames.h"
#include "Texts.h"
#include "Transport.h"

#include <QApplication>
#include <QTimerEvent>
#include <cstdlib>

namespace {
QApplication *app;
Kestrun *window;
FuzzDevice device;

void check(bool ok)
{
    if (!ok) std::abort();
}

// The store never leaves the ranges the window can show once a download completed.
void checkStore()
{
    const ParamBlock &s = ParamStore;
    check(s.InputSource <= 2);
    check(s.MasterVol <= 600);
    check(s.NoiseGate <= 6);
    for (int ch = 0; ch < CH_COUNT; ++ch) {
        check(s.ChVol[ch] <= 600 && s.ChDelay[ch] <= 1500 && s.ChPhase[ch] <= 1 && s.ChMute[ch] <= 1);
        check(s.HpfFreq[ch] >= 20 && s.HpfFreq[ch] <= 20000 && s.HpfType[ch] <= 2 && s.HpfSlope[ch] <= 7);
        check(s.LpfFreq[ch] >= 20 && s.LpfFreq[ch] <= 20000 && s.LpfType[ch] <= 2 && s.LpfSlope[ch] <= 7);
        for (int b = 0; b < BAND_COUNT; ++b) {
            check(s.EqGain[ch][b] <= 240);
            check(s.EqFreq[ch][b] >= 20 && s.EqFreq[ch][b] <= 20000);
            check(s.EqQ[ch][b] >= 4 && s.EqQ[ch][b] <= 100);
        }
    }
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    app = new QApplication(*argc, *argv);
    Notice::setResponder([](const Notice::Request &) { return false; });
    Port.setDevice(&device);
    window = new Kestrun;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    ResetLinkState();
    device.close();
    device.load(data, size);
    Port.Rx.clear();
    // Enough ticks to consume the input, then a few more for the parse steps.
    for (int i = 0; i < 4000 && !(device.exhausted() && i > 200); ++i) {
        QTimerEvent e(window->periodicTimerId());
        QCoreApplication::sendEvent(window, &e);
    }
    if (Link.LinkStatus == 2) checkStore();
    check(CurCh < CH_COUNT);
    return 0;
}
