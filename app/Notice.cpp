// Message boxes without a parent, titled "提示" or "Notice" by the language flag.
#include "Notice.h"

#include <QMessageBox>

namespace {
Notice::Responder responder;
}

void Notice::setResponder(Responder r)
{
    responder = std::move(r);
}

bool Notice::show(const QString &text, bool question)
{
    const QString title = T(Txt::NoticeTitle);
    if (responder) return responder(Request{title, text, question});
    if (question)
        return QMessageBox::question(nullptr, title, text, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
    QMessageBox::information(nullptr, title, text, QMessageBox::Ok);
    return true;
}

void Notice::info(Txt id) { show(T(id), false); }
void Notice::info(const QString &zh, const QString &en) { show(LanguageFlag ? en : zh, false); }
bool Notice::ask(Txt id) { return show(T(id), true); }
bool Notice::ask(const QString &zh, const QString &en) { return show(LanguageFlag ? en : zh, true); }
