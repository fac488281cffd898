// Places and refines peaking bands against a wanted correction on a log-frequency grid: the PEQ and GEQ
// fits of the auto-EQ and the fit of a filter file's response into the bands.
//
// The PEQ fit, and why:
// - Stages. Ten bands are placed greedily (one per largest remaining deviation, its Q from the deviation's
//   width) and refined jointly; then up to seven more at a time are placed on what the refined bands leave
//   and all are refined again, until the free bands are used. Placing all bands greedily on the raw
//   deviation (the old way) put the extra bands on the first bands' leftovers, so the joint refinement
//   ended in a local minimum barely better than ten bands; placing them on the refined residual lets every
//   stage start from a better point than the stage before (the refinement keeps the best point it saw).
//   The 31-band fit thus passes through the ten-band fit's result (the same fit with 21 bands locked flat)
//   and goes on from there; only the tidying below may give back up to 0.1 dB. Multiple random starts were
//   not needed for that and would not fit the time (about 40 ms per output as it is).
// - Spacing. Two bands closer than 1/12 octave are merged into one (gains summed, centre weighted by gain,
//   Q of the larger) and the set refined briefly; the merge stands unless it raises the RMS error by more
//   than 0.1 dB. Freed bands are placed again on the residual and the set refined once more.
// - Narrow boosts (Q 2 or more) above 12 kHz or within half an octave of a high-pass corner must pay:
//   each is taken out and the set refined briefly; it stays out unless that raises the RMS error by more
//   than 0.1 dB. They usually chase a roll-off or comb noise that moves with the microphone.
// - Quantising. Frequencies and Q are rounded to the processor's steps first, then the gains are refined
//   again with them fixed and rounded last, which recovers most of what rounding a low Q costs.
// The refinement is NLopt's bounded L-BFGS with the analytic gradient of EqFitModel (see AutoEq.h).
#pragma once

#include <vector>

#include "EqFitModel.h"
#include "FreqCurve.h"
#include "OutputResponse.h"

class BandFitter
{
public:
    struct Problem {
        std::vector<double> hz;      // ascending grid, log-spaced
        std::vector<double> wanted;  // correction in dB that the free bands should make
        std::vector<bool> counted;   // the points whose error counts
        double maxBoostDb = 6.0;     // per band, and for the free bands' sum (a penalty in the fit)
        double cornerHz = 0.0;       // a high-pass corner where narrow boosts must pay (0: none)
    };

    explicit BandFitter(const Problem &problem);

    // Frequency, gain and Q of the bands listed in `free`; the others are left alone. Free bands that
    // the fit does not need are set to 0 dB and keep frequency and Q.
    void fitBands(BandSet &bands, const std::vector<int> &free);
    // Gains only, at the bands' own frequencies and Q.
    void fitGains(BandSet &bands, const std::vector<int> &free);

private:
    using Band = EqFitModel::Band;

    void addGreedy(std::vector<Band> &bands, int count);
    double refine(std::vector<Band> &bands, bool gainsOnly, int evaluations);
    double rms(std::vector<Band> &bands);
    bool mergeClosePairs(std::vector<Band> &bands, double &error);
    bool pruneNarrowBoosts(std::vector<Band> &bands, double &error);
    bool mustPay(const Band &b) const;
    BandCode quantise(const Band &b) const;

    Problem p_;
    EqFitModel model_;
    int countedPoints_ = 0;
    std::vector<double> pruned_;  // ln Hz of the narrow boosts taken out in this fit: no greedy band goes there
};
