// The auto-tune's decisions: polarity, delays, levels and equalisers from measurements, and their verification.
#include "AutoTunePlan.h"

#include "OutputResponse.h"
#include "ProcessorResponse.h"
#include "Smoothing.h"
#include "SpeakerCodes.h"
#include "TargetCurve.h"
#include "TimeAlignment.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int VOLUME_ZERO_DB = 600;  // ChVol code of 0 dB; 0.1 dB per code

double VolumeDb(const ParamBlock &block, int ch) { return (int(block.ChVol[ch]) - VOLUME_ZERO_DB) / 10.0; }

FreqCurve TargetOf(const TuningGoal &goal) { return goal.target.empty() ? BuiltInTarget(TargetKind::Flat) : goal.target; }

// The output's own target: the goal's curve through the output's crossovers, whose roll-off is the user's.
FreqCurve OutputTarget(const TuningGoal &goal, const ParamBlock &block, int ch)
{
    const FreqCurve raw = TargetOf(goal);
    FreqCurve c;
    c.hz = LogGrid(GRAPH_MIN_FREQ, GRAPH_MAX_FREQ, FIT_POINTS_PER_OCTAVE);
    c.db = raw.sample(c.hz);
    const std::vector<double> xo = OutputCrossoverDb(block, ch, c.hz);
    for (size_t i = 0; i < c.db.size(); ++i) c.db[i] += xo[i];
    return c;
}

// Mean over the counted points of response minus target, both read on the target's grid.
double MeanOffset(const FreqCurve &response, const FreqCurve &target, const std::vector<bool> &counted)
{
    const std::vector<double> r = response.sample(target.hz);
    double sum = 0.0;
    int n = 0;
    for (size_t i = 0; i < r.size(); ++i) {
        if (i < counted.size() && !counted[i]) continue;
        sum += r[i] - target.db[i];
        ++n;
    }
    return n ? sum / n : 0.0;
}

void Shift(FreqCurve &c, double db)
{
    for (double &v : c.db) v += db;
}

void AddNote(OutputTuning &t, const QString &note) { t.note += (t.note.isEmpty() ? QString() : QStringLiteral("; ")) + note; }

// The output's level against the raw target, and the target moved there.
void PlaceTarget(OutputTuning &t, const TuningGoal &goal, const ParamBlock &block)
{
    const FreqCurve raw = OutputTarget(goal, block, t.channel);
    t.target.db = raw.sample(t.target.hz);
    t.levelDb = MeanOffset(t.predicted, t.target, t.counted);
    Shift(t.target, t.levelDb);
}

// Moves the output's volume by up to `db` (0.1 dB steps, within -60..0 dB) and its prediction with it.
void MoveVolume(OutputTuning &t, double db, ParamBlock &block)
{
    const int ch = t.channel;
    const int wanted = int(block.ChVol[ch]) + int(std::lround(db * 10.0));
    const int code = std::clamp(wanted, 0, VOLUME_ZERO_DB);
    t.volumeLimited = wanted < 0;
    const double moved = (code - int(block.ChVol[ch])) / 10.0;
    block.ChVol[ch] = uint16_t(code);
    t.volume = uint16_t(code);
    Shift(t.predicted, moved);
    Shift(t.target, moved);
    t.levelDb += moved;
}

// Fits output t's bands to its target on the smoothed speaker response and writes them into block.
FitResult FitBands(OutputTuning &t, const FreqCurve &speaker, const TuningGoal &goal, ParamBlock &block)
{
    const int ch = t.channel;
    FitSettings settings = DefaultFitSettings(block, ch);
    if (goal.loHz > 0.0) settings.loHz = std::max(settings.loHz, goal.loHz);
    if (goal.hiHz > 0.0) settings.hiHz = std::min(settings.hiHz, goal.hiHz);
    settings.maxBoostDb = goal.maxBoostDb;
    const FitResult fit = FitOutput(SmoothVariable(speaker), OutputTarget(goal, block, ch), block, ch, settings);
    t.fitted = fit.ok();
    t.volume = block.ChVol[ch];
    if (!t.fitted) {
        AddNote(t, fit.fault == FitFault::EmptyRange ? QStringLiteral("the pass band was not measured; equaliser left as it was")
                                                     : QStringLiteral("too little was measured; equaliser left as it was"));
        return fit;
    }
    block.EqBypass[ch] = 0;  // the fitted bands must sound
    for (int b = 0; b < BAND_COUNT; ++b) {
        block.EqFreq[ch][b] = fit.bands[b].freq;
        block.EqGain[ch][b] = fit.bands[b].gain;
        block.EqQ[ch][b] = fit.bands[b].q;
    }
    return fit;
}

// Output t's counted points, prediction and residual with the bands now in block, from its own speaker.
void Evaluate(OutputTuning &t, const FreqCurve &speaker, const FitResult &fit, const TuningGoal &goal, const ParamBlock &block)
{
    const int ch = t.channel;
    t.loHz = fit.loHz;
    t.hiHz = fit.hiHz;
    // Points the maximum boost cannot bring to the target (the speaker's own roll-off beyond the output's
    // crossovers, a cancellation) do not count, as in the fit's share within +-1 dB; named when many.
    t.counted = fit.counted;
    const std::vector<double> sp = SmoothVariable(speaker).sample(fit.target.hz), xoFit = OutputCrossoverDb(block, ch, fit.target.hz);
    int outOfReach = 0;
    for (size_t i = 0; i < t.counted.size(); ++i) {
        if (!t.counted[i] || fit.target.db[i] - sp[i] - xoFit[i] <= goal.maxBoostDb) continue;
        t.counted[i] = false;
        ++outOfReach;
    }
    if (outOfReach * 20 > int(t.counted.size()))
        AddNote(t, QStringLiteral("%1 % of the pass band beyond the maximum boost, not counted")
                       .arg(100 * outOfReach / int(t.counted.size())));
    // What the verification will judge: the speaker through the new settings, smoothed as Judged() does (the
    // smoothing blurs narrow bands as it blurs the measurement through them).
    FreqCurve through = speaker;
    const std::vector<double> eq = OutputEqDb(block, ch, through.hz), xo = OutputCrossoverDb(block, ch, through.hz);
    for (int i = 0; i < through.size(); ++i) through.db[i] += eq[i] + xo[i] + VolumeDb(block, ch);
    t.predicted = FreqCurve{fit.predicted.hz, SmoothVariable(through).sample(fit.predicted.hz)};
    t.target = fit.target;
    PlaceTarget(t, goal, block);
    t.rmsPredicted = AutoTunePlan::ResidualRms(t.predicted, t.target, t.counted);
}

}  // namespace

namespace AutoTunePlan {

bool HasSpeaker(const ParamBlock &block, int ch) { return ch >= 0 && ch < CH_COUNT && block.ChName[ch] != SPK_OFF; }

bool IsSubwoofer(const ParamBlock &block, int ch)
{
    if (ch < 0 || ch >= CH_COUNT) return false;
    const uint8_t c = block.ChName[ch];
    return c == SPK_LSUB || c == SPK_RSUB || c == SPK_SSUB;
}

FreqCurve Measured(const CaptureResult &r)
{
    FreqCurve c;
    for (size_t i = 0; i < r.hz.size() && i < r.magnitudeDb.size(); ++i) {
        if (r.hz[i] < r.validLowHz || r.hz[i] > r.validHighHz || !std::isfinite(r.magnitudeDb[i])) continue;
        c.hz.push_back(r.hz[i]);
        c.db.push_back(r.magnitudeDb[i]);
    }
    return c;
}

FreqCurve Judged(const CaptureResult &r) { return SmoothVariable(Measured(r)); }

FreqCurve SpeakerResponse(const CaptureResult &r, const ParamBlock &block, int ch)
{
    FreqCurve c = Measured(r);
    const std::vector<double> eq = OutputEqDb(block, ch, c.hz);
    const std::vector<double> xo = OutputCrossoverDb(block, ch, c.hz);
    const double volume = VolumeDb(block, ch);
    for (int i = 0; i < c.size(); ++i) c.db[i] -= eq[i] + xo[i] + volume;
    return c;
}

void PlanPolarity(OutputTuning &t, const CaptureResult &r, ParamBlock &block)
{
    const int ch = t.channel;
    // Between two crossovers less than four octaves apart, the filters (the processor's and, as a rule, the
    // driver's own at the same corners) turn the phase at the arrival by half a turn or more: the reading is
    // not trusted there (on random cars such readings were wrong one time in three). Without a low-pass the
    // swept band's top takes its place: a tweeter high-passed at 1.25 kHz or more is such a band-pass (on
    // random cars none of them read right, and steep ones read inverted with confidence).
    const double top = block.LpfBypass[ch] ? r.validHighHz : double(block.LpfFreq[ch]);
    const bool narrow = !block.HpfBypass[ch] && top < 16.0 * block.HpfFreq[ch];
    t.polarity = narrow ? Polarity::Ambiguous : r.polarity;
    t.phaseSwitched = t.polarity == Polarity::Negative;
    if (t.phaseSwitched) block.ChPhase[ch] = block.ChPhase[ch] == 0 ? 1 : 0;
    if (narrow && r.polarity != Polarity::Ambiguous)
        AddNote(t, QStringLiteral("polarity not trusted between crossovers less than four octaves apart, left as it was"));
    else if (t.polarity == Polarity::Ambiguous)
        AddNote(t, QStringLiteral("polarity ambiguous, left as it was"));
}

void PlanArrival(OutputTuning &t, const CaptureResult &r, const ParamBlock &block)
{
    t.arrivalMs = r.arrivalMs() - block.ChDelay[t.channel] / 100.0;
    t.delay = block.ChDelay[t.channel];
}

bool PlanEqualiser(OutputTuning &t, const FreqCurve &speaker, const TuningGoal &goal, ParamBlock &block)
{
    const FitResult fit = FitBands(t, speaker, goal, block);
    if (t.fitted) Evaluate(t, speaker, fit, goal, block);
    return t.fitted;
}

void ShareLinkedEqualisers(std::vector<OutputTuning> &outputs, const std::vector<FreqCurve> &speakers,
                           const EqPartners &partners, const TuningGoal &goal, ParamBlock &block)
{
    for (size_t i = 0; i < outputs.size() && i < speakers.size(); ++i) {
        OutputTuning &a = outputs[i];
        const int p = partners[size_t(a.channel)];
        if (p < 0 || p >= CH_COUNT || !a.fitted) continue;
        a.eqPartner = p;
        size_t j = 0;
        while (j < outputs.size() && outputs[j].channel != p) ++j;
        if (j == outputs.size()) {  // the partner is not tuned: it follows, as the link makes it follow any edit
            block.copyEqualiser(p, a.channel);
            AddNote(a, QStringLiteral("equaliser copied to linked CH%1").arg(p + 1));
            continue;
        }
        OutputTuning &b = outputs[j];
        if (p < a.channel && b.fitted && partners[size_t(p)] == a.channel) continue;  // fitted from its first output
        b.eqPartner = a.channel;
        if (!b.fitted) {
            block.copyEqualiser(p, a.channel);
            AddNote(a, QStringLiteral("equaliser copied to linked CH%1").arg(p + 1));
            continue;
        }
        // One equaliser for both, fitted to the mean of their responses, each judged by its own.
        FreqCurve mean;
        const FreqCurve &sa = speakers[i], &sb = speakers[j];
        const double lo = std::max(sa.hz.front(), sb.hz.front()), hi = std::min(sa.hz.back(), sb.hz.back());
        for (int k = 0; k < sa.size(); ++k) {
            if (sa.hz[k] < lo || sa.hz[k] > hi) continue;
            mean.hz.push_back(sa.hz[k]);
            mean.db.push_back(0.5 * (sa.db[k] + sb.at(sa.hz[k])));
        }
        OutputTuning shared;
        shared.channel = a.channel;
        const FitResult fit = FitBands(shared, mean, goal, block);
        if (!shared.fitted) continue;
        block.copyEqualiser(p, a.channel);
        for (OutputTuning *t : {&a, &b}) {
            Evaluate(*t, t == &a ? sa : sb, fit, goal, block);
            AddNote(*t, QStringLiteral("one equaliser with linked CH%1").arg((t == &a ? b : a).channel + 1));
        }
    }
}

void PlanDelays(std::vector<OutputTuning> &outputs, ParamBlock &block)
{
    std::array<double, CH_COUNT> cm{};
    for (const OutputTuning &t : outputs) cm[size_t(t.channel)] = std::max(0.0, t.arrivalMs) * SPEED_OF_SOUND_CM_PER_MS;
    const Alignment al = AlignDelays(cm, DistanceUnit::Centimetres);
    if (!al.ok) return;
    for (OutputTuning &t : outputs) {
        t.delay = al.delay[size_t(t.channel)];
        t.delayLimited = al.limited[size_t(t.channel)];
        block.ChDelay[t.channel] = t.delay;
        if (t.delayLimited) AddNote(t, QStringLiteral("delay limited to 15.00 ms; more was needed"));
    }
}

void PlanLevels(std::vector<OutputTuning> &outputs, const TuningGoal &goal, ParamBlock &block)
{
    // Every output is cut to the quietest; a subwoofer counts as subOffsetDb quieter than it is.
    auto relative = [&](const OutputTuning &t) {
        return t.levelDb - (IsSubwoofer(block, t.channel) ? goal.subOffsetDb : 0.0);
    };
    bool any = false;
    double quietest = 0.0;
    for (const OutputTuning &t : outputs) {
        if (!t.fitted) continue;
        quietest = any ? std::min(quietest, relative(t)) : relative(t);
        any = true;
    }
    for (OutputTuning &t : outputs) {
        if (!t.fitted) continue;
        MoveVolume(t, quietest - relative(t), block);
        if (t.volumeLimited) AddNote(t, QStringLiteral("volume at its lowest; the level is still too high"));
    }
}

ParamBlock Plan(const ParamBlock &start, const std::vector<CaptureResult> &measured, const TuningGoal &goal,
                std::vector<OutputTuning> &outputs, const EqPartners &partners)
{
    ParamBlock block = start;
    std::vector<FreqCurve> speakers;
    for (size_t i = 0; i < outputs.size() && i < measured.size(); ++i) {
        OutputTuning &t = outputs[i];
        const CaptureResult &r = measured[i];
        t.before = Measured(r);
        t.volume = start.ChVol[t.channel];
        PlanArrival(t, r, start);
        PlanPolarity(t, r, block);
        speakers.push_back(SpeakerResponse(r, start, t.channel));
        PlanEqualiser(t, speakers.back(), goal, block);
    }
    ShareLinkedEqualisers(outputs, speakers, partners, goal, block);
    PlanDelays(outputs, block);
    PlanLevels(outputs, goal, block);
    return block;
}

double ResidualRms(const FreqCurve &response, const FreqCurve &target, const std::vector<bool> &counted)
{
    const std::vector<double> r = response.sample(target.hz);
    const double mean = MeanOffset(response, target, counted);
    double sum = 0.0;
    int n = 0;
    for (size_t i = 0; i < r.size(); ++i) {
        if (i < counted.size() && !counted[i]) continue;
        const double e = r[i] - target.db[i] - mean;
        sum += e * e;
        ++n;
    }
    return n ? std::sqrt(sum / n) : 0.0;
}

void Verify(OutputTuning &t, const CaptureResult &r)
{
    t.after = Measured(r);
    if (!t.fitted || t.after.size() < 2) return;
    const FreqCurve judged = Judged(r);
    t.rmsVerified = ResidualRms(judged, t.target, t.counted);
    t.levelVerifiedDb = t.levelDb + MeanOffset(judged, t.target, t.counted);
}

bool NeedsRefining(const OutputTuning &t)
{
    return t.fitted && !t.refined && t.eqPartner < 0 && t.rmsVerified >= 0.0 && t.rmsVerified > t.rmsPredicted + REFINE_MARGIN_DB;
}

void Refine(OutputTuning &t, const CaptureResult &r, const TuningGoal &goal, ParamBlock &block)
{
    const double planned = t.levelDb;
    if (!PlanEqualiser(t, SpeakerResponse(r, block, t.channel), goal, block)) return;
    t.refined = true;
    t.rmsVerified = -1.0;
    MoveVolume(t, planned - t.levelDb, block);  // never above 0 dB
}

void NoteLevel(OutputTuning &t, double levelDbfs)
{
    AddNote(t, QStringLiteral("the microphone clipped; measured at %1 dBFS").arg(levelDbfs, 0, 'f', 0));
}

QString ReportLine(const OutputTuning &t)
{
    return QStringLiteral("CH%1: delay %2 ms, polarity %3, level %4 dB, RMS predicted %5 dB, verified %6 dB")
        .arg(t.channel + 1)
        .arg(t.delayMs(), 0, 'f', 2)
        .arg(PolarityText(t.polarity))
        .arg(t.volumeDb(), 0, 'f', 1)
        .arg(t.rmsPredicted, 0, 'f', 2)
        .arg(t.rmsVerified, 0, 'f', 2);
}

}  // namespace AutoTunePlan
