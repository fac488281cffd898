// Builds the A/B group, passes its clicks to the model and shows which memory is active.
#include "AbControls.h"

#include "Language.h"

#include "EntryHint.h"
#include "ModelChange.h"
#include "Styles.h"
#include "Texts.h"
#include "TuningModel.h"

#include <QLabel>
#include <QPushButton>

namespace {

QPushButton *abButton(QWidget &window, const QString &name, int x, int y)
{
    auto *b = new QPushButton(&window);
    b->setObjectName(name);
    b->setGeometry(x, y, 62, 24);
    b->setFocusPolicy(Qt::NoFocus);
    b->setStyleSheet(Styles::dark(name));
    return b;
}

}  // namespace

AbControls::AbControls(QWidget &window, TuningModel &model, EntryHint &hint, const Language &language)
    : QObject(&window), model_(model), hint_(hint), language_(language)
{
    caption_ = new QLabel(&window);
    caption_->setObjectName(QStringLiteral("Label_AB"));
    caption_->setGeometry(1112, 530, 132, 20);
    caption_->setStyleSheet(QStringLiteral("QLabel#Label_AB{color: rgb(255, 255, 255);}"));
    const char *slotName[2] = {"A", "B"};
    for (int k = 0; k < 2; ++k) {
        switch_[k] = abButton(window, QStringLiteral("BT_AB_%1").arg(QLatin1String(slotName[k])), 1112 + 70 * k, 556);
        switch_[k]->setText(QLatin1String(slotName[k]));
        store_[k] = abButton(window, QStringLiteral("BT_AB_STORE_%1").arg(QLatin1String(slotName[k])), 1112 + 70 * k, 588);
        connect(switch_[k], &QPushButton::clicked, this, [this, k] {
            if (!model_.memoryUsed(k)) return hint_.showBeside(switch_[k], k == 0 ? Txt::AbEmptyA : Txt::AbEmptyB);
            model_.recallMemory(k);
        });
        connect(store_[k], &QPushButton::clicked, this, [this, k] { model_.storeMemory(k); });
    }
    retranslate();
    showState();
}

// Any edit, undo or load can make the tuning equal a memory or differ from it.
void AbControls::refresh(const ModelChange &)
{
    showState();
}

// The button of the memory the tuning equals is lit, so an undone switch or a later edit never leaves a
// memory lit that the store no longer holds.
void AbControls::showState()
{
    const int lit = model_.matchingMemory();
    for (int k = 0; k < 2; ++k) {
        QPushButton *b = switch_[k];
        const QString style = lit == k ? Styles::light(b->objectName()) : Styles::dark(b->objectName());
        if (b->styleSheet() != style) b->setStyleSheet(style);
    }
}

void AbControls::retranslate()
{
    caption_->setText(language_.text(Txt::AbCaption));
    for (int k = 0; k < 2; ++k) {
        store_[k]->setText(language_.text(k == 0 ? Txt::AbStoreA : Txt::AbStoreB));
        store_[k]->setToolTip(language_.text(Txt::TipAbStore).arg(QLatin1Char(char('A' + k))));
        switch_[k]->setToolTip(language_.text(Txt::TipAbSwitch).arg(QLatin1Char(char('A' + k))));
    }
}
