// Scene files on the computer (one scene or all nine) and the offline edits that must not be lost.
#pragma once

#include "ParamStore.h"
#include "SceneNames.h"

#include <QObject>
#include <cstdint>

class Kestrun;
class Notice;
class QByteArray;
class RecentFolder;
class TuningModel;

class SceneFiles : public QObject
{
    Q_OBJECT
public:
    SceneFiles(Kestrun &window, TuningModel &model, Notice &notice, RecentFolder &folder);


    bool offlineEditsMayClose();  // false: the window stays open

public slots:
    void Sence_Sub2_Fun();
    void Sence_Sub3_Fun();
    void Sence_Sub4_Fun();
    void Sence_Sub5_Fun();
    void resolveOfflineEdits();

private:
    // The open routines stage what they read; nothing changes when they return false.
    bool SingleFileSave(const ParamBlock &block);  // true when the file was written
    bool SingleFileOpen(QByteArray *file);
    void AllFileSave();
    bool AllFileOpen();
    bool sceneFilePlausible(const QByteArray &file);  // true, or the out-of-range box answered Send anyway
    void loadSingleOffline(const QByteArray &file);   // a single-scene file into the store and the controls

    Kestrun &w_;
    TuningModel &model_;
    Notice &notice_;
    RecentFolder &folder_;
};
