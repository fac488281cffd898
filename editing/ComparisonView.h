// A small widget showing one output's before/after plot (the setup sheet's plot, on screen).
#pragma once

#include "OutputComparison.h"

#include <QString>
#include <QWidget>
#include <cstdint>

class ComparisonView : public QWidget
{
    Q_OBJECT
public:
    explicit ComparisonView(QWidget *parent = nullptr);

    void setComparison(const OutputComparison &c, const QString &title, uint8_t language);
    const OutputComparison &comparison() const { return comparison_; }
    QSize sizeHint() const override { return QSize(340, 230); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    OutputComparison comparison_;
    QString title_;
    uint8_t language_ = 0;
};
