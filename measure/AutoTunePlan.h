// The auto-tune's decisions on measurements, free of audio and of the model: polarity, delays, levels and
// equalisers planned into a parameter block, and the verification's residual.
//
// - Polarity: an output measured Negative has its phase switched; Ambiguous is left alone and named, and so
//   is any reading between two crossovers less than four octaves apart (the filters turn the phase there),
//   the swept band's top standing in for a low-pass that is off.
// - Delays: the direct sound's arrival with the processor's present delay taken out; the latest gets 0, each
//   other the difference, rounded to the processor's 0.01 ms step and limited to 15.00 ms as the time
//   alignment does (AlignDelays). Outputs not tuned keep their delays.
// - Equaliser: the processor's present equaliser, crossovers and volume are taken out of the measurement (the
//   speaker's own response), then FitOutput fits the bands, on the measurement under variable smoothing
//   (Judged), to the output's target within its pass band (or the goal's range within it). The output's
//   target is the goal's curve through the output's crossovers: they stay as they are, and their roll-off
//   is the user's, so the bands do not fight it at the corners.
// - Levels: an output's level is the mean, over the fit's counted points, of its predicted response minus the
//   target. The quietest output (a subwoofer's level less the subwoofer offset) keeps its volume; every other
//   is cut to it in 0.1 dB steps. No volume is raised, so none goes above 0 dB.
// - Residuals (predicted and verified alike): RMS over the counted points of the judged response (Judged)
//   minus the output's target, the target moved to the response's mean level over those points. Counted are
//   the fit's grid points over the pass band except deep narrow dips (as the fit) and points lower than the
//   maximum boost can lift to the target (the fit's own share within +-1 dB leaves them out alike). The
//   predicted response is the speaker through the new settings, smoothed as the verification will be.
#pragma once

#include "AutoEq.h"
#include "CaptureResult.h"
#include "FreqCurve.h"
#include "ParamStore.h"

#include <QString>

#include <array>
#include <cstdint>
#include <vector>

constexpr double REFINE_MARGIN_DB = 1.0;  // a verified residual this much worse than predicted is refined

// What the tuning aims at.
struct TuningGoal {
    FreqCurve target;                               // empty: flat
    double maxBoostDb = FIT_DEFAULT_MAX_BOOST_DB;   // per band and summed
    double loHz = 0.0;                              // a range the fits stay within (0: no limit)
    double hiHz = 0.0;
    double subOffsetDb = 0.0;                       // subwoofer outputs' level relative to the others
};

// One output's part of the tuning and of the report.
struct OutputTuning {
    int channel = 0;                           // 0..5
    Polarity polarity = Polarity::Ambiguous;   // as measured: Negative is corrected, Ambiguous left alone
    bool phaseSwitched = false;
    double arrivalMs = 0.0;       // the direct sound's arrival, the processor's delay taken out
    uint16_t delay = 0;           // the new ChDelay code, 0.01 ms each
    bool delayLimited = false;    // more than 15.00 ms was needed
    uint16_t volume = 0;          // the new ChVol code, 0.1 dB each, 600 = 0 dB
    bool volumeLimited = false;   // the cut reached the lowest volume
    double levelDb = 0.0;         // the output's level relative to the target after the tuning
    double loHz = 0.0;            // the fitted range
    double hiHz = 0.0;
    double rmsPredicted = 0.0;
    double rmsVerified = -1.0;    // -1 until verified
    double levelVerifiedDb = 0.0; // the level as verified
    bool refined = false;
    int eqPartner = -1;           // the output whose equaliser is linked to this one's (one equaliser for both)
    bool fitted = false;          // false: the measurement could not be fitted (note says why)
    FreqCurve before;             // measured through the processor before the run (20 Hz..20 kHz, swept band)
    FreqCurve after;              // measured through the processor after the tuning
    FreqCurve predicted;          // on the fit's grid: the response expected after the tuning
    FreqCurve target;             // on the fit's grid: the target at the output's level
    std::vector<bool> counted;    // on the fit's grid: the points that count (not a deep narrow dip)
    QString note;                 // English, empty or e.g. "polarity ambiguous, left as it was"

    double delayMs() const { return delay / 100.0; }
    double volumeDb() const { return (int(volume) - 600) / 10.0; }
};

namespace AutoTunePlan {

// Outputs with a speaker name (not "off"), and those named as subwoofers.
bool HasSpeaker(const ParamBlock &block, int ch);
bool IsSubwoofer(const ParamBlock &block, int ch);

// The measured magnitude within the swept band, as a curve.
FreqCurve Measured(const CaptureResult &r);
// The measurement as the fit and the residuals see it: variable smoothing (SmoothVariable), so that the
// comb filtering of reflections, which moves with the microphone, is not chased.
FreqCurve Judged(const CaptureResult &r);
// The speaker's own response: the measurement less the output's equaliser, crossovers and volume.
FreqCurve SpeakerResponse(const CaptureResult &r, const ParamBlock &block, int ch);

// The first plan of each output from its measurement: polarity, arrival, equaliser and the predicted
// response, written into block. Outputs come in `t` with channel set; their before curves are filled here.
void PlanPolarity(OutputTuning &t, const CaptureResult &r, ParamBlock &block);
void PlanArrival(OutputTuning &t, const CaptureResult &r, const ParamBlock &block);
bool PlanEqualiser(OutputTuning &t, const FreqCurve &speaker, const TuningGoal &goal, ParamBlock &block);
// Delays of all tuned outputs from their arrivals.
void PlanDelays(std::vector<OutputTuning> &outputs, ParamBlock &block);
// Volumes of all tuned outputs from their predicted levels (only cuts, the subwoofer offset applied).
void PlanLevels(std::vector<OutputTuning> &outputs, const TuningGoal &goal, ParamBlock &block);

// Per output 0..5: the output its equaliser is linked to (left/right link carrying the equaliser), or -1.
using EqPartners = std::array<int, CH_COUNT>;
constexpr EqPartners NO_EQ_PARTNERS{-1, -1, -1, -1, -1, -1};

// Outputs whose equalisers are linked keep one equaliser, as the link keeps them: a linked pair both tuned is
// fitted once to the mean of the two speakers' responses (each judged by its own; neither refined alone); a
// partner not tuned gets the tuned one's equaliser, as the link would copy an edit. Both are noted.
void ShareLinkedEqualisers(std::vector<OutputTuning> &outputs, const std::vector<FreqCurve> &speakers,
                           const EqPartners &partners, const TuningGoal &goal, ParamBlock &block);

// The whole first plan from the measurements (one per channel, in the same order): the block to write.
ParamBlock Plan(const ParamBlock &start, const std::vector<CaptureResult> &measured, const TuningGoal &goal,
                std::vector<OutputTuning> &outputs, const EqPartners &partners = NO_EQ_PARTNERS);

// The residual of a response (any grid; read on the target's grid) against a target curve on the fit's grid.
double ResidualRms(const FreqCurve &response, const FreqCurve &target, const std::vector<bool> &counted);
// Records the verifying measurement and its residual.
void Verify(OutputTuning &t, const CaptureResult &r);
bool NeedsRefining(const OutputTuning &t);
// Fits the output again from its verifying measurement (through block, as written) and sets its volume so
// its level stays where the plan put it (never above 0 dB).
void Refine(OutputTuning &t, const CaptureResult &r, const TuningGoal &goal, ParamBlock &block);

// Names the sweep level an output was measured at, when its level check had to step down.
void NoteLevel(OutputTuning &t, double levelDbfs);

// The command line's report line: "CHn: delay X.XX ms, polarity +|-|ambiguous, level Y.Y dB, RMS predicted
// P.PP dB, verified V.VV dB" (level: the output's new volume).
QString ReportLine(const OutputTuning &t);

}  // namespace AutoTunePlan
