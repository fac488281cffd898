// The frameless main window: every control, menu and marker, and one slot per control family.
#pragma once

#include "KestrunForm.h"
#include "Language.h"
#include "MarkerSink.h"
#include "LinkScheduler.h"
#include "PollLoop.h"
#include "RecentFolder.h"
#include "QtTranslations.h"
#include "SceneNames.h"
#include "SpeakerNames.h"

#include <QPoint>
#include <QWidget>
#include <cstdint>

class AbControls;
class AudioIo;
class BandColumn;
class CrossoverPanel;
class DragPushButton;
class EntryHint;
class InputControls;
class OutputStrip;
class ResponseGraph;
struct ModelChange;
class EditLock;
class FirmwareImage;
class StatusNote;
class QByteArray;
class TransferGuard;
class Notice;
class TuningModel;
class FileDialogs;

class QAction;
class QActionGroup;
class QLineEdit;
class QMenu;

class Kestrun : public QWidget, public MarkerSink
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

    // Graph markers: 31 bands, the high-pass and the low-pass filter.
    DragPushButton *BandMark[BAND_COUNT] = {};
    DragPushButton *HpfMark = nullptr;
    DragPushButton *LpfMark = nullptr;

    // Menus, held so that the language switch can retitle them and the slots can tick them.
    QMenu *SenceMenu = nullptr;
    QAction *SenceAct[5] = {};  // manage, save single, load single, save all, load all
    QMenu *OptionMenu = nullptr;
    QMenu *NoiseGateMenu = nullptr;
    QActionGroup *NoiseGateGroup = nullptr;
    QAction *NoiseGateAct[7] = {};
    QAction *AboutAct = nullptr, *ResetAct = nullptr, *UpgradeAct = nullptr;
    QAction *ChineseAct = nullptr, *EnglishAct = nullptr;
    QAction *UndoAct = nullptr, *RedoAct = nullptr;
    QAction *TuningAct = nullptr;  // the measurement and auto-EQ panel, last of the option menu
    // Crossover menus, index 0 = high-pass, 1 = low-pass.
    QMenu *FilterTypeMenu[2] = {};
    QAction *FilterTypeAct[2][3] = {};
    QMenu *FilterSlopeMenu[2] = {};
    QAction *FilterSlopeAct[2][9] = {};
    QMenu *UnitMenu = nullptr;
    QAction *UnitAct[2] = {};  // ms, cm
    // Channel-name menus, one per output.
    QMenu *ChNameMenu[CH_COUNT] = {};
    // Their submenus FL, FR, SL, SR, CEN, SUB and their entries by position code ([20] = OFF).
    QMenu *ChNameSubMenu[CH_COUNT][NAME_GROUP_COUNT] = {};
    QAction *ChNameAct[CH_COUNT][SPEAKER_CODE_COUNT] = {};

    // Ticks of the link come as timer events with this id: the link's running tick timer, 0 while it sleeps.
    int periodicTimerId() const { return linkTimer_.tickTimerId(); }

    // Where the response math puts the markers and band labels (graph/KestrunMarkerSink.cpp).
    QPoint bandMarkerPos(int band) const override;
    void placeBandMarker(int band, int x, int y) override;
    void placeBandLabel(int band, int x, int y) override;
    void placeHpfMarker(int x, int y) override;
    void placeLpfMarker(int x, int y) override;

signals:
    void Source_ChangeEvent();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;  // graph interaction and value edits
    void timerEvent(QTimerEvent *event) override;                // the poll loop
    void mousePressEvent(QMouseEvent *event) override;           // window dragging
    void mouseMoveEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;                // the response graph

public slots:
    // --- window (app) ---
    void on_BT_MIN_clicked();
    void on_BT_CLOSE_clicked();
    void Option_Sub4_Fun();
    void on_BT_CONNECT_clicked();
    void on_BT_CAR_MAP_clicked();
    void on_BT_CH_NAME_1_clicked();
    void on_BT_CH_NAME_1_toggled(bool checked);
    void on_BT_CH_NAME_1_customContextMenuRequested(const QPoint &pos);
    void on_BT_CH_NAME_3_clicked();
    void on_BT_LED_16_clicked();
    void on_BT_CH7_clicked();
    void HPF_Slope1_Hover();

    // --- language and about (app) ---
    void Option_Sub6_Fun();
    void Option_Sub7_Fun();
    void Menu_LanguageSet();
    void Option_Sub2_Fun();
    void applyLanguage();  // rewrites every caption of the window in the current language

    // --- channel naming (app) ---
    void channelNameChosen(int ch, int code);
    void Channel_Display();
    void Update_Name_Marks();
    void Update_Channel_Name();

    // --- scene files (link) ---
    void Sence_Sub2_Fun();
    void Sence_Sub3_Fun();
    void Sence_Sub4_Fun();
    void Sence_Sub5_Fun();

    // --- state download (link): handlers of the replies that carry state; n = payload length ---
    void Update_All_State();
    void onParamPageReply(const uint8_t *payload, int n);   // 0xAA
    void onSceneNameReply(const uint8_t *payload, int n);   // 0x10
    void onInputSourceReply(const uint8_t *payload, int n); // 0x02
    void onMasterVolumeReply(const uint8_t *payload, int n); // 0x0D

    // --- channel selection (editing) ---
    void BT_CH_Click();
    void BT_CH_Switch(uint8_t ch);
    void Update_Channel_State(uint8_t ch);

    // --- outputs (editing) ---
    void on_Slider_Total_Bar_valueChanged(int value);
    void on_Edit_Total_returnPressed();
    void on_BT_MainMute_clicked();
    void chVolSliderChanged(int ch, int value);
    void chVolEdited(int ch);
    void chDelayEdited(int ch);
    void phaseClicked(int ch);
    void muteClicked(int ch);
    void syncClicked(int ch);
    void ms_Fun();
    void cm_Fun();
    QString GetDelayDisplayStr(uint16_t d) const;
    void Phase_Button_Show(uint8_t ch, uint8_t state);
    void Mute_Button_Show(uint8_t ch, uint8_t state);
    void Sync_Button_Show(uint8_t ch, uint8_t state);
    void MainMute_Show(uint8_t on);

    // --- equaliser (editing) ---
    void eqGainSliderChanged(int band, int value);
    void eqGainEdited(int band);
    void eqFreqEdited(int band);
    void eqQEdited(int band);
    void on_BT_PEQ_clicked();
    void on_BT_GEQ_clicked();
    void on_BT_EQ_BYPASS_clicked();
    void on_BT_EQ_RESET_clicked();

    // --- input source, noise gate, comparison boxes (editing) ---
    void on_BT_INPUT_HI_clicked();
    void on_BT_INPUT_LOW_clicked();
    void on_BT_INPUT_OPT_clicked();
    void on_BT_INPUT_BT_clicked();
    void on_BT_INPUT_COAX_clicked();
    void noiseGateChosen(int level);
    void comparisonChanged(int ch, int state);
    void CarMap_Update_Change();
    void Input_Button_Show(uint8_t source);  // the looks of the input buttons for a source 0..2
    void SourceSet_Slider_Change(uint8_t, uint16_t);

    // --- left/right link (editing) ---
    void on_BT_LINK_clicked();

    // --- crossover filters (graph); filter 0 = high-pass, 1 = low-pass ---
    void filterTypeChosen(int filter, int type);
    void filterSlopeChosen(int filter, int item);
    void filterFreqEdited(int filter);
    void filterStep(int filter, bool up);

    // --- graph markers (graph) ---
    // Requests a repaint of the plot only: the painter draws nowhere else, and the controls around the
    // graph need no repaint when a curve changes (a whole-window repaint costs several times more).
    void updateGraph();
    void Mark_Point_Update_Change(int band);
    void HPF_Point_Update_Change();
    void LPF_Point_Update_Change();

    // --- processor scenes and maintenance (scenes) ---
    void Sence_Sub1_Fun();
    void Option_Sub3_Fun();
    void Option_Sub5_Fun();

public:
    // --- connection and polling (link) ---
    // Opens and identifies the processor again (the transfers that replace its whole state call it).
    void ConnectDevice();
    PollLoop &pollLoop() { return poll_; }
    // The response graph: its curves, markers and overlay.
    ResponseGraph &graph() { return *Graph; }

private:
    void buildChannelNameMenus();  // app/KestrunNaming.cpp
    void buildOptionMenus();       // app/KestrunMenus.cpp
    void buildFilterMenus();
    // The auto-tune window on the given sound card: made on first use, then shown again with its settings.
    void openAutoTune(AudioIo &audio);
    void wireControls();
    void initGraphTables();  // app/KestrunPaint.cpp: the response curves back to flat

    // Graph interaction (app/KestrunMarkers.cpp).
    int bandMarkerIndex(const QObject *o) const;
    int bandButtonIndex(const QObject *o) const;
    QLineEdit *valueEdit(QObject *o) const;
    bool stepValueEdit(QObject *o, int dir, bool autoRepeat, bool fromKey);
    void setEqMode(bool parametric);
    // Undo and redo (app/KestrunUndo.cpp).
    void buildUndoEntries();
    // Offline edits (app/KestrunOffline.cpp): the question after a download replaced them, and at closing.
    void resolveOfflineEdits();
    bool offlineEditsMayClose();
    bool runHistoryKey(QObject *watched, QEvent *event);
    // Every view shows what a model operation changed (app/KestrunRefresh.cpp).
    void onModelChanged(const ModelChange &change);
    void showSelectedChannel();

    OutputStrip *Strip[CH_COUNT] = {};
    BandColumn *Column[BAND_COUNT] = {};
    CrossoverPanel *Crossover[2] = {};
    ResponseGraph *Graph = nullptr;
    InputControls *Input = nullptr;

    // Scene files (link/KestrunSceneFiles.cpp). The open routines stage what they read; nothing
    // changes when they return false.
    bool SingleFileSave(const ParamBlock &block);  // true when the file was written
    bool SingleFileOpen(QByteArray *file);
    void AllFileSave();
    bool AllFileOpen();
    // Processor scenes and maintenance (scenes/KestrunScenes.cpp).
    bool UpgradeFileOpen(FirmwareImage &image);
    bool connectedOrNotice();                   // the connect-first box when no processor is connected
    bool transferMayStart(const TransferGuard &guard);  // the busy box when another transfer runs
    bool linkReadyForTransfer();                // waits for a running download; a box when it does not end
    void watchTransfers();                      // menu entries disabled while a transfer runs
    void showProgress(int value);               // TickBar shown with this value
    void restartLink();                         // identify the processor again and download its state

    TuningModel &model_;
    Notice &notice_;
    Language &language_;
    FileDialogs &files_;
    QPoint dragOffset_;
    bool dragging_ = false;
    RecentFolder folder_;  // where the file dialogs start
    AudioIo &audio_;       // the measurement panel's sound card

    // --- connection and polling (link/KestrunPoll.cpp): the window side of the link ---
    class PollView : public PollHost
    {
    public:
        explicit PollView(Kestrun &w) : w_(w) {}
        void showLinkStatus(bool online) override;
        void setProgress(int value) override;
        void showProgress(bool visible) override;
        void reportNameMismatch() override;
        void paramPageReply(const uint8_t *payload, int n) override;
        void sceneNameReply(const uint8_t *payload, int n) override;
        void inputSourceReply(const uint8_t *payload, int n) override;
        void masterVolumeReply(const uint8_t *payload, int n) override;

    private:
        Kestrun &w_;
    };
    PollView pollView_{*this};
    PollLoop poll_;
    LinkScheduler linkTimer_{poll_};
    QtTranslations qtTexts_;  // Qt's standard buttons and dialog labels in the window's language

public:
    // --- safe transfers, shortcuts, tooltips and the offline note (app/KestrunScenes.cpp,
    // app/KestrunSceneFiles.cpp) ---
    EditLock *TransferLock = nullptr;  // holds the editing controls still while a transfer runs
    StatusNote *OfflineNote = nullptr;  // the top bar's note while no processor is connected
    void applyHelpTexts();              // tooltips and the note in the current language

private:
    void setUpSafety();                                 // the lock, the shortcuts, the tooltips, the note
    bool sceneFilePlausible(const QByteArray &file);    // true, or the out-of-range box answered Send anyway
    void loadSingleOffline(const QByteArray &file);     // a single-scene file into the store and the controls
};
