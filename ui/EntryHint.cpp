// Places the hint above its field and hides it again after a while; the field itself is left as it is.
#include "EntryHint.h"

#include <QTimerEvent>

namespace {
constexpr int ShownMs = 3000;
}

EntryHint::EntryHint(QWidget *window, const Language &language) : QLabel(window), language_(language)
{
    setObjectName(QStringLiteral("Label_Entry_Hint"));
    setStyleSheet(QStringLiteral("QLabel#Label_Entry_Hint{color: rgb(255, 200, 80);background-color: rgb(30, 30, 31);"
                                 "border:1px solid rgb(96, 96, 96);padding:1px 4px;}"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    hide();
}

void EntryHint::showBeside(const QWidget *field, Txt text)
{
    setText(language_.text(text));
    adjustSize();
    const QWidget *window = parentWidget();
    const QPoint at = field->mapTo(const_cast<QWidget *>(window), QPoint(0, 0));
    const int x = qBound(0, at.x(), qMax(0, window->width() - width()));
    move(x, qMax(0, at.y() - height() - 2));
    raise();
    show();
    if (timer_) killTimer(timer_);
    timer_ = startTimer(ShownMs, Qt::CoarseTimer);
}

void EntryHint::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != timer_) return QLabel::timerEvent(event);
    killTimer(timer_);
    timer_ = 0;
    hide();
}
