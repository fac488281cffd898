// The one-line note in the top bar while no processor is connected: none found, or found but not openable.
#pragma once

#include <QLabel>

class TuningModel;

class StatusNote : public QLabel
{
    Q_OBJECT
public:
    // Placed in the free stretch of the window's top bar, the place of the progress bar, which keeps
    // it while it shows; checks the link twice a second.
    StatusNote(QWidget *window, const QWidget *progressBar, const TuningModel &model);

    // Shows the note for the link's state in the current language (hidden while connected).
    void refresh();

protected:
    void timerEvent(QTimerEvent *event) override;

private:
    const QWidget *progressBar_;
    const TuningModel &model_;
};
