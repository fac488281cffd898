// The one-line note in the top bar while no processor is connected: none found, or found but not openable.
#pragma once

#include <QLabel>

#include <functional>

class StatusNote : public QLabel
{
    Q_OBJECT
public:
    // Placed in the free stretch of the window's top bar; checks the link twice a second.
    explicit StatusNote(QWidget *window);

    // True when a processor with our ids is listed by the system but cannot be opened.
    using AccessQuery = std::function<bool()>;
    void setAccessQuery(AccessQuery query) { accessDenied_ = std::move(query); }

    // Shows the note for the link's state in the current language (hidden while connected).
    void refresh();

protected:
    void timerEvent(QTimerEvent *event) override;

private:
    AccessQuery accessDenied_;
};
