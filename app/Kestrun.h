// The frameless main window: assembles the form, the views and the parts that own each control family.
#pragma once

#include "KestrunForm.h"
#include "PollLoop.h"
#include "Language.h"

#include <QPoint>
#include <QWidget>
#include <memory>

class AbControls;
class AudioIo;
class ChannelNaming;
class CrossoverSlots;
class EditLock;
class EntryHint;
class EqualizerSlots;
class FileDialogs;
class GraphMarkers;
class InputSlots;
class LanguageSwitch;
class LinkView;
class Notice;
class OutputSlots;
class ProcessorScenes;
class ResponseGraph;
class SceneFiles;
class StatusNote;
class TuningModel;
class WindowMenus;
struct ModelChange;

class Kestrun : public QWidget
{
    Q_OBJECT
public:
    // Boxes and file dialogs go through the given seams; audio is the sound card the measurement panel measures
    // through (owned by the program entry).
    // The window builds its texts in language, which its language entries switch.
    Kestrun(TuningModel &model, Notice &notice, FileDialogs &files, AudioIo &audio, Language &language,
            QWidget *parent = nullptr);
    ~Kestrun() override;

    KestrunForm *ui = nullptr;
    // The A/B compare group and the hint beside a refused entry.
    AbControls *Ab = nullptr;
    EntryHint *Hint = nullptr;
    EditLock *TransferLock = nullptr;   // holds the editing controls still while a transfer runs
    StatusNote *OfflineNote = nullptr;  // the top bar's note while no processor is connected
    void applyHelpTexts();              // tooltips and the note in the current language

    // Ticks of the link come as timer events with this id: the link's running tick timer, 0 while it sleeps.
    int periodicTimerId() const;
    PollLoop &pollLoop();
    // The response graph: its curves, markers and overlay.
    ResponseGraph &graph();

    // The parts that own the control families, their slots and their menus.
    WindowMenus &menus();
    ChannelNaming &naming();
    OutputSlots &outputs();
    EqualizerSlots &equalizer();
    InputSlots &inputs();
    CrossoverSlots &crossover();
    GraphMarkers &markers();
    SceneFiles &sceneFiles();
    ProcessorScenes &scenes();
    LanguageSwitch &language();
    LinkView &linkView();

signals:
    void Source_ChangeEvent();

protected:
    void timerEvent(QTimerEvent *event) override;       // the poll loop
    void mousePressEvent(QMouseEvent *event) override;  // window dragging
    void mouseMoveEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;       // the response graph

public slots:
    void on_BT_MIN_clicked();
    void on_BT_CLOSE_clicked();

private:
    // Every view shows what a model operation changed.
    void onModelChanged(const ModelChange &change);
    void showSelectedChannel();
    void setUpSafety();  // the lock, the shortcuts, the tooltips, the note

    struct Parts;  // the views and the family parts, in app/Kestrun.cpp
    TuningModel &model_;
    Notice &notice_;
    std::unique_ptr<Parts> parts_;
    QPoint dragOffset_;
    bool dragging_ = false;
};
