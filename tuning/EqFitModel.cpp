// The fit's objective: sections multiplied per point so that one logarithm per point suffices, and the
// gradient gathered per band through the coefficients' derivatives.
#include "EqFitModel.h"

#include <algorithm>
#include <cmath>

#include "ProcessorResponse.h"

namespace {

constexpr double DB_PER_LN = 10.0 / 2.302585092994046;  // 10 log10 P = DB_PER_LN ln P
constexpr double BOOST_PENALTY = 30.0;
constexpr double LN10_OVER_20 = 2.302585092994046 / 20.0;

// A section's numerator and denominator of |H|^2 as polynomials in cos w and cos 2w.
struct PowerTerms {
    double nq, n1, n2, dq, d1, d2;
    explicit PowerTerms(const double *c)  // b0, b1, b2, a1, a2
        : nq(c[0] * c[0] + c[1] * c[1] + c[2] * c[2]), n1(2.0 * c[1] * (c[0] + c[2])), n2(2.0 * c[0] * c[2]),
          dq(1.0 + c[3] * c[3] + c[4] * c[4]), d1(2.0 * c[3] * (1.0 + c[4])), d2(2.0 * c[4])
    {
    }
};

}  // namespace

EqFitModel::EqFitModel(const std::vector<double> &hz, const std::vector<double> &wanted,
                       const std::vector<bool> &counted, double maxBoostDb)
    : c1_(hz.size()), c2_(hz.size()), wanted_(wanted), counted_(hz.size(), 1.0), product_(hz.size()),
      weight_(hz.size()), maxBoostDb_(maxBoostDb)
{
    for (size_t i = 0; i < hz.size(); ++i) {
        SectionCosines(hz[i], c1_[i], c2_[i]);
        if (i < counted.size() && !counted[i]) counted_[i] = 0.0;
    }
    wanted_.resize(hz.size(), 0.0);
}

void EqFitModel::build(const Band *bands, int count)
{
    sections_.resize(count);
    for (int k = 0; k < count; ++k) {
        const double A = std::pow(10.0, bands[k].gainDb / 20.0);
        const double f = std::exp(bands[k].lnHz);
        const double q = std::exp(bands[k].lnQ);
        const EqSection s = PeakingSection(A, f, q);
        Section &out = sections_[k];
        out.c[0] = s.b0; out.c[1] = s.b1; out.c[2] = s.b2; out.c[3] = s.a1; out.c[4] = s.a2;

        // The same construction differentiated: A by the gain, w0 by ln f, D by ln Q (and by the gain in cuts).
        const double w0 = f * EQ_OMEGA_PER_HZ;
        const double sn = std::sin(w0), cs = std::cos(w0);
        const double D = A >= 1.0 ? 4.0 * q : 4.0 * q * A;
        const double r = s.a2;
        const double dA[3] = {A * LN10_OVER_20, 0.0, 0.0};
        const double dw0[3] = {0.0, w0, 0.0};
        const double dD[3] = {A >= 1.0 ? 0.0 : D * LN10_OVER_20, 0.0, D};
        for (int v = 0; v < VARS_PER_BAND; ++v) {
            const double ds = cs * dw0[v];
            const double dr = 2.0 * (sn * dD[v] - D * ds) / ((D + sn) * (D + sn));
            double *d = out.d[v];
            d[0] = 0.5 * (dr * (1.0 - A) + (1.0 - r) * dA[v]);
            d[1] = sn * dw0[v] * (1.0 + r) - cs * dr;
            d[2] = 0.5 * (dr * (1.0 + A) - (1.0 - r) * dA[v]);
            d[3] = d[1];
            d[4] = dr;
        }
    }
}

void EqFitModel::accumulateProduct()
{
    const int n = points();
    const double *c1 = c1_.data();
    const double *c2 = c2_.data();
    double *prod = product_.data();
    std::fill(product_.begin(), product_.end(), 1.0);
    inverseNum_.resize(sections_.size() * size_t(n));
    inverseDen_.resize(sections_.size() * size_t(n));
    for (size_t k = 0; k < sections_.size(); ++k) {
        const PowerTerms t(sections_[k].c);
        double *rn = inverseNum_.data() + k * size_t(n);
        double *rd = inverseDen_.data() + k * size_t(n);
        for (int i = 0; i < n; ++i) {
            rn[i] = 1.0 / (t.nq + t.n1 * c1[i] + t.n2 * c2[i]);
            rd[i] = 1.0 / (t.dq + t.d1 * c1[i] + t.d2 * c2[i]);
            prod[i] *= rd[i] / rn[i];
        }
    }
}

std::vector<double> EqFitModel::response(const Band *bands, int count)
{
    build(bands, count);
    accumulateProduct();
    std::vector<double> out(product_.size());
    for (size_t i = 0; i < out.size(); ++i) out[i] = DB_PER_LN * std::log(product_[i]);
    return out;
}

double EqFitModel::evaluate(const Band *bands, int count, double *grad)
{
    build(bands, count);
    accumulateProduct();
    const int n = points();
    if (n == 0) return 0.0;
    double sum = 0.0;
    for (int i = 0; i < n; ++i) {
        const double eq = DB_PER_LN * std::log(product_[i]);
        const double e = (eq - wanted_[i]) * counted_[i];
        const double over = std::max(0.0, eq - maxBoostDb_);
        sum += e * e + BOOST_PENALTY * over * over;
        weight_[i] = 2.0 / n * (e + BOOST_PENALTY * over) * DB_PER_LN;
    }
    if (!grad) return sum / n;

    // d ln P / d coefficient = (dNum/dc) / Num - (dDen/dc) / Den. Num and Den are quadratic in the
    // coefficients with the cosines as weights, so the per-point parts gather into three sums each
    // (weight / Num or / Den, times 1, cos w and cos 2w), combined with the coefficients' derivatives by the
    // three variables afterwards.
    const double *c1 = c1_.data();
    const double *c2 = c2_.data();
    const double *w = weight_.data();
    for (int k = 0; k < count; ++k) {
        const Section &s = sections_[k];
        const double b0 = s.c[0], b1 = s.c[1], b2 = s.c[2], a1 = s.c[3], a2 = s.c[4];
        const double *rn = inverseNum_.data() + size_t(k) * size_t(n);
        const double *rd = inverseDen_.data() + size_t(k) * size_t(n);
        double n0 = 0, n1 = 0, n2 = 0, d0 = 0, d1 = 0, d2 = 0;
        for (int i = 0; i < n; ++i) {
            const double alpha = w[i] * rn[i];
            const double beta = w[i] * rd[i];
            n0 += alpha;
            n1 += alpha * c1[i];
            n2 += alpha * c2[i];
            d0 += beta;
            d1 += beta * c1[i];
            d2 += beta * c2[i];
        }
        const double sb0 = 2.0 * (b0 * n0 + b1 * n1 + b2 * n2);
        const double sb1 = 2.0 * (b1 * n0 + (b0 + b2) * n1);
        const double sb2 = 2.0 * (b2 * n0 + b1 * n1 + b0 * n2);
        const double sa1 = 2.0 * (a1 * d0 + (1.0 + a2) * d1);
        const double sa2 = 2.0 * (a2 * d0 + a1 * d1 + d2);
        for (int v = 0; v < VARS_PER_BAND; ++v) {
            const double *d = s.d[v];
            grad[k * VARS_PER_BAND + v] = sb0 * d[0] + sb1 * d[1] + sb2 * d[2] - sa1 * d[3] - sa2 * d[4];
        }
    }
    return sum / n;
}
