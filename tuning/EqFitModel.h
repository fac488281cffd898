// Squared error of a set of peaking bands against a wanted correction on a log-frequency grid, with its
// analytic gradient: the objective the auto-EQ hands to the optimiser.
#pragma once

#include <vector>

class EqFitModel
{
public:
    // One band in the optimiser's variables.
    struct Band {
        double gainDb;
        double lnHz;  // natural log of the centre frequency
        double lnQ;
    };
    static constexpr int VARS_PER_BAND = 3;  // gain, ln f, ln Q, in this order in the gradient

    // wanted: the correction in dB the bands should make at each grid frequency; counted: whether the
    // point's error counts (the summed response is pushed below maxBoostDb by a penalty at every point).
    EqFitModel(const std::vector<double> &hz, const std::vector<double> &wanted, const std::vector<bool> &counted,
               double maxBoostDb);

    int points() const { return int(c1_.size()); }
    // Mean squared error (plus the boost penalty) of the bands; with grad set, its derivative by every
    // band's gain, ln f and ln Q (VARS_PER_BAND entries per band).
    double evaluate(const Band *bands, int count, double *grad);
    // Summed response of the bands in dB at each grid frequency.
    std::vector<double> response(const Band *bands, int count);

private:
    // A band's section and its derivatives by the three variables.
    struct Section {
        double c[5];     // b0, b1, b2, a1, a2
        double d[3][5];  // by gain, ln f, ln Q
    };
    void build(const Band *bands, int count);
    void accumulateProduct();

    std::vector<double> c1_, c2_;  // cos w and cos 2w of each grid frequency
    std::vector<double> wanted_;
    std::vector<double> counted_;  // 1 where the error counts, else 0
    std::vector<double> product_;  // product of the sections' power gains per point
    std::vector<double> inverseNum_, inverseDen_;  // 1 / numerator and denominator, per section and point
    std::vector<double> weight_;   // d(error)/d(ln P) per point
    std::vector<Section> sections_;
    double maxBoostDb_;
};
