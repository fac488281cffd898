// Input of the locked controls is dropped before it reaches them or the window's own filter.
#include "EditLock.h"

#include <QEvent>

#include <algorithm>

EditLock::EditLock(QObject *parent)
    : QObject(parent)
{
}

void EditLock::watch(QWidget *control)
{
    if (!control) return;
    // Controls of closed dialogs are gone; a control added while locked is held at once.
    controls_.erase(std::remove_if(controls_.begin(), controls_.end(), [](const Control &c) { return !c.widget; }),
                    controls_.end());
    control->installEventFilter(this);
    controls_.push_back(Control{control, locked_ ? control->blockSignals(true) : false});
}

void EditLock::setLocked(bool on)
{
    if (on == locked_) return;
    locked_ = on;
    for (Control &c : controls_) {
        if (!c.widget) continue;
        // The gate behind the input filter: a programmatic click or value change reaches no slot.
        if (on)
            c.wasBlocked = c.widget->blockSignals(true);
        else
            c.widget->blockSignals(c.wasBlocked);
    }
}

bool EditLock::eventFilter(QObject *watched, QEvent *event)
{
    if (!locked_) return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::Shortcut:
        return true;
    default:
        return QObject::eventFilter(watched, event);
    }
}
