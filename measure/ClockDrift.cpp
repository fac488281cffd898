// Cross-correlation of the two copies of a doubled sweep's impulse response, with FFTW.
#include "ClockDrift.h"

#include "DirectSound.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

fftw_complex *Fc(std::complex<double> *p) { return reinterpret_cast<fftw_complex *>(p); }

}  // namespace

ClockDrift::ClockDrift(int window, int lead, int maxPeriod) : window_(window), lead_(lead)
{
    maxLag_ = int(std::ceil(maxPeriod * MAX_PPM * 1e-6)) + 8;
    size_ = 1;
    while (size_ < 2 * (window_ + maxLag_)) size_ *= 2;  // zero-padded: a linear, not circular, correlation
    fftw_make_planner_thread_safe();
    one_ = reinterpret_cast<std::complex<double> *>(fftw_alloc_complex(size_t(size_)));
    two_ = reinterpret_cast<std::complex<double> *>(fftw_alloc_complex(size_t(size_)));
    forwardOne_ = fftw_plan_dft_1d(size_, Fc(one_), Fc(one_), FFTW_FORWARD, FFTW_ESTIMATE);
    forwardTwo_ = fftw_plan_dft_1d(size_, Fc(two_), Fc(two_), FFTW_FORWARD, FFTW_ESTIMATE);
    backward_ = fftw_plan_dft_1d(size_, Fc(one_), Fc(one_), FFTW_BACKWARD, FFTW_ESTIMATE);
}

ClockDrift::~ClockDrift()
{
    for (fftw_plan p : {forwardOne_, forwardTwo_, backward_}) fftw_destroy_plan(p);
    fftw_free(one_);
    fftw_free(two_);
}

double ClockDrift::stretch(const std::complex<double> *a, int count, double first, double period)
{
    coherence_ = 0.0;
    const int start1 = int(std::floor(first)) - lead_ - maxLag_;
    const int start2 = start1 + int(std::lround(period));
    // Window one: the first copy; window two: the second, maxLag_ frames wider at each side.
    double e1 = 0.0, e2 = 0.0;
    std::fill(one_, one_ + size_, std::complex<double>());
    std::fill(two_, two_ + size_, std::complex<double>());
    for (int j = 0; j < window_ + 2 * maxLag_; ++j) {
        const int i1 = start1 + j, i2 = start2 + j;
        if (j >= maxLag_ && j < maxLag_ + window_ && i1 >= 0 && i1 < count) one_[j] = a[i1];
        if (i2 >= 0 && i2 < count) two_[j] = a[i2];
        e1 += std::norm(one_[j]);
    }
    fftw_execute(forwardOne_);
    fftw_execute(forwardTwo_);
    for (int k = 0; k < size_; ++k) one_[k] = std::conj(one_[k]) * two_[k] / double(size_);
    fftw_execute(backward_);  // one_[l]: sum of conj(window one[j]) window two[j + l]
    // Lags -maxLag_ .. maxLag_ around the nominal spacing, laid out in order (index maxLag_ is lag 0).
    std::vector<std::complex<double>> c(size_t(2 * maxLag_ + 1));
    for (int l = -maxLag_; l <= maxLag_; ++l) c[size_t(l + maxLag_)] = one_[(l + size_) % size_];
    int best = 0;
    for (int i = 1; i + 1 < int(c.size()); ++i)
        if (std::abs(c[size_t(i)]) > std::abs(c[size_t(best)])) best = i;
    if (best == 0) return 0.0;  // no maximum inside the searched clocks
    const double lag = EnvelopePeakNear(c.data(), int(c.size()), best) - maxLag_;
    // The energy of window two's part that lines up with window one at that lag.
    const int shift = int(std::lround(lag));
    for (int j = maxLag_; j < maxLag_ + window_; ++j) {
        const int i2 = start2 + j + shift;
        if (i2 >= 0 && i2 < count) e2 += std::norm(a[i2]);
    }
    coherence_ = e1 > 0.0 && e2 > 0.0 ? std::abs(AnalyticAt(c.data(), int(c.size()), lag + maxLag_)) / std::sqrt(e1 * e2) : 0.0;
    if (coherence_ < MIN_COHERENCE) return 0.0;
    return period / (std::round(period) + lag);
}
