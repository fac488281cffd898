// Channel naming by speaker position: the six name menus and the name captions.
#include "ChannelNaming.h"
#include "Language.h"

#include "KestrunForm.h"
#include "Texts.h"

#include "ParamStore.h"
#include "TuningModel.h"
#include "Styles.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>

namespace {
// Taken positions are greyed out: the shared menu look with a grey text for disabled entries.
QString nameMenuStyle()
{
    return Styles::menu() + QStringLiteral("QMenu::item:disabled{color: rgb(128, 128, 128);}");
}
}  // namespace

ChannelNaming::ChannelNaming(QWidget &window, KestrunForm &form, TuningModel &model, const Language &language)
    : window_(window), ui(&form), model_(model), language_(language)
{
    connect(ui->BT_CH_NAME[0], &QPushButton::clicked, this, &ChannelNaming::on_BT_CH_NAME_1_clicked);
    connect(ui->BT_CH_NAME[0], &QPushButton::toggled, this, &ChannelNaming::on_BT_CH_NAME_1_toggled);
    connect(ui->BT_CH_NAME[0], &QWidget::customContextMenuRequested, this,
            &ChannelNaming::on_BT_CH_NAME_1_customContextMenuRequested);
    connect(ui->BT_CH_NAME[2], &QPushButton::clicked, this, &ChannelNaming::on_BT_CH_NAME_3_clicked);
}

void ChannelNaming::buildChannelNameMenus()
{
    for (int ch = 0; ch < CH_COUNT; ++ch) {
        ChNameMenu[ch] = new QMenu(&window_);
        ChNameMenu[ch]->setStyleSheet(nameMenuStyle());
        auto addEntry = [this, ch](QMenu *menu, Txt text, uint8_t code) {
            QAction *a = menu->addAction(language_.text(text));
            a->setCheckable(code != SPK_SSUB);  // the single subwoofer is never ticked
            connect(a, &QAction::triggered, this, [this, ch, code] { channelNameChosen(ch, code); });
            ChNameAct[ch][code] = a;
        };
        for (int g = 0; g < NAME_GROUP_COUNT; ++g) {
            const NameMenuGroup &group = NameMenuGroups[g];
            QMenu *sub = new QMenu(language_.text(group.title), ChNameMenu[ch]);
            sub->setStyleSheet(nameMenuStyle());
            for (int e = 0; e < group.entryCount; ++e) addEntry(sub, group.entries[e], group.codes[e]);
            ChNameMenu[ch]->addMenu(sub);
            ChNameSubMenu[ch][g] = sub;
        }
        addEntry(ChNameMenu[ch], Txt::NameEntryOff, SPK_OFF);
        ui->BT_CH_NAME[ch]->setMenu(ChNameMenu[ch]);
    }
}

void ChannelNaming::channelNameChosen(int ch, int code)
{
    if (ch < 0 || ch >= CH_COUNT || code < 0 || code > SPK_OFF) return;
    // A click on a ticked entry only unticks it.
    if (code != SPK_OFF && code != SPK_SSUB && !ChNameAct[ch][code]->isChecked()) return;
    model_.nameChannel(ch, uint8_t(code));
}

void ChannelNaming::Channel_Display()
{
    for (int m = 0; m < CH_COUNT; ++m) {
        for (QAction *a : ChNameAct[m]) a->setEnabled(true);
        for (int ch = 0; ch < CH_COUNT; ++ch) {
            const uint8_t code = model_.session.ParamStore.ChName[ch];
            if (SpeakerCodeIsExclusive(code)) ChNameAct[m][code]->setEnabled(false);
        }
    }
}

void ChannelNaming::Update_Name_Marks()
{
    for (int m = 0; m < CH_COUNT; ++m)
        for (QAction *a : ChNameAct[m])
            if (a->isCheckable()) a->setChecked(false);
    for (int ch = 0; ch < CH_COUNT; ++ch) {
        const uint8_t code = model_.session.ParamStore.ChName[ch];
        if (!SpeakerCodeIsExclusive(code)) continue;
        for (int m = 0; m < CH_COUNT; ++m) ChNameAct[m][code]->setChecked(true);
    }
    // The name buttons follow every change of the names: an assignment, a download, the start.
    Update_Channel_Name();
}

void ChannelNaming::Update_Channel_Name()
{
    for (int ch = 0; ch < CH_COUNT; ++ch) ui->BT_CH_NAME[ch]->setText(SpeakerName(model_.session.ParamStore.ChName[ch], language_.LanguageFlag));
}

void ChannelNaming::Menu_LanguageSet()
{
    for (int ch = 0; ch < CH_COUNT; ++ch) {
        for (int g = 0; g < NAME_GROUP_COUNT; ++g) {
            const NameMenuGroup &group = NameMenuGroups[g];
            if (!ChNameSubMenu[ch][g]) continue;
            ChNameSubMenu[ch][g]->setTitle(language_.text(group.title));
            for (int e = 0; e < group.entryCount; ++e)
                if (QAction *a = ChNameAct[ch][group.codes[e]]) a->setText(language_.text(group.entries[e]));
        }
        if (QAction *off = ChNameAct[ch][SPK_OFF]) off->setText(language_.text(Txt::NameEntryOff));
    }
}

// Slots that exist for the form's sake and do nothing.
void ChannelNaming::on_BT_CH_NAME_1_clicked() {}
void ChannelNaming::on_BT_CH_NAME_1_toggled(bool) {}
void ChannelNaming::on_BT_CH_NAME_1_customContextMenuRequested(const QPoint &) {}
void ChannelNaming::on_BT_CH_NAME_3_clicked() {}
