// The scene manager, firmware upgrade and system reset entries, and what the long transfers share.
#include "Kestrun.h"

#include "Commands.h"
#include "FileDialogs.h"
#include "FirmwareImage.h"
#include "FirmwareTransfer.h"
#include "LinkState.h"
#include "Notice.h"
#include "SenceManage.h"
#include "TransferGuard.h"
#include "TransferLink.h"

#include <QAction>
#include <QDir>
#include <QPointer>
#include <QProgressBar>

bool Kestrun::connectedOrNotice()
{
    if (Link.Connected) return true;
    Notice::info(Txt::ConnectFirst);
    return false;
}

bool Kestrun::transferMayStart(const TransferGuard &guard)
{
    if (guard.acquired()) return true;
    Notice::info(Txt::TransferBusy);
    return false;
}

bool Kestrun::linkReadyForTransfer()
{
    if (TransferLink::waitLinkIdle()) return true;
    Notice::info(Link.Connected ? Txt::TransferBusy : Txt::ConnectFirst);
    return false;
}

void Kestrun::watchTransfers()
{
    QPointer<Kestrun> self(this);
    TransferGuard::setObserver([self](bool busy) {
        if (!self) return;
        for (int k = 1; k < 5; ++k) self->SenceAct[k]->setEnabled(!busy);
        self->ResetAct->setEnabled(!busy);
        self->UpgradeAct->setEnabled(!busy);
    });
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
    auto *dialog = new SenceManage();
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show();
}

void Kestrun::Option_Sub3_Fun()
{
    if (!Link.Connected) return;
    watchTransfers();
    TransferGuard guard;
    if (!transferMayStart(guard)) return;
    if (!Notice::ask(Txt::ResetAsk)) return;
    bool sent = false;
    if (Link.Connected && TransferLink::waitLinkIdle()) {
        CMD_FACTORY_RESET();
        sent = Link.Connected != 0;
    }
    Notice::info(sent ? Txt::ResetDone : Txt::ResetFailed);
    // The time taken to close the box gives the processor its time to restart.
    restartLink();
}

bool Kestrun::UpgradeFileOpen(FirmwareImage &image)
{
    const QString path = FileDialogs::getOpenFileName(this, QStringLiteral("加载机器升级固件"), QDir::currentPath(),
                                                      QStringLiteral("升级固件(*.bin)"));
    switch (image.load(path)) {
    case FirmwareImage::Load::Ok:
        return true;
    case FirmwareImage::Load::Mismatch:
        Notice::info(Txt::FirmwareMismatch);
        return false;
    case FirmwareImage::Load::ReadError:
        Notice::info(Txt::FirmwareError);
        return false;
    case FirmwareImage::Load::TooLarge:
        Notice::info(Txt::FirmwareTooLarge);
        return false;
    }
    return false;
}

void Kestrun::Option_Sub5_Fun()
{
    if (!connectedOrNotice()) return;
    watchTransfers();
    TransferGuard guard;
    if (!transferMayStart(guard)) return;
    FirmwareImage image;
    if (!UpgradeFileOpen(image)) return;
    if (!linkReadyForTransfer()) return;
    showProgress(3);
    const TransferResult r = FirmwareTransfer::send(image, [this](int v) { showProgress(v); });
    ui->TickBar->hide();
    Notice::info(r == TransferResult::Ok ? Txt::FirmwareDone : Txt::FirmwareSendFailed);
}
