// The one way the program shows message boxes: title and text by language, answerable by tests.
#pragma once

#include "Texts.h"

#include <QString>
#include <QStringList>
#include <functional>

class Notice
{
public:
    struct Request {
        QString title;
        QString text;
        bool question;       // two buttons instead of OK
        QString acceptText;  // caption of the accepting button (empty = "Yes")
        QString rejectText;  // caption of the refusing button (empty = "No")
        bool rejectDefault;  // the refusing button is the default: Enter refuses
        QStringList choices; // a box with these answers instead (the first is the default)
        int escapeChoice = -1;  // the answer Esc and closing the box give; -1: they give the first
    };
    // A test installs a responder: it sees every box instead of the user and answers
    // questions (true = Yes). Without one, real modal boxes are shown.
    using Responder = std::function<bool(const Request &)>;
    static void setResponder(Responder r);
    // Answers boxes with several choices (the index chosen). Without one, a responder's true picks the
    // first choice and false the second.
    using ChoiceResponder = std::function<int(const Request &)>;
    static void setChoiceResponder(ChoiceResponder r);

    // Information box with one OK button.
    static void info(Txt id);
    static void info(const QString &zh, const QString &en);
    // Question box with Yes and No; true for Yes.
    static bool ask(Txt id);
    static bool ask(const QString &zh, const QString &en);
    // Question box for a risky step: the refusing button is the default. Empty captions mean
    // Yes and No. True only when the accepting button was chosen.
    static bool confirm(const QString &text, const QString &acceptText = QString(), const QString &rejectText = QString());

    // A box with several answers, the first the default; returns the index of the one chosen. Esc and
    // closing the box answer escapeChoice when it names one of them.
    static int choose(const QString &text, const QStringList &choices, int escapeChoice = -1);

private:
    static bool show(const Request &r);
};
