// The one way the program shows message boxes: title and text by language, answerable by tests.
#pragma once

#include "Texts.h"

#include <QString>
#include <functional>

class Notice
{
public:
    struct Request {
        QString title;
        QString text;
        bool question;  // Yes/No instead of OK
    };
    // A test installs a responder: it sees every box instead of the user and answers
    // questions (true = Yes). Without one, real modal boxes are shown.
    using Responder = std::function<bool(const Request &)>;
    static void setResponder(Responder r);

    // Information box with one OK button.
    static void info(Txt id);
    static void info(const QString &zh, const QString &en);
    // Question box with Yes and No; true for Yes.
    static bool ask(Txt id);
    static bool ask(const QString &zh, const QString &en);

private:
    static bool show(const QString &text, bool question);
};
