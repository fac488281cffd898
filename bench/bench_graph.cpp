// Cost of the response graph: one edit's recomputation of a channel's curve.
#include "ResponseMath.h"

#include <benchmark/benchmark.h>

namespace {

// Channel 0 with both crossovers on and the given number of bands away from 0 dB.
void PrepareStore(int activeBands)
{
    ResetParamStore();
    ParamStore.setDefaults();
    Graph_Table_Init();
    for (int b = 0; b < activeBands && b < BAND_COUNT; ++b) ParamStore.EqGain[0][b] = uint16_t(b % 2 ? 60 : 200);
    ParamStore.HpfBypass[0] = ParamStore.LpfBypass[0] = 0;
}

// A gain or frequency edit of one band: the equaliser curve and the plotted points of the channel.
void BM_EqEditRecompute(benchmark::State &state)
{
    PrepareStore(int(state.range(0)));
    uint16_t g = 121;
    for (auto _ : state) {
        ParamStore.EqGain[0][30] = g;  // the edited band
        g = g == 121 ? 119 : 121;
        EQ_Curve_Update(0);
        Curve_Point_Update(0);
        benchmark::DoNotOptimize(CurvePoint[0][64]);
    }
}
BENCHMARK(BM_EqEditRecompute)->Arg(0)->Arg(8)->Arg(30)->ArgName("otherActiveBands")->Unit(benchmark::kMicrosecond);

// A crossover edit: one crossover curve and the plotted points.
void BM_CrossoverEditRecompute(benchmark::State &state)
{
    PrepareStore(0);
    uint16_t f = 100;
    for (auto _ : state) {
        ParamStore.HpfFreq[0] = f;
        f = f == 100 ? 101 : 100;
        HPF_Curve_Update(0);
        Curve_Point_Update(0);
        benchmark::DoNotOptimize(CurvePoint[0][64]);
    }
}
BENCHMARK(BM_CrossoverEditRecompute)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
