// Holds the window's editing controls still while a transfer runs: their input is swallowed and
// their signals are held back, so no set command can go out between the transfer's frames.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <vector>

class EditLock : public QObject
{
    Q_OBJECT
public:
    explicit EditLock(QObject *parent = nullptr);

    // Adds a control to the locked set (its looks are never changed).
    void watch(QWidget *control);
    // Locks or releases every watched control; the controls keep repainting either way.
    void setLocked(bool on);
    bool locked() const { return locked_; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Control {
        QPointer<QWidget> widget;
        bool wasBlocked;  // its signal state before the lock
    };
    std::vector<Control> controls_;
    bool locked_ = false;
};
