// Butterworth polynomials as products of their sections.
#include "AnalogFilter.h"

#include <cmath>

AnalogFilter::Complex AnalogFilter::butterworth(int n, Complex s)
{
    Complex b = (n % 2) ? s + 1.0 : Complex(1.0);
    for (int k = 1; k <= n / 2; ++k) {
        const double c = std::cos(M_PI * (2.0 * k + n - 1.0) / (2.0 * n));  // pole pair at angle (2k + n - 1) pi / 2n
        b *= s * s - 2.0 * c * s + 1.0;
    }
    return 1.0 / b;
}

AnalogFilter::Complex AnalogFilter::butterworthPass(int n, bool lowPass, double fc, double f)
{
    if (!lowPass && f <= 0.0) return 0.0;
    return butterworth(n, lowPass ? Complex(0.0, f / fc) : Complex(0.0, -fc / f));
}
