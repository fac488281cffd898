// The one-line note in the top bar while no processor is connected (none found, or found but not openable),
// and a brief word after a file was saved.
#pragma once

#include "Language.h"

#include <QElapsedTimer>
#include <QLabel>

class TuningModel;

class StatusNote : public QLabel
{
    Q_OBJECT
public:
    // Placed in the free stretch of the window's top bar, the place of the progress bar, which keeps
    // it while it shows; checks the link twice a second.
    StatusNote(QWidget *window, const QWidget *progressBar, const TuningModel &model, const Language &language);

    // Shows the note for the link's state in the current language (hidden while connected).
    void refresh();
    // A word for a few seconds, connected or not: text with "%1" replaced by arg (a file that was saved).
    void announce(Txt text, const QString &arg);

protected:
    void timerEvent(QTimerEvent *event) override;

private:
    const QWidget *progressBar_;
    Txt word_ = Txt::SavedNote;
    QString wordArg_;
    QElapsedTimer wordShown_;  // invalid while there is no word
    const TuningModel &model_;
    const Language &language_;
};
