// The left/right link button and the view switch after a link.
#include "Kestrun.h"

#include "ChannelLink.h"
#include "Commands.h"
#include "LinkForm.h"
#include "LinkState.h"
#include "Styles.h"

#include <QPushButton>

void Kestrun::on_BT_LINK_clicked()
{
    const uint8_t ch = CurCh;
    if (!ChannelIsLinked(ch)) {
        // Each click opens a dialog of its own; it acts on the channel selected when it is used.
        auto *form = new LinkForm;
        connect(form, &LinkForm::LinkForm_ChangeEvent, this, &Kestrun::LinkForm_ChangeUpdate);
        form->show();
        return;
    }
    // Unlink: the parameters keep their values and nothing is sent.
    LinkPending = 0;
    Link_Remove_First(ch);
    ui->BT_LINK->setStyleSheet(Styles::dark(QStringLiteral("BT_LINK")));
    LinkDir = 0xFF;
}

void Kestrun::LinkForm_ChangeUpdate(uint8_t ch)
{
    if (!LinkPending) {
        ui->BT_LINK->setStyleSheet(Styles::dark(QStringLiteral("BT_LINK")));
        LinkDir = 0xFF;
        return;
    }
    ui->BT_LINK->setStyleSheet(Styles::light(QStringLiteral("BT_LINK")));
    BT_CH_Switch(ch);
    CurBand = 0;
    // The bands of ch reach the processor through the view switch, for the gains the sliders did not show.
    if (Link.Connected) {
        CMD_HPF(ch);
        CMD_LPF(ch);
    }
}
