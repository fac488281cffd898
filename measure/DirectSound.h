// Finds the direct sound in an analytic impulse response: its arrival with sub-sample resolution and its sign.
#pragma once

#include <complex>

// How the direct sound is found (the peak of the envelope fails when a reflection is stronger):
//  1. the envelope |a[n]| of the analytic impulse response over [from, to), and its peak P;
//  2. the first sample at or above FRACTION × P (a reflection up to 1/FRACTION, 12 dB, stronger than the
//     direct sound still leaves the direct sound above it);
//  3. from there up the envelope to its first maximum that the envelope then falls clearly below (by DIP of P,
//     or NOISE_DIPS times the RMS of the noise before the threshold, whichever is more) and does not pass again
//     within BRIDGE samples: the direct sound's own peak, not a ripple that noise puts on a slowly rising
//     envelope, nor a side lobe of a sharp one (sampled, the envelope of a pulse near the top of the band shows
//     side lobes where the sampling instants fall, so the threshold may catch one);
//  4. that maximum refined between its neighbours by a golden-section search on the envelope evaluated
//     between samples (Blackman-Harris-windowed sinc interpolation of the analytic signal, ±64 taps).
// The phase of the analytic signal at that instant gives the polarity: 0° for a positive impulse, 180° for
// an inverted one; |cos| is the confidence, and near ±90° (a band-pass driver seen through its filter) the
// sign is ambiguous.
struct DirectSound {
    bool found = false;
    double time = 0.0;                  // samples from the start of the signal
    std::complex<double> value;         // the analytic signal at that instant
    double peak = 0.0;                  // the envelope's peak over the range

    static constexpr double FRACTION = 0.25;
    static constexpr double DIP = 0.01;
    static constexpr double NOISE_DIPS = 6.0;
    static constexpr int BRIDGE = 4;  // far below the earliest reflection (0.5 ms)
    static constexpr double SURE_COS = 0.5;  // |cos| below this (phase within 30° of ±90°) is ambiguous

    double cosine() const { return std::abs(value) > 0.0 ? value.real() / std::abs(value) : 0.0; }
};

// The direct sound in a[from, to) (0 <= from < to <= count).
DirectSound FindDirectSound(const std::complex<double> *a, int count, int from, int to);

// The maximum of the envelope |a| within a sample of m, between samples.
double EnvelopePeakNear(const std::complex<double> *a, int count, int m);

// The analytic signal at a fractional position t (band-limited interpolation; 0 outside the signal).
std::complex<double> AnalyticAt(const std::complex<double> *a, int count, double t);
