// Channel naming by speaker position: the six name menus and the name captions.
#include "Kestrun.h"

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

void Kestrun::buildChannelNameMenus()
{
    for (int ch = 0; ch < CH_COUNT; ++ch) {
        ChNameMenu[ch] = new QMenu(this);
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

void Kestrun::channelNameChosen(int ch, int code)
{
    if (ch < 0 || ch >= CH_COUNT || code < 0 || code > SPK_OFF) return;
    // A click on a ticked entry only unticks it.
    if (code != SPK_OFF && code != SPK_SSUB && !ChNameAct[ch][code]->isChecked()) return;
    model_.nameChannel(ch, uint8_t(code));
}

void Kestrun::Channel_Display()
{
    for (int m = 0; m < CH_COUNT; ++m) {
        for (QAction *a : ChNameAct[m]) a->setEnabled(true);
        for (int ch = 0; ch < CH_COUNT; ++ch) {
            const uint8_t code = model_.session.ParamStore.ChName[ch];
            if (SpeakerCodeIsExclusive(code)) ChNameAct[m][code]->setEnabled(false);
        }
    }
}

void Kestrun::Update_Name_Marks()
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

void Kestrun::Update_Channel_Name()
{
    for (int ch = 0; ch < CH_COUNT; ++ch) ui->BT_CH_NAME[ch]->setText(SpeakerName(model_.session.ParamStore.ChName[ch], language_.LanguageFlag));
}
