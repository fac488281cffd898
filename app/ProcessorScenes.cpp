// The scene manager, firmware upgrade and system reset entries, and what the long transfers share.
#include "ProcessorScenes.h"
#include "ProcessorSession.h"

#include "Kestrun.h"
#include "LinkView.h"
#include "RecentFolder.h"

#include "Commands.h"
#include "FirmwareImage.h"
#include "FirmwareTransfer.h"
#include "LinkState.h"
#include "Notice.h"
#include "SenceManage.h"
#include "TransferGuard.h"
#include "TransferLink.h"

#include <QFileInfo>
#include <QProgressBar>

ProcessorScenes::ProcessorScenes(Kestrun &window, ProcessorSession &session, Notice &notice, RecentFolder &folder)
    : w_(window), session_(session), notice_(notice), folder_(folder)
{
}

bool ProcessorScenes::connectedOrNotice()
{
    if (session_.Link.Connected) return true;
    notice_.info(Txt::ConnectFirst);
    return false;
}

bool ProcessorScenes::transferMayStart(const TransferGuard &guard)
{
    if (guard.acquired()) return true;
    notice_.info(Txt::TransferBusy);
    return false;
}

bool ProcessorScenes::linkReadyForTransfer()
{
    if (TransferLink(session_).waitLinkIdle()) return true;
    notice_.info(session_.Link.Connected ? Txt::TransferBusy : Txt::ConnectFirst);
    return false;
}

void ProcessorScenes::showProgress(int value)
{
    w_.ui->TickBar->show();
    w_.ui->TickBar->setValue(value);
}

void ProcessorScenes::restartLink()
{
    // Identified again, the processor's state is downloaded by the poll loop.
    w_.linkView().ConnectDevice();
}

void ProcessorScenes::Sence_Sub1_Fun()
{
    if (!connectedOrNotice()) return;
    auto *dialog = new SenceManage(notice_, session_);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show();
}

void ProcessorScenes::Option_Sub3_Fun()
{
    if (!session_.Link.Connected) return;
    TransferGuard guard(session_.Link);
    if (!transferMayStart(guard)) return;
    if (!notice_.ask(Txt::ResetAsk)) return;
    bool sent = false;
    if (session_.Link.Connected && TransferLink(session_).waitLinkIdle()) {
        CMD_FACTORY_RESET(session_);
        sent = session_.Link.Connected != 0;
    }
    notice_.info(sent ? Txt::ResetDone : Txt::ResetFailed);
    // The time taken to close the box gives the processor its time to restart.
    restartLink();
}

bool ProcessorScenes::UpgradeFileOpen(FirmwareImage &image)
{
    const QString path = folder_.openFile(&w_, QStringLiteral("加载机器升级固件"), QStringLiteral("升级固件(*.bin)"));
    switch (image.load(path)) {
    case FirmwareImage::Load::Ok:
        // The last word before the processor's firmware is replaced; No is the default.
        return notice_.confirm(notice_.language().text(Txt::FirmwareAsk)
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

void ProcessorScenes::Option_Sub5_Fun()
{
    if (!connectedOrNotice()) return;
    TransferGuard guard(session_.Link);
    if (!transferMayStart(guard)) return;
    FirmwareImage image;
    if (!UpgradeFileOpen(image)) return;
    if (!linkReadyForTransfer()) return;
    showProgress(0);
    const TransferResult r = FirmwareTransfer(session_).send(image, [this](int v) { showProgress(v); });
    w_.ui->TickBar->hide();
    notice_.info(r == TransferResult::Ok ? Txt::FirmwareDone : Txt::FirmwareSendFailed);
}
