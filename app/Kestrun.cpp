// The main window: construction in its fixed order, the title-bar buttons and window dragging.
#include "Kestrun.h"

#include "AbControls.h"
#include "BandColumn.h"
#include "Commands.h"
#include "CrossoverPanel.h"
#include "EntryHint.h"
#include "InputControls.h"
#include "DragPushButton.h"
#include "LinkState.h"
#include "Notice.h"
#include "OutputStrip.h"
#include "ResponseGraph.h"
#include "ResponseMath.h"
#include "SceneNames.h"
#include "Styles.h"
#include "Transport.h"
#include "TuningModel.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>

// Resources live in the static library; register them before the first use.
static void initResources() { Q_INIT_RESOURCE(kestrun); }

Kestrun::Kestrun(TuningModel &model, Notice &notice, FileDialogs &files, AudioIo &audio, Language &language, QWidget *parent)
    : QWidget(parent), model_(model), notice_(notice), language_(language), files_(files), folder_(files), audio_(audio),
      poll_(pollView_, model.session)
{
    initResources();
    qtTexts_.setLanguage(language_.LanguageFlag);
    // 1. The controls, their Chinese texts and the slot wiring.
    ui = new KestrunForm;
    ui->setupUi(this);
    wireControls();
    Hint = new EntryHint(this, language_);
    for (int ch = 0; ch < CH_COUNT; ++ch) Strip[ch] = new OutputStrip(*ui, model_, *Hint, language_, ch, this);
    for (int b = 0; b < BAND_COUNT; ++b) Column[b] = new BandColumn(*ui, model_, *Hint, b, this);
    for (int f = 0; f < 2; ++f) Crossover[f] = new CrossoverPanel(*ui, model_, *Hint, language_, f, this);
    Graph = new ResponseGraph(*this, *ui, model_, *this);
    Ab = new AbControls(*this, model_, *Hint, language_);
    connect(&model_, &TuningModel::changed, this, &Kestrun::onModelChanged);
    // 2.
    model_.MainMuteOn = 0;
    // 3., 4. Pop-up menus.
    buildChannelNameMenus();
    buildOptionMenus();
    Input = new InputControls(*ui, NoiseGateAct, model_, this);
    // 6. Markers; the window watches them, the step buttons and the band buttons.
    for (int b = 0; b < BAND_COUNT; ++b) {
        BandMark[b] = new DragPushButton(QString(), this);
        BandMark[b]->setObjectName(QStringLiteral("BT_Mark_%1").arg(b + 1));
        BandMark[b]->setGeometry(36, 139, 11, 11);
        BandMark[b]->installEventFilter(this);
    }
    HpfMark = new DragPushButton(QString(), this);
    HpfMark->setObjectName(QStringLiteral("BT_Mark_HPF"));
    HpfMark->setGeometry(36, 148, 16, 16);
    HpfMark->setStyleSheet(QStringLiteral("DragPushButton{border-image: url(:/PNG/H_Nor.png);background-color: transparent;}"));
    LpfMark = new DragPushButton(QString(), this);
    LpfMark->setObjectName(QStringLiteral("BT_Mark_LPF"));
    LpfMark->setGeometry(1080, 148, 16, 16);
    LpfMark->setStyleSheet(QStringLiteral("DragPushButton{border-image: url(:/PNG/L_Nor.png);background-color: transparent;} "
                                          "DragPushButton#BT_Mark_LPF:pressed{border-image: url(:/PNG/L_On.png);}"));
    for (QObject *o : {static_cast<QObject *>(HpfMark), static_cast<QObject *>(LpfMark),
                       static_cast<QObject *>(ui->BT_HPF_FREQ_UP), static_cast<QObject *>(ui->BT_HPF_FREQ_DOWN),
                       static_cast<QObject *>(ui->BT_LPF_FREQ_UP), static_cast<QObject *>(ui->BT_LPF_FREQ_DOWN)})
        o->installEventFilter(this);
    for (QPushButton *b : ui->BT_LED) b->installEventFilter(this);
    // 7.
    for (int b = 0; b < BAND_COUNT; ++b) ui->Edit_Label[b]->setText(QString::number(b + 1));
    // 8.
    model_.session.Link.ExpectedDeviceName = "NV_PRC52";
    model_.session.Link.LinkStatus = 0;
    on_BT_PEQ_clicked();
    ui->TickBar->hide();
    linkTimer_.start();
    // 9.
    buildFilterMenus();
    // 10.
    setWindowFlags(Qt::FramelessWindowHint);
    // 11. One decorative rule stays hidden; the window watches every value edit.
    ui->Rule[25]->hide();
    for (int b = 0; b < BAND_COUNT; ++b)
        for (QLineEdit *e : {ui->Edit_EQ_Gain[b], ui->Edit_EQ_Freq[b], ui->Edit_EQ_Q[b]}) e->installEventFilter(this);
    for (int ch = 0; ch < CH_COUNT; ++ch) {
        ui->Edit_CHVol[ch]->installEventFilter(this);
        ui->Edit_CHDelay[ch]->installEventFilter(this);
    }
    ui->Edit_Total->installEventFilter(this);
    ui->Edit_HPF_Freq->installEventFilter(this);
    ui->Edit_LPF_Freq->installEventFilter(this);
    // 12. Graph tables and parameter defaults, then their display.
    initGraphTables();
    model_.setDefaults();
    model_.store.MasterVol = 600;
    ModelChange everything;
    everything.all = true;
    onModelChanged(everything);
    // 13. Channel buttons; channel CH1 selected.
    for (QPushButton *b : ui->BT_CH) connect(b, &QPushButton::clicked, this, &Kestrun::BT_CH_Click);
    BT_CH_Switch(0);
    // 14.
    model_.session.sceneNames.reset();
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
        Phase_Button_Show(ch, 0);
        Mute_Button_Show(ch, 0);
        Sync_Button_Show(ch, 0);
    }
    model_.session.Port.onWriteFailed = [this] { notice_.info(Txt::ConnectError); };
    setUpSafety();
}

Kestrun::~Kestrun()
{
    model_.session.Port.onWriteFailed = nullptr;
    delete Graph;
    delete ui;
}

void Kestrun::wireControls()
{
    connect(ui->BT_MIN, &QPushButton::clicked, this, &Kestrun::on_BT_MIN_clicked);
    connect(ui->BT_CLOSE, &QPushButton::clicked, this, &Kestrun::on_BT_CLOSE_clicked);
    connect(ui->BT_CONNECT, &QPushButton::clicked, this, &Kestrun::on_BT_CONNECT_clicked);
    connect(ui->BT_CH_NAME[0], &QPushButton::clicked, this, &Kestrun::on_BT_CH_NAME_1_clicked);
    connect(ui->BT_CH_NAME[0], &QPushButton::toggled, this, &Kestrun::on_BT_CH_NAME_1_toggled);
    connect(ui->BT_CH_NAME[0], &QWidget::customContextMenuRequested, this,
            &Kestrun::on_BT_CH_NAME_1_customContextMenuRequested);
    connect(ui->BT_CH_NAME[2], &QPushButton::clicked, this, &Kestrun::on_BT_CH_NAME_3_clicked);
    connect(ui->BT_LED[15], &QPushButton::clicked, this, &Kestrun::on_BT_LED_16_clicked);

    // Master volume and the comparison boxes.
    connect(ui->Slider_Total_Bar, &QSlider::valueChanged, this, &Kestrun::on_Slider_Total_Bar_valueChanged);
    connect(ui->Edit_Total, &QLineEdit::returnPressed, this, &Kestrun::on_Edit_Total_returnPressed);
    connect(ui->BT_MainMute, &QPushButton::clicked, this, &Kestrun::on_BT_MainMute_clicked);
    for (int ch = 0; ch < CH_COUNT; ++ch)
        connect(ui->checkBox[ch], &QCheckBox::stateChanged, this, [this, ch](int s) { comparisonChanged(ch, s); });

    // Equaliser buttons.
    connect(ui->BT_PEQ, &QPushButton::clicked, this, &Kestrun::on_BT_PEQ_clicked);
    connect(ui->BT_GEQ, &QPushButton::clicked, this, &Kestrun::on_BT_GEQ_clicked);
    connect(ui->BT_EQ_BYPASS, &QPushButton::clicked, this, &Kestrun::on_BT_EQ_BYPASS_clicked);
    connect(ui->BT_EQ_RESET, &QPushButton::clicked, this, &Kestrun::on_BT_EQ_RESET_clicked);
    connect(ui->BT_LINK, &QPushButton::clicked, this, &Kestrun::on_BT_LINK_clicked);

    // Input source.
    connect(ui->BT_INPUT_BT, &QPushButton::clicked, this, &Kestrun::on_BT_INPUT_BT_clicked);
    connect(ui->BT_INPUT_COAX, &QPushButton::clicked, this, &Kestrun::on_BT_INPUT_COAX_clicked);
}

void Kestrun::on_BT_MIN_clicked()
{
    setWindowState(Qt::WindowMinimized);
}

void Kestrun::on_BT_CLOSE_clicked()
{
    if (!offlineEditsMayClose()) return;
    if (model_.session.Link.Connected) CMD_CLOSE(model_.session);
    QCoreApplication::exit(0);
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

// Slots that exist for the form's sake and do nothing.
void Kestrun::Option_Sub4_Fun() {}
void Kestrun::on_BT_CONNECT_clicked() {}
void Kestrun::on_BT_CAR_MAP_clicked() {}
void Kestrun::on_BT_CH_NAME_1_clicked() {}
void Kestrun::on_BT_CH_NAME_1_toggled(bool) {}
void Kestrun::on_BT_CH_NAME_1_customContextMenuRequested(const QPoint &) {}
void Kestrun::on_BT_CH_NAME_3_clicked() {}
void Kestrun::on_BT_LED_16_clicked() {}
void Kestrun::on_BT_CH7_clicked() {}
void Kestrun::HPF_Slope1_Hover() {}
