// Message boxes without a parent, titled "提示" or "Notice" by the language flag.
#include "Notice.h"

#include <QMessageBox>
#include <QPushButton>

Notice::Request Notice::request(const QString &text, bool question) const
{
    return Request{language_.text(Txt::NoticeTitle), text, question, QString(), QString(), false, QStringList(), -1};
}

bool Notice::show(const Request &r) const
{
    if (responder_) return responder_(r);
    if (!r.question) {
        QMessageBox::information(nullptr, r.title, r.text, QMessageBox::Ok);
        return true;
    }
    if (r.acceptText.isEmpty() && !r.rejectDefault)
        return QMessageBox::question(nullptr, r.title, r.text, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
    QMessageBox box(QMessageBox::Question, r.title, r.text, QMessageBox::Yes | QMessageBox::No);
    if (!r.acceptText.isEmpty()) box.button(QMessageBox::Yes)->setText(r.acceptText);
    if (!r.rejectText.isEmpty()) box.button(QMessageBox::No)->setText(r.rejectText);
    box.setDefaultButton(r.rejectDefault ? QMessageBox::No : QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

int Notice::choose(const QString &text, const QStringList &choices, int escapeChoice) const
{
    Request r = request(text, true);
    r.choices = choices;
    r.escapeChoice = escapeChoice >= 0 && escapeChoice < choices.size() ? escapeChoice : -1;
    if (choiceResponder_) return choiceResponder_(r);
    if (responder_) return responder_(r) ? 0 : 1;
    QMessageBox box(QMessageBox::Question, r.title, r.text);
    QList<QAbstractButton *> buttons;
    for (int k = 0; k < choices.size(); ++k)
        buttons.append(box.addButton(choices[k], k == r.escapeChoice ? QMessageBox::RejectRole : QMessageBox::AcceptRole));
    if (!buttons.isEmpty()) box.setDefaultButton(static_cast<QPushButton *>(buttons.first()));
    if (r.escapeChoice >= 0) box.setEscapeButton(buttons[r.escapeChoice]);
    box.exec();
    const int chosen = int(buttons.indexOf(box.clickedButton()));
    return chosen >= 0 ? chosen : (r.escapeChoice >= 0 ? r.escapeChoice : 0);
}

void Notice::info(Txt id) const { show(request(language_.text(id), false)); }
void Notice::info(const QString &zh, const QString &en) const { show(request(language_.pick(zh, en), false)); }
bool Notice::ask(Txt id) const { return show(request(language_.text(id), true)); }
bool Notice::ask(const QString &zh, const QString &en) const { return show(request(language_.pick(zh, en), true)); }

bool Notice::confirm(const QString &text, const QString &acceptText, const QString &rejectText) const
{
    Request r = request(text, true);
    r.acceptText = acceptText;
    r.rejectText = rejectText;
    r.rejectDefault = true;
    return show(r);
}
