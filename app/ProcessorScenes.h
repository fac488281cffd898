// The processor's scenes and maintenance (manager, reset, upgrade) and the steps long transfers share.
#pragma once

#include <QObject>

class FirmwareImage;
class Kestrun;
class Notice;
class RecentFolder;
class ProcessorSession;
class TransferGuard;

class ProcessorScenes : public QObject
{
    Q_OBJECT
public:
    ProcessorScenes(Kestrun &window, ProcessorSession &session, Notice &notice, RecentFolder &folder);

    bool connectedOrNotice();                           // the connect-first box when no processor is connected
    bool transferMayStart(const TransferGuard &guard);  // the busy box when another transfer runs
    bool linkReadyForTransfer();                        // waits for a running download; a box when it does not end
    void showProgress(int value);                       // TickBar shown with this value
    void restartLink();                                 // identify the processor again and download its state

public slots:
    void Sence_Sub1_Fun();
    void Option_Sub3_Fun();
    void Option_Sub5_Fun();

private:
    bool UpgradeFileOpen(FirmwareImage &image);

    Kestrun &w_;
    ProcessorSession &session_;
    Notice &notice_;
    RecentFolder &folder_;
};
