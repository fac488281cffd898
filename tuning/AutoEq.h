// Fitting one output's equaliser to a target curve within the processor's limits.
//
// The optimiser is NLopt's bounded low-storage BFGS (LD_LBFGS) from Debian's libnlopt, a maintained
// library. The objective is smooth and its analytic gradient costs about two evaluations (one pass over the
// grid per band), so a gradient method with bounds fits; against the other bounded gradient methods of NLopt
// on the benchmark's 31-band fit, L-BFGS reached the same or a lower error in a third of the time of SLSQP
// (whose dense quadratic subproblem at 93 variables dominates) and below MMA's. A derivative-free method
// (BOBYQA) would need hundreds of evaluations at 93 variables before its first step. How the bands are
// placed, merged, pruned and quantised is BandFitter's (see BandFitter.h).
//
// The rules of the fit:
// - The fit works on a 1/48-octave grid over the range, from the measurement (smoothed as the caller
//   chose), plus the output's crossovers and the bands that do not move. The bands are modelled by the
//   processor's own peaking section (PeakingSection, the graph's equaliser curve).
// - Level: the target is moved so that its mean in the range equals the measurement's (the points of deep,
//   narrow dips, which the fit leaves out, are left out of both means).
// - Deep, narrow dips are not filled. A dip is a run of points lying more than 3 dB below the 1/3-octave
//   mean of the curve around them; when the run is narrower than 1/3 octave and reaches more than 6 dB
//   (or the maximum boost, if larger) below that mean, its points do not count in the fit (such a dip is
//   usually a cancellation that boost cannot fill). Broader or shallower dips are corrected, with the wanted
//   boost limited to the maximum boost.
// - Limits: gain -12.0 dB .. the maximum boost (at most +12.0) in 0.1 dB steps, Q 0.4..10.0 in 0.1 steps,
//   frequency in whole hertz within the range. After quantising, the summed boost of all bands on the grid
//   is brought within the maximum boost by lowering the boosting band that contributes most, 0.1 dB at a time.
// - No two bands closer than 1/12 octave unless that saves more than 0.1 dB RMS; narrow boosts above 12 kHz
//   or within half an octave of the output's high-pass corner only where they save more than 0.1 dB RMS.
// - Locked bands keep their values. In GEQ mode only gains move, and bands centred outside the range keep
//   their values too. Free bands that the fit does not need are set to 0 dB and keep frequency and Q.
// - The errors are RMS over the grid (that is, over log frequency) of measurement + crossovers + bands
//   minus the level-matched target: before with the output's current bands, after with the result's.
#pragma once

#include <array>

#include "FreqCurve.h"
#include "OutputResponse.h"

constexpr double FIT_DEFAULT_MAX_BOOST_DB = 6.0;
constexpr int FIT_POINTS_PER_OCTAVE = 48;

enum class FitFault {
    None,
    BadChannel,     // the output is not 0..5
    NoMeasurement,  // fewer than two measured points
    EmptyRange,     // the range does not overlap the measurement or 20 Hz .. 20 kHz
};

struct FitSettings {
    double loHz = 20.0;
    double hiHz = 20000.0;
    double maxBoostDb = FIT_DEFAULT_MAX_BOOST_DB;  // per band and for the sum of all bands
    bool graphic = false;  // GEQ mode: gains only, at the bands' own frequencies and Q
    std::array<bool, BAND_COUNT> locked{};
};

struct FitResult {
    FitFault fault = FitFault::None;
    BandSet bands{};  // all 31 bands of the output, to be applied as one edit
    double rmsBefore = 0.0;
    double rmsAfter = 0.0;
    double loHz = 0.0;  // the range actually fitted
    double hiHz = 0.0;
    // On the fit's grid over that range: measurement + crossovers + the result's bands, and the target
    // at the measurement's level. Their difference is the residual whose RMS is rmsAfter.
    FreqCurve predicted;
    FreqCurve target;
    std::vector<bool> counted;  // per grid point: whether its error counts in the fit (not a deep narrow dip)
    // Share (0..1) of the fittable points where the residual is within +-1 dB: the points that count (not
    // in a deep narrow dip) and need no more boost than the maximum.
    double withinOneDb = 0.0;

    bool ok() const { return fault == FitFault::None; }
};

// The range where the output's crossovers pass (a bypassed filter sets no limit), within 20 Hz..20 kHz.
FitSettings DefaultFitSettings(const ParamBlock &block, int ch);

FitResult FitOutput(const FreqCurve &measurement, const FreqCurve &target, const ParamBlock &block, int ch,
                    const FitSettings &settings);
