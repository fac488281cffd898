// How the program shows message boxes: title and text by language, answerable by tests.
#pragma once

#include "Language.h"

#include <QString>
#include <QStringList>
#include <functional>

class Notice
{
public:
    // Titles and texts in the given language.
    explicit Notice(const Language &language) : language_(language) {}
    // The language of the boxes, which views that show them build their other texts in too.
    const Language &language() const { return language_; }

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
    void setResponder(Responder r) { responder_ = std::move(r); }
    // Answers boxes with several choices (the index chosen). Without one, a responder's true picks the
    // first choice and false the second.
    using ChoiceResponder = std::function<int(const Request &)>;
    void setChoiceResponder(ChoiceResponder r) { choiceResponder_ = std::move(r); }

    // Information box with one OK button.
    void info(Txt id) const;
    void info(const QString &zh, const QString &en) const;
    // Question box with Yes and No; true for Yes.
    bool ask(Txt id) const;
    bool ask(const QString &zh, const QString &en) const;
    // Question box for a risky step: the refusing button is the default. Empty captions mean
    // Yes and No. True only when the accepting button was chosen.
    bool confirm(const QString &text, const QString &acceptText = QString(), const QString &rejectText = QString()) const;

    // A box with several answers, the first the default; returns the index of the one chosen. Esc and
    // closing the box answer escapeChoice when it names one of them.
    int choose(const QString &text, const QStringList &choices, int escapeChoice = -1) const;

private:
    bool show(const Request &r) const;
    Request request(const QString &text, bool question) const;

    const Language &language_;
    Responder responder_;
    ChoiceResponder choiceResponder_;
};
