// A small view of one measured impulse response around the direct sound: the arrival marker, the polarity and the SNR.
#pragma once

#include "CaptureResult.h"

#include <QString>
#include <QWidget>

#include <vector>

class ImpulseView : public QWidget
{
    Q_OBJECT
public:
    static constexpr double BEFORE_MS = 2.0;  // shown before the arrival
    static constexpr double AFTER_MS = 10.0;  // and after it

    explicit ImpulseView(QWidget *parent = nullptr);

    // Keeps the stretch around the arrival, scaled to its peak; warning (clipping, no signal) is drawn over it.
    void setResult(const CaptureResult &result, const QString &warning);
    // Nothing measured: the text is shown instead of a response.
    void clear(const QString &text);

    bool empty() const { return samples_.empty(); }
    Polarity polarity() const { return polarity_; }
    double arrivalIndex() const { return arrival_; }  // in samples_, sub-sample

    QSize sizeHint() const override { return {420, 150}; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    std::vector<float> samples_;  // the shown stretch, peak 1
    double arrival_ = 0.0;
    Polarity polarity_ = Polarity::Ambiguous;
    double snrDb_ = 0.0;
    QString text_;  // the warning over a response, or the text instead of one
};
