// Cost of dragging a graph marker: the window's handling of one mouse move over a band marker.
#include "GraphMarkers.h"
#include "BenchRig.h"
#include "DragPushButton.h"

#include <QMouseEvent>

namespace {

void sendMouse(QWidget *target, QEvent::Type type, QPoint local, Qt::MouseButtons buttons)
{
    QMouseEvent e(type, local, target->mapToGlobal(local), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                  buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &e);
}

// One mouse move over a held band marker that changes its gain and frequency: the event filter
// (gain read-back, gain slider and its slot, link copy, the equaliser curve twice, plotted points,
// two CMD_EQ_BAND frames written to the processor, marker and label placement) and the marker's
// own move. The marker goes up and down by 12 pixels in turn.
void BM_BandMarkerDragStep(benchmark::State &state)
{
    BenchRig rig;
    // The other bands away from 0 dB, as on a tuned channel.
    for (int b = 0; b < state.range(1); ++b)
        if (b != state.range(0)) Session().ParamStore.EqGain[0][b] = uint16_t(b % 2 ? 100 : 140);
    DragPushButton *m = rig.w->markers().BandMark[state.range(0)];
    m->setGeometry(500, 139, 11, 11);
    sendMouse(m, QEvent::MouseButtonPress, QPoint(5, 5), Qt::LeftButton);
    const unsigned long framesBefore = Session().Port.framesWritten;
    int dy = 12;
    long moves = 0;
    for (auto _ : state) {
        sendMouse(m, QEvent::MouseMove, QPoint(5 + dy / 4, 5 + dy), Qt::LeftButton);
        dy = -dy;
        if ((++moves & 0xFFF) == 0) rig.sim.clearLog();
    }
    sendMouse(m, QEvent::MouseButtonRelease, QPoint(5, 5), Qt::NoButton);
    state.counters["framesPerMove"] = double(Session().Port.framesWritten - framesBefore) / double(moves);
}
BENCHMARK(BM_BandMarkerDragStep)
    ->Args({15, 0})
    ->Args({15, 31})
    ->ArgNames({"band", "tunedBands"})
    ->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char **argv) { return RunBenchmarks(argc, argv); }
