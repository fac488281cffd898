// Builds the A/B group, passes its clicks to the model and shows which memory is active.
#include "AbControls.h"

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

AbControls::AbControls(QWidget &window, TuningModel &model) : QObject(&window), model_(model)
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
        connect(switch_[k], &QPushButton::clicked, this, [this, k] { model_.recallMemory(k); });
        connect(store_[k], &QPushButton::clicked, this, [this, k] { model_.storeMemory(k); });
    }
    retranslate();
    showState();
}

void AbControls::refresh(const ModelChange &change)
{
    if (change.memories) showState();
}

// The active memory's button is lit; a memory that holds nothing yet cannot be switched to.
void AbControls::showState()
{
    for (int k = 0; k < 2; ++k) {
        QPushButton *b = switch_[k];
        b->setStyleSheet(model_.activeMemory() == k ? Styles::light(b->objectName()) : Styles::dark(b->objectName()));
        b->setEnabled(model_.memoryUsed(k));
    }
}

void AbControls::retranslate()
{
    caption_->setText(T(Txt::AbCaption));
    for (int k = 0; k < 2; ++k) {
        store_[k]->setText(T(k == 0 ? Txt::AbStoreA : Txt::AbStoreB));
        store_[k]->setToolTip(T(Txt::TipAbStore).arg(QLatin1Char(char('A' + k))));
        switch_[k]->setToolTip(T(Txt::TipAbSwitch).arg(QLatin1Char(char('A' + k))));
    }
}
