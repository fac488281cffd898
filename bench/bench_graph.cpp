// Cost of the response graph: one edit's recomputation of a channel's curve, and one paint of the window.
#include "FileDialogs.h"
#include "Kestrun.h"
#include "Notice.h"
#include "BenchModel.h"
#include "ResponseGraph.h"
#include "ResponseMath.h"
#include "SimProcessor.h"
#include "VirtualCar.h"

#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <benchmark/benchmark.h>

namespace {

// Channel 0 with both crossovers on and the given number of bands away from 0 dB.
void PrepareStore(int activeBands)
{
    Model().reset();
    Session().ParamStore.setDefaults();
    for (int b = 0; b < activeBands && b < BAND_COUNT; ++b) Session().ParamStore.EqGain[0][b] = uint16_t(b % 2 ? 60 : 200);
    Session().ParamStore.HpfBypass[0] = Session().ParamStore.LpfBypass[0] = 0;
}

// A gain or frequency edit of one band: the equaliser curve and the plotted points of the channel.
void BM_EqEditRecompute(benchmark::State &state)
{
    PrepareStore(int(state.range(0)));
    ResponseCurves curves(Model());
    uint16_t g = 121;
    for (auto _ : state) {
        Session().ParamStore.EqGain[0][30] = g;  // the edited band
        g = g == 121 ? 119 : 121;
        curves.EQ_Curve_Update(0);
        curves.Curve_Point_Update(0);
        benchmark::DoNotOptimize(curves.CurvePoint[0][64]);
    }
}
BENCHMARK(BM_EqEditRecompute)->Arg(0)->Arg(8)->Arg(30)->ArgName("otherActiveBands")->Unit(benchmark::kMicrosecond);

// A crossover edit: one crossover curve and the plotted points.
void BM_CrossoverEditRecompute(benchmark::State &state)
{
    PrepareStore(0);
    ResponseCurves curves(Model());
    uint16_t f = 100;
    for (auto _ : state) {
        Session().ParamStore.HpfFreq[0] = f;
        f = f == 100 ? 101 : 100;
        curves.HPF_Curve_Update(0);
        curves.Curve_Point_Update(0);
        benchmark::DoNotOptimize(curves.CurvePoint[0][64]);
    }
}
BENCHMARK(BM_CrossoverEditRecompute)->Unit(benchmark::kMicrosecond);

// A window showing CH1 with a shaped curve and CH2 as comparison.
struct PaintScene {
    Notice notice{Lang()};
    FileDialogs files;
    SimProcessor sim;
    std::unique_ptr<VirtualCar> car = VirtualCar::shipped(sim, QStringLiteral("sedan"), nullptr);  // the window's sound card
    Kestrun window{Model(), notice, files, *car, Lang()};
    QImage image{window.size(), QImage::Format_RGB32};
    PaintScene()
    {
        PrepareStore(8);
        ResponseCurves &curves = window.graph().curves();
        for (uint8_t ch : {uint8_t(1), uint8_t(0)}) {
            Model().CurCh = ch;
            curves.HPF_Curve_Update(ch);
            curves.LPF_Curve_Update(ch);
            curves.EQ_Curve_Update(ch);
            curves.Curve_Point_Update(ch);
        }
        window.ui->checkBox[1]->setChecked(true);
        window.ensurePolished();
    }
};

// The window's own paint handler: background, the two curves and the crossover lines.
void BM_GraphPaint(benchmark::State &state)
{
    PaintScene scene;
    for (auto _ : state) {
        scene.window.render(&scene.image, QPoint(), QRegion(), QWidget::RenderFlags());
        benchmark::DoNotOptimize(scene.image.constBits());
    }
}
BENCHMARK(BM_GraphPaint)->Unit(benchmark::kMicrosecond);

// A whole repaint of the window with every control on top, as after update() on the window.
void BM_WindowPaint(benchmark::State &state)
{
    PaintScene scene;
    for (auto _ : state) {
        scene.window.render(&scene.image);
        benchmark::DoNotOptimize(scene.image.constBits());
    }
}
BENCHMARK(BM_WindowPaint)->Unit(benchmark::kMicrosecond);

// A repaint limited to the plot (clip rectangle and crossover line ends) with the controls on top of it.
void BM_PlotAreaPaint(benchmark::State &state)
{
    PaintScene scene;
    const QRegion plot(QRect(QPoint(GRAPH_LEFT, GRAPH_CLIP_TOP), QPoint(GRAPH_CLIP_RIGHT + 1, GRAPH_LINE_BOTTOM)));
    for (auto _ : state) {
        scene.window.render(&scene.image, plot.boundingRect().topLeft(), plot);
        benchmark::DoNotOptimize(scene.image.constBits());
    }
}
BENCHMARK(BM_PlotAreaPaint)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    benchmark::Initialize(&argc, argv);
    QApplication app(argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
