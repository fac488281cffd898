// Measures a microphone's clock against the sound card's from two copies of one sweep in a single recording.
#pragma once

#include <complex>

struct fftw_plan_s;

// The sweep is played twice, back to back, `period` card frames apart; the recording's impulse response then
// holds the same response twice. On a microphone whose clock runs `stretch` times the card's (its frame k is
// taken at card frame k * stretch) the second copy lies period / stretch of its frames after the first, and both
// copies are bent alike by the drift, whatever the response. The spacing is the lag of the cross-correlation's
// peak of two windows of the analytic impulse response, one around each copy, refined between samples on the
// correlation's envelope (it is analytic too, so band-limited interpolation holds). The same method serves
// sweeps repeated in one continuous recording to correct clock drift in acoustic measurements.
class ClockDrift
{
public:
    static constexpr double MAX_PPM = 1000.0;     // clocks further apart are not searched for
    static constexpr double MIN_COHERENCE = 0.5;  // of the copies at the peak; below it they are not alike

    // window: frames compared from `lead` frames before each copy's direct sound (the envelope's peak, which a
    // low driver's onset precedes by milliseconds); period: card frames, at most maxPeriod.
    ClockDrift(int window, int lead, int maxPeriod);
    ~ClockDrift();
    ClockDrift(const ClockDrift &) = delete;
    ClockDrift &operator=(const ClockDrift &) = delete;

    // The stretch of the microphone's clock from an analytic impulse response a[0, count) whose first copy's
    // direct sound lies near frame `first`; 0 when the copies are not alike (see coherence()). The impulse
    // should be causal (band limits of minimum phase): ringing that precedes the window's start biases the lag.
    double stretch(const std::complex<double> *a, int count, double first, double period);
    // |correlation| / sqrt(energy of both windows) at the peak of the last measure: 1 for identical copies.
    double coherence() const { return coherence_; }

private:
    int window_, lead_, size_, maxLag_;
    std::complex<double> *one_ = nullptr, *two_ = nullptr;  // size_ each
    fftw_plan_s *forwardOne_ = nullptr, *forwardTwo_ = nullptr, *backward_ = nullptr;
    double coherence_ = 0.0;
};
