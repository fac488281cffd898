// Turns the recording of one sweep into a CaptureResult: deconvolution, timing, polarity, response, quality.
#pragma once

#include "AudioIo.h"
#include "CaptureResult.h"
#include "ClockDrift.h"
#include "DirectSound.h"
#include "MicCalibration.h"
#include "Sweep.h"

#include <complex>
#include <limits>
#include <vector>

struct AnalysisOptions {
    const MicCalibration *mic = nullptr;  // subtracted from the magnitude when set
    SplCalibration spl;                   // magnitudes in dB SPL when valid
    // The microphone's clock (ppm against the card's) when an earlier capture of the same run read it; a sweep
    // played once is then divided by the sweep as that clock records it. NaN: unknown (a single sweep is taken
    // on the card's clock).
    double clockPpm = std::numeric_limits<double>::quiet_NaN();
};

struct fftw_plan_s;

// The FFT sizes and plans are fixed by the sweep: build one analyzer per sweep and worker thread. FFTW plans
// are made here (FFTW_ESTIMATE, with FFTW's planner lock on), so analyzers can be built on any thread; one
// analyzer must not analyse on two threads at once.
//
// The impulse response is the recording divided by the sweep in the frequency domain (not convolved with a
// time-reversed sweep): the division is exact wherever the sweep has energy, so fades and level do not
// colour the result. Outside the swept band the division is faded out (a causal high-pass an octave below,
// a short raised-cosine taper above) so that the noise there stays out and no long ringing precedes the
// direct sound.
//
// A sweep played twice gives the microphone's clock (ClockDrift); the microphone's recording is then divided by
// the sweep as that clock records it (the sweep's formula at its stretched times), which undoes the drift
// exactly wherever the sweep has energy, and the two copies are averaged. Times are then given in card frames.
class SweepAnalyzer
{
public:
    // The response is gated from preMs before the direct sound to gateMs after it.
    explicit SweepAnalyzer(const Sweep &sweep, double gateMs = 300.0, double preMs = 5.0);
    ~SweepAnalyzer();
    SweepAnalyzer(const SweepAnalyzer &) = delete;
    SweepAnalyzer &operator=(const SweepAnalyzer &) = delete;

    // Input 1 is the microphone, input 2 the loopback when the sweep's settings have one.
    CaptureResult analyze(const AudioCapture &capture, const AnalysisOptions &options);

    int fftSize() const { return n_; }
    // The zero-phase band the arrival and polarity are found in (the low limit's phase undone, the division's
    // own limits where the sweep is weak included): an impulse response filtered by it and searched as the
    // analysis searches gives the arrival a measurement should.
    double bandWeight(double hz) const;

private:
    // The band-limited inverse of a sweep (its samples from frame 0) into inverse.
    void invert(const std::vector<double> &x, std::vector<std::complex<double>> &inverse);
    // The deconvolved spectrum of one input into bins_.
    void deconvolve(const AudioCapture &capture, int channel, const std::vector<std::complex<double>> &inverse);
    // The analytic impulse of bins_, each bin times factor, into analytic (size n_).
    void analytic(std::vector<std::complex<double>> &analytic, const std::vector<std::complex<double>> &factor);
    // Where the direct sound was not found before searchEnd: true, with r.lateSeconds and r.problem set, when the
    // envelope after it stands clearly above the searched part's peak (early.peak), the sound card's latency
    // being longer than the tail allows.
    bool late(const std::vector<std::complex<double>> &analytic, const DirectSound &early, int searchEnd,
              CaptureResult &r) const;
    // SNR of one input: the power while the sweep is heard (from start) over the power of the last 0.2 s.
    double snrDb(const AudioCapture &capture, int channel, double start) const;
    // The gated response around the direct sound at position a of r.impulse.
    void response(CaptureResult &r, const AnalysisOptions &options, double a);

    Sweep sweep_;
    int n_;            // deconvolution size
    int m_;            // gated-response size
    int gateFrames_;
    int preFrames_;
    std::vector<std::complex<double>> inverse_;  // band-limited 1 / sweep spectrum, n_/2 + 1 bins
    std::vector<std::complex<double>> drifted_;  // the same for the sweep on the microphone's clock
    std::vector<std::complex<double>> unturn_;   // the low band limit's phase, undone for the analytic signal
    std::vector<std::complex<double>> matched_;  // |sweep spectrum| / its peak: noise made white again
    std::vector<std::complex<double>> micAnalytic_, loopAnalytic_;
    double *real_ = nullptr;                     // n_
    std::complex<double> *bins_ = nullptr;       // n_/2 + 1
    std::complex<double> *complex_ = nullptr;    // n_
    double *gate_ = nullptr;                     // m_
    std::complex<double> *gateBins_ = nullptr;   // m_/2 + 1
    std::vector<std::complex<double>> micBins_;  // the microphone's spectrum: as recorded, then deconvolved
    ClockDrift drift_;
    fftw_plan_s *forward_ = nullptr, *backward_ = nullptr, *analyticPlan_ = nullptr, *gatePlan_ = nullptr;
};
