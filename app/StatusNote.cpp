// The offline note: text by the link's state and the language, refreshed on a slow timer.
#include "StatusNote.h"

#include "LinkState.h"
#include "Texts.h"

#include <QTimerEvent>

namespace {
constexpr int RefreshMs = 500;
}

StatusNote::StatusNote(QWidget *window)
    : QLabel(window)
{
    setObjectName(QStringLiteral("Label_Offline_Note"));
    // Right of the link button, over the progress bar's place (the bar shows only while connected).
    setGeometry(560, 14, 624, 28);
    setStyleSheet(QStringLiteral("QLabel#Label_Offline_Note{color: rgb(255, 200, 80);background-color: transparent;}"));
    QFont f = font();
    f.setPointSize(9);
    setFont(f);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    startTimer(RefreshMs, Qt::CoarseTimer);
    refresh();
}

void StatusNote::refresh()
{
    if (Link.Connected) {
        if (!isHidden()) hide();
        return;
    }
    const QString text = T(accessDenied_ && accessDenied_() ? Txt::NoAccessNote : Txt::OfflineNote);
    if (text != this->text()) setText(text);
    if (isHidden()) show();
}

void StatusNote::timerEvent(QTimerEvent *event)
{
    QLabel::timerEvent(event);
    refresh();
}
