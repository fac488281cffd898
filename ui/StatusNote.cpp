// The offline note: text by the link's state and the language, refreshed on a slow timer.
#include "StatusNote.h"

#include "TuningModel.h"

#include <QTimerEvent>

namespace {
constexpr int RefreshMs = 500;
constexpr qint64 WordMs = 5000;
}

StatusNote::StatusNote(QWidget *window, const QWidget *progressBar, const TuningModel &model, const Language &language)
    : QLabel(window)
    , progressBar_(progressBar)
    , model_(model)
    , language_(language)
{
    setObjectName(QStringLiteral("Label_Offline_Note"));
    // Right of the link button, over the progress bar's place.
    setGeometry(560, 14, 624, 28);
    setStyleSheet(QStringLiteral("QLabel#Label_Offline_Note{color: rgb(255, 200, 80);background-color: transparent;}"));
    QFont f = font();
    f.setPointSize(9);
    setFont(f);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    startTimer(RefreshMs, Qt::CoarseTimer);
    refresh();
}

void StatusNote::announce(Txt text, const QString &arg)
{
    word_ = text;
    wordArg_ = arg;
    wordShown_.start();
    refresh();
}

void StatusNote::refresh()
{
    if (wordShown_.isValid() && wordShown_.elapsed() >= WordMs) wordShown_.invalidate();
    const bool word = wordShown_.isValid();
    if ((model_.session.Link.Connected && !word) || !progressBar_->isHidden()) {
        if (!isHidden()) hide();
        return;
    }
    QString text;
    if (word) {
        text = fontMetrics().elidedText(language_.text(word_).arg(wordArg_), Qt::ElideMiddle, width());
    } else {
        // The last open attempt tells a processor that is listed but refused apart from none at all.
        text = language_.text(model_.session.Port.listing() == DeviceListing::Unopenable ? Txt::NoAccessNote : Txt::OfflineNote);
        // The changed-state mark: edits that neither the processor nor a saved file has.
        if (model_.hasOfflineEdits()) text = QStringLiteral("● ") + language_.text(Txt::UnsavedEdits) + QStringLiteral(" · ") + text;
    }
    if (text != this->text()) setText(text);
    if (isHidden()) show();
}

void StatusNote::timerEvent(QTimerEvent *event)
{
    QLabel::timerEvent(event);
    refresh();
}
