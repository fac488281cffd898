// How the program asks for file names: the standard dialogs, answerable by tests.
#pragma once

#include <QString>
#include <functional>

class QWidget;

class FileDialogs
{
public:
    struct Request {
        bool save;  // save dialog instead of open dialog
        QString caption;
        QString dir;
        QString filter;
    };
    // A test installs a responder: it sees every dialog instead of the user and answers
    // with a path (empty = cancelled). Without one, the standard dialogs are shown.
    using Responder = std::function<QString(const Request &)>;
    void setResponder(Responder r) { responder_ = std::move(r); }

    // Empty when cancelled. A save name without a suffix gets the filter's suffix.
    QString getSaveFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter) const;
    QString getOpenFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter) const;

private:
    Responder responder_;
};
