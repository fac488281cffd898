// The main window: construction in its fixed order, the title-bar buttons and window dragging.
#include "Kestrun.h"

#include "AbControls.h"
#include "BandColumn.h"
#include "ChannelNaming.h"
#include "Commands.h"
#include "CrossoverPanel.h"
#include "CrossoverSlots.h"
#include "DragPushButton.h"
#include "EditLock.h"
#include "EntryHint.h"
#include "EqualizerSlots.h"
#include "GraphMarkers.h"
#include "InputControls.h"
#include "InputSlots.h"
#include "LanguageSwitch.h"
#include "LinkState.h"
#include "LinkView.h"
#include "Notice.h"
#include "OutputSlots.h"
#include "OutputStrip.h"
#include "OutputValues.h"
#include "ProcessorScenes.h"
#include "RecentFolder.h"
#include "ResponseGraph.h"
#include "ResponseMath.h"
#include "SceneFiles.h"
#include "SceneNames.h"
#include "StatusNote.h"
#include "Styles.h"
#include "Tooltips.h"
#include "Transport.h"
#include "TuningModel.h"
#include "WindowMenus.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSlider>
#include <QStyleOption>

// Resources live in the static library; register them before the first use.
static void initResources() { Q_INIT_RESOURCE(kestrun); }

struct Kestrun::Parts {
    Parts(FileDialogs &files, AudioIo &audio, Language &language) : folder(files), audio(audio), text(language) {}
    RecentFolder folder;  // where the file dialogs start
    AudioIo &audio;       // the measurement panel's sound card
    Language &text;       // the language of every text the window builds
    OutputStrip *Strip[CH_COUNT] = {};
    BandColumn *Column[BAND_COUNT] = {};
    CrossoverPanel *Crossover[2] = {};
    ResponseGraph *Graph = nullptr;
    InputControls *Input = nullptr;
    std::unique_ptr<LanguageSwitch> language;
    std::unique_ptr<LinkView> link;
    std::unique_ptr<OutputSlots> outputs;
    std::unique_ptr<EqualizerSlots> equalizer;
    std::unique_ptr<InputSlots> inputs;
    std::unique_ptr<CrossoverSlots> crossover;
    std::unique_ptr<ChannelNaming> naming;
    std::unique_ptr<GraphMarkers> markers;
    std::unique_ptr<WindowMenus> menus;
    std::unique_ptr<SceneFiles> sceneFiles;
    std::unique_ptr<ProcessorScenes> scenes;
};

Kestrun::Kestrun(TuningModel &model, Notice &notice, FileDialogs &files, AudioIo &audio, Language &language,
                 QWidget *parent)
    : QWidget(parent), model_(model), notice_(notice), parts_(new Parts(files, audio, language))
{
    initResources();
    Parts &p = *parts_;
    p.language.reset(new LanguageSwitch(*this, model_, p.text));
    p.link.reset(new LinkView(*this, model_, notice_));
    // 1. The controls, their Chinese texts and the slot wiring.
    ui = new KestrunForm;
    ui->setupUi(this);
    connect(ui->BT_MIN, &QPushButton::clicked, this, &Kestrun::on_BT_MIN_clicked);
    connect(ui->BT_CLOSE, &QPushButton::clicked, this, &Kestrun::on_BT_CLOSE_clicked);
    p.link->wireControls();
    p.naming.reset(new ChannelNaming(*this, *ui, model_, p.text));
    p.outputs.reset(new OutputSlots(*this, model_, p.Strip));
    p.equalizer.reset(new EqualizerSlots(*ui, model_, notice_, p.Column));
    p.inputs.reset(new InputSlots(*this, model_, p.Input, p.Strip));
    p.crossover.reset(new CrossoverSlots(model_, p.Crossover));
    p.sceneFiles.reset(new SceneFiles(*this, model_, notice_, p.folder));
    p.scenes.reset(new ProcessorScenes(*this, model_.session, notice_, p.folder));
    p.markers.reset(new GraphMarkers(*this, model_));
    Hint = new EntryHint(this, p.text);
    for (int ch = 0; ch < CH_COUNT; ++ch) p.Strip[ch] = new OutputStrip(*ui, model_, *Hint, p.text, ch, this);
    for (int b = 0; b < BAND_COUNT; ++b) p.Column[b] = new BandColumn(*ui, model_, *Hint, b, this);
    for (int f = 0; f < 2; ++f) p.Crossover[f] = new CrossoverPanel(*ui, model_, *Hint, p.text, f, this);
    p.Graph = new ResponseGraph(*this, *ui, model_, *p.markers);
    Ab = new AbControls(*this, model_, *Hint, p.text);
    connect(&model_, &TuningModel::changed, this, &Kestrun::onModelChanged);
    // 2.
    model_.MainMuteOn = 0;
    // 3., 4. Pop-up menus.
    p.naming->buildChannelNameMenus();
    p.menus.reset(new WindowMenus(*this, model_, notice_, p.folder, p.audio));
    p.menus->buildOptionMenus();
    p.Input = new InputControls(*ui, p.menus->NoiseGateAct, model_, this);
    // 6. Markers; the window's markers part watches them, the step buttons and the band buttons.
    p.markers->createMarkers();
    // 7.
    for (int b = 0; b < BAND_COUNT; ++b) ui->Edit_Label[b]->setText(QString::number(b + 1));
    // 8.
    model_.session.Link.ExpectedDeviceName = "NV_PRC52";
    model_.session.Link.LinkStatus = 0;
    p.equalizer->on_BT_PEQ_clicked();
    ui->TickBar->hide();
    p.link->startTicks();
    // 9.
    p.menus->buildFilterMenus();
    // 10.
    setWindowFlags(Qt::FramelessWindowHint);
    // 11. One decorative rule stays hidden; the markers part watches every value edit.
    ui->Rule[25]->hide();
    p.markers->watchValueEdits();
    // 12. Graph tables and parameter defaults, then their display.
    p.Graph->curves().reset();
    model_.setDefaults();
    model_.store.MasterVol = 600;
    ModelChange everything;
    everything.all = true;
    onModelChanged(everything);
    // 13. Channel buttons; channel CH1 selected.
    for (QPushButton *b : ui->BT_CH) connect(b, &QPushButton::clicked, p.outputs.get(), &OutputSlots::BT_CH_Click);
    p.outputs->BT_CH_Switch(0);
    // 14.
    // 15. Start-up looks.
    for (QPushButton *b : {ui->BT_HPF_FREQ_UP, ui->BT_HPF_FREQ_DOWN, ui->BT_LPF_FREQ_UP, ui->BT_LPF_FREQ_DOWN,
                           ui->BT_INPUT_BT, ui->BT_INPUT_LOW, ui->BT_INPUT_COAX})
        b->hide();
    ui->Label[14]->hide();
    ui->BT_PEQ->setStyleSheet(Styles::light(QStringLiteral("BT_PEQ")));
    ui->BT_GEQ->setStyleSheet(Styles::dark(QStringLiteral("BT_GEQ")));
    ui->BT_CONNECT->setEnabled(false);
    model_.store.InputSource = 0;
    ui->BT_INPUT_LOW->setStyleSheet(Styles::light(QStringLiteral("BT_INPUT_LOW")));
    for (uint8_t ch = 0; ch < CH_COUNT; ++ch) {
        p.outputs->Phase_Button_Show(ch, 0);
        p.outputs->Mute_Button_Show(ch, 0);
        p.outputs->Sync_Button_Show(ch, 0);
    }
    model_.session.Port.onWriteFailed = [this] { notice_.info(Txt::ConnectError); };
    setUpSafety();
}

Kestrun::~Kestrun()
{
    model_.session.Port.onWriteFailed = nullptr;
    delete parts_->Graph;
    delete ui;
}

int Kestrun::periodicTimerId() const { return parts_->link->periodicTimerId(); }
PollLoop &Kestrun::pollLoop() { return parts_->link->pollLoop(); }
ResponseGraph &Kestrun::graph() { return *parts_->Graph; }
WindowMenus &Kestrun::menus() { return *parts_->menus; }
ChannelNaming &Kestrun::naming() { return *parts_->naming; }
OutputSlots &Kestrun::outputs() { return *parts_->outputs; }
EqualizerSlots &Kestrun::equalizer() { return *parts_->equalizer; }
InputSlots &Kestrun::inputs() { return *parts_->inputs; }
CrossoverSlots &Kestrun::crossover() { return *parts_->crossover; }
GraphMarkers &Kestrun::markers() { return *parts_->markers; }
SceneFiles &Kestrun::sceneFiles() { return *parts_->sceneFiles; }
ProcessorScenes &Kestrun::scenes() { return *parts_->scenes; }
LanguageSwitch &Kestrun::language() { return *parts_->language; }
LinkView &Kestrun::linkView() { return *parts_->link; }

void Kestrun::setUpSafety()
{
    // Every control that edits the store or sends a command is held still during transfers.
    TransferLock = new EditLock(this);
    GraphMarkers &marks = markers();
    for (int b = 0; b < BAND_COUNT; ++b)
        for (QWidget *c : std::initializer_list<QWidget *>{ui->Slider_EQ_Gain_Bar[b], ui->Edit_EQ_Gain[b], ui->Edit_EQ_Freq[b],
                                                         ui->Edit_EQ_Q[b], ui->BT_LED[b], marks.BandMark[b]})
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
             ui->BT_INPUT_COAX, marks.HpfMark, marks.LpfMark, Ab->switchButton(0), Ab->switchButton(1), Ab->storeButton(0),
             Ab->storeButton(1)})
        TransferLock->watch(c);
    menus().watchTransfers();

    // Ctrl+1..Ctrl+6 act as a click on the channel button; Ctrl+S and Ctrl+O save and load one scene.
    for (int ch = 0; ch < CH_COUNT; ++ch) {
        auto *key = new QShortcut(QKeySequence(int(Qt::CTRL) + int(Qt::Key_1) + ch), this);
        connect(key, &QShortcut::activated, ui->BT_CH[ch], &QPushButton::click);
    }
    connect(new QShortcut(QKeySequence(int(Qt::CTRL) + int(Qt::Key_S)), this), &QShortcut::activated, &sceneFiles(),
            &SceneFiles::Sence_Sub2_Fun);
    connect(new QShortcut(QKeySequence(int(Qt::CTRL) + int(Qt::Key_O)), this), &QShortcut::activated, &sceneFiles(),
            &SceneFiles::Sence_Sub3_Fun);

    OfflineNote = new StatusNote(this, ui->TickBar, model_, parts_->text);
    applyHelpTexts();
}

void Kestrun::applyHelpTexts()
{
    Tooltips::apply(*this, parts_->text);
    Ab->retranslate();
    OfflineNote->refresh();
}

void Kestrun::on_BT_MIN_clicked()
{
    setWindowState(Qt::WindowMinimized);
}

void Kestrun::on_BT_CLOSE_clicked()
{
    if (!sceneFiles().offlineEditsMayClose()) return;
    if (model_.session.Link.Connected) CMD_CLOSE(model_.session);
    QCoreApplication::exit(0);
}

void Kestrun::timerEvent(QTimerEvent *event)
{
    // Only ticks delivered by hand reach the window; the scheduler's own timers go to the scheduler.
    if (event->timerId() != periodicTimerId()) return;
    parts_->link->tick();
}

void Kestrun::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) return;
    dragOffset_ = event->globalPos() - frameGeometry().topLeft();
    event->accept();
    dragging_ = event->localPos().y() < 50.0;
}

void Kestrun::mouseMoveEvent(QMouseEvent *event)
{
    if (!(event->buttons() & Qt::LeftButton) || !dragging_) return;
    move(event->globalPos() - dragOffset_);
    event->accept();
}

// Draws only what the tables hold; every curve was computed when its parameters changed.
void Kestrun::paintEvent(QPaintEvent *)
{
    QStyleOption opt;
    opt.initFrom(this);
    QPainter p(this);
    style()->drawPrimitive(QStyle::PE_Widget, &opt, &p, this);
    parts_->Graph->paint(p);
}

namespace {

constexpr uint8_t ALL_BAND_ASPECTS = ModelChange::Gain | ModelChange::Freq | ModelChange::Q;

void showLit(QPushButton *b, bool lit)
{
    b->setStyleSheet(lit ? Styles::light(b->objectName()) : Styles::dark(b->objectName()));
}

}  // namespace

// Every view of the window shows what a model operation changed.

// The channel buttons, the link button and the equaliser bypass of the channel now shown.
void Kestrun::showSelectedChannel()
{
    const TuningModel &m = model_;
    for (int k = 0; k < CH_COUNT; ++k) showLit(ui->BT_CH[k], k == m.CurCh);
    showLit(ui->BT_LINK, m.links.isLinked(m.CurCh));
}

void Kestrun::onModelChanged(const ModelChange &c)
{
    const TuningModel &m = model_;
    const Parts &p = *parts_;
    const uint8_t ch = m.CurCh;
    const bool full = c.all || c.selection;
    for (OutputStrip *s : p.Strip) s->refresh(c);
    if (full) showSelectedChannel();
    else if (c.links) showLit(ui->BT_LINK, false);
    if (ch < CH_COUNT) {
        if (full || c.eqBypass[ch]) {
            showLit(ui->BT_EQ_BYPASS, m.store.EqBypass[ch]);
            ui->Label[14]->setVisible(m.store.EqBypass[ch]);  // label_15, the bypass caption on the graph
        }
        for (int b = 0; b < BAND_COUNT; ++b) p.Column[b]->refresh(full ? ALL_BAND_ASPECTS : c.band[ch][b], full);
        for (int f = 0; f < 2; ++f)
            if (full || c.filter[ch][f]) p.Crossover[f]->refresh(full);
    }
    if (c.all || c.master) {
        {
            const QSignalBlocker block(ui->Slider_Total_Bar);
            ui->Slider_Total_Bar->setValue(m.store.MasterVol);
        }
        ui->Edit_Total->setText(OutputValues::volumeText(m.store.MasterVol));
    }
    if (c.all || c.mainMute) p.outputs->MainMute_Show(m.MainMuteOn);
    p.Input->refresh(c);
    if (c.all || c.names) {
        p.naming->Channel_Display();
        p.naming->Update_Name_Marks();
    }
    if (c.delayUnit) ui->BT_Unit->setText(m.DelayUnit == 1 ? QStringLiteral("cm") : QStringLiteral("ms"));
    Ab->refresh(c);
    p.Graph->apply(c);
}
