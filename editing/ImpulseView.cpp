// The impulse view: its stretch is taken once per result, so painting only draws.
#include "ImpulseView.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {
const QColor Background(40, 40, 41);
const QColor Grid(80, 80, 82);
const QColor Trace(120, 200, 255);
const QColor Marker(255, 170, 40);
const QColor Warning(255, 90, 80);
}  // namespace

ImpulseView::ImpulseView(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("ImpulseView"));
    setMinimumSize(sizeHint());
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void ImpulseView::setResult(const CaptureResult &result, const QString &warning)
{
    samples_.clear();
    text_ = warning;
    polarity_ = result.polarity;
    snrDb_ = result.snrDb;
    const int n = int(result.impulse.size());
    if (result.sampleRate <= 0 || n == 0) return clear(warning);
    const double at = result.impulseZero + result.arrivalSamples;
    const int first = std::clamp(int(std::floor(at - BEFORE_MS * result.sampleRate / 1000.0)), 0, n - 1);
    const int last = std::clamp(int(std::ceil(at + AFTER_MS * result.sampleRate / 1000.0)), first + 1, n);
    samples_.assign(result.impulse.begin() + first, result.impulse.begin() + last);
    float peak = 0.0f;
    for (float s : samples_) peak = std::max(peak, std::abs(s));
    if (peak > 0.0f)
        for (float &s : samples_) s /= peak;
    arrival_ = at - first;
    update();
}

void ImpulseView::clear(const QString &text)
{
    samples_.clear();
    text_ = text;
    update();
}

void ImpulseView::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), Background);
    const QRectF area = QRectF(rect()).adjusted(6, 6, -6, -6);
    if (samples_.empty()) {
        p.setPen(Qt::lightGray);
        p.drawText(area, Qt::AlignCenter | Qt::TextWordWrap, text_);
        return;
    }
    const double mid = area.center().y();
    const double half = area.height() / 2.0 - 2.0;
    const double dx = area.width() / std::max<size_t>(1, samples_.size() - 1);
    p.setPen(Grid);
    p.drawLine(QPointF(area.left(), mid), QPointF(area.right(), mid));

    QPainterPath trace;
    for (size_t i = 0; i < samples_.size(); ++i) {
        const QPointF pt(area.left() + dx * double(i), mid - half * double(samples_[i]));
        if (i == 0)
            trace.moveTo(pt);
        else
            trace.lineTo(pt);
    }
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Trace, 1.2));
    p.drawPath(trace);

    const double x = area.left() + dx * arrival_;
    p.setPen(QPen(Marker, 1.5, Qt::DashLine));
    p.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));

    QFont big = font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    p.setFont(big);
    p.setPen(Marker);
    const QString sign = polarity_ == Polarity::Positive ? QStringLiteral("+")
                         : polarity_ == Polarity::Negative ? QStringLiteral("\u2212")
                                                            : QStringLiteral("?");
    p.drawText(QRectF(x + 4, area.top(), 40, 30), Qt::AlignLeft | Qt::AlignTop, sign);
    p.setFont(font());
    p.setPen(Qt::lightGray);
    p.drawText(area, Qt::AlignRight | Qt::AlignTop, QStringLiteral("SNR %1 dB").arg(snrDb_, 0, 'f', 1));
    if (!text_.isEmpty()) {
        p.setPen(Warning);
        p.drawText(area.adjusted(0, 0, 0, -2), Qt::AlignHCenter | Qt::AlignBottom | Qt::TextWordWrap, text_);
    }
}
