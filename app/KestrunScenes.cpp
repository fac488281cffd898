// The scene manager, firmware upgrade and system reset entries, and what the long transfers share.
#include "Kestrun.h"
#include "TuningModel.h"

#include "AbControls.h"

#include "Commands.h"
#include "DragPushButton.h"
#include "EditLock.h"
#include "FirmwareImage.h"
#include "FirmwareTransfer.h"
#include "LinkState.h"
#include "Notice.h"
#include "SenceManage.h"
#include "StatusNote.h"
#include "Tooltips.h"
#include "TransferGuard.h"
#include "TransferLink.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QSlider>

bool Kestrun::connectedOrNotice()
{
    if (model_.session.Link.Connected) return true;
    notice_.info(Txt::ConnectFirst);
    return false;
}

bool Kestrun::transferMayStart(const TransferGuard &guard)
{
    if (guard.acquired()) return true;
    notice_.info(Txt::TransferBusy);
    return false;
}

bool Kestrun::linkReadyForTransfer()
{
    if (TransferLink(model_.session).waitLinkIdle()) return true;
    notice_.info(model_.session.Link.Connected ? Txt::TransferBusy : Txt::ConnectFirst);
    return false;
}

void Kestrun::watchTransfers()
{
    QPointer<Kestrun> self(this);
    TransferGuard::setObserver(model_.session.Link, [self](bool busy) {
        if (!self) return;
        for (int k = 1; k < 5; ++k) self->SenceAct[k]->setEnabled(!busy);
        self->ResetAct->setEnabled(!busy);
        self->UpgradeAct->setEnabled(!busy);
        self->NoiseGateMenu->menuAction()->setEnabled(!busy);
        self->TransferLock->setLocked(busy);
    });
}

void Kestrun::setUpSafety()
{
    // Every control that edits the store or sends a command is held still during transfers.
    TransferLock = new EditLock(this);
    for (int b = 0; b < BAND_COUNT; ++b)
        for (QWidget *c : std::initializer_list<QWidget *>{ui->Slider_EQ_Gain_Bar[b], ui->Edit_EQ_Gain[b], ui->Edit_EQ_Freq[b],
                                                         ui->Edit_EQ_Q[b], ui->BT_LED[b], BandMark[b]})
            TransferLock->watch(c);
    for (int ch = 0; ch < CH_COUNT; ++ch)
        for (QWidget *c : std::initializer_list<QWidget *>{ui->BT_CH[ch], ui->BT_CH_NAME[ch], ui->Slider_CHVol_Bar[ch],
                                                         ui->Edit_CHVol[ch], ui->Edit_CHDelay[ch], ui->BT_Phase[ch],
                                                         ui->BT_Mute[ch], ui->BT_Sync[ch]})
            TransferLock->watch(c);
    for (QWidget *c : std::initializer_list<QWidget *>{
             ui->Slider_Total_Bar, ui->Edit_Total, ui->BT_MainMute, ui->BT_PEQ, ui->BT_GEQ, ui->BT_EQ_BYPASS,
             ui->BT_EQ_RESET, ui->BT_LINK, ui->BT_HPF_TYPE, ui->BT_HPF_SLOPE, ui->Edit_HPF_Freq, ui->BT_HPF_FREQ_UP,
             ui->BT_HPF_FREQ_DOWN, ui->BT_LPF_TYPE, ui->BT_LPF_SLOPE, ui->Edit_LPF_Freq, ui->BT_LPF_FREQ_UP,
             ui->BT_LPF_FREQ_DOWN, ui->BT_INPUT_HI, ui->BT_INPUT_LOW, ui->BT_INPUT_OPT, ui->BT_INPUT_BT,
             ui->BT_INPUT_COAX, HpfMark, LpfMark, Ab->switchButton(0), Ab->switchButton(1), Ab->storeButton(0),
             Ab->storeButton(1)})
        TransferLock->watch(c);
    watchTransfers();

    // Ctrl+1..Ctrl+6 act as a click on the channel button; Ctrl+S and Ctrl+O save and load one scene.
    for (int ch = 0; ch < CH_COUNT; ++ch) {
        auto *key = new QShortcut(QKeySequence(int(Qt::CTRL) + int(Qt::Key_1) + ch), this);
        connect(key, &QShortcut::activated, ui->BT_CH[ch], &QPushButton::click);
    }
    connect(new QShortcut(QKeySequence(int(Qt::CTRL) + int(Qt::Key_S)), this), &QShortcut::activated, this,
            &Kestrun::Sence_Sub2_Fun);
    connect(new QShortcut(QKeySequence(int(Qt::CTRL) + int(Qt::Key_O)), this), &QShortcut::activated, this,
            &Kestrun::Sence_Sub3_Fun);

    OfflineNote = new StatusNote(this, ui->TickBar, model_, language_);
    applyHelpTexts();
}

void Kestrun::applyHelpTexts()
{
    Tooltips::apply(*this, language_);
    Ab->retranslate();
    OfflineNote->refresh();
}

void Kestrun::showProgress(int value)
{
    ui->TickBar->show();
    ui->TickBar->setValue(value);
}

void Kestrun::restartLink()
{
    // Identified again, the processor's state is downloaded by the poll loop.
    ConnectDevice();
}

void Kestrun::Sence_Sub1_Fun()
{
    if (!connectedOrNotice()) return;
    auto *dialog = new SenceManage(notice_, model_.session);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show();
}

void Kestrun::Option_Sub3_Fun()
{
    if (!model_.session.Link.Connected) return;
    TransferGuard guard(model_.session.Link);
    if (!transferMayStart(guard)) return;
    if (!notice_.ask(Txt::ResetAsk)) return;
    bool sent = false;
    if (model_.session.Link.Connected && TransferLink(model_.session).waitLinkIdle()) {
        CMD_FACTORY_RESET(model_.session);
        sent = model_.session.Link.Connected != 0;
    }
    notice_.info(sent ? Txt::ResetDone : Txt::ResetFailed);
    // The time taken to close the box gives the processor its time to restart.
    restartLink();
}

bool Kestrun::UpgradeFileOpen(FirmwareImage &image)
{
    const QString path = folder_.openFile(this, QStringLiteral("加载机器升级固件"), QStringLiteral("升级固件(*.bin)"));
    switch (image.load(path)) {
    case FirmwareImage::Load::Ok:
        // The last word before the processor's firmware is replaced; No is the default.
        return notice_.confirm(language_.text(Txt::FirmwareAsk)
                                   .arg(QFileInfo(path).fileName(), QString::number(image.size()),
                                        QString::number(image.blockCount())));
    case FirmwareImage::Load::Mismatch:
        notice_.info(Txt::FirmwareMismatch);
        return false;
    case FirmwareImage::Load::ReadError:
        notice_.info(Txt::FirmwareError);
        return false;
    case FirmwareImage::Load::TooLarge:
        notice_.info(Txt::FirmwareTooLarge);
        return false;
    }
    return false;
}

void Kestrun::Option_Sub5_Fun()
{
    if (!connectedOrNotice()) return;
    TransferGuard guard(model_.session.Link);
    if (!transferMayStart(guard)) return;
    FirmwareImage image;
    if (!UpgradeFileOpen(image)) return;
    if (!linkReadyForTransfer()) return;
    showProgress(0);
    const TransferResult r = FirmwareTransfer(model_.session).send(image, [this](int v) { showProgress(v); });
    ui->TickBar->hide();
    notice_.info(r == TransferResult::Ok ? Txt::FirmwareDone : Txt::FirmwareSendFailed);
}
