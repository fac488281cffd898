// The auto-tune window built in code; the run is AutoTune's, the window only starts, follows and reports it.
#include "AutoTuneDialog.h"

#include "ComparisonView.h"
#include "Notice.h"
#include "ProcessorResponse.h"
#include "RecentFolder.h"
#include "TargetCurve.h"
#include "Texts.h"
#include "TuningPanel.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

const char *DialogStyle =
    "QDialog{background-color: rgb(67, 67, 68);border:2px solid gray;}"
    "QLabel,QGroupBox{color: rgb(255, 255, 255);}"
    "QGroupBox{border:1px solid gray;margin-top:14px;padding-top:4px;}"
    "QGroupBox::title{subcontrol-origin: margin;left:8px;}"
    "QPushButton{color: rgb(255, 255, 255);background-color: rgb(90, 90, 92);border:1px solid gray;padding:3px 8px;}"
    "QPushButton:pressed{background-color: rgb(120, 120, 122);}"
    "QPushButton:disabled{color: rgb(150, 150, 150);}";

// The dialog's own texts; a shared text of the window is named by shared(Txt).
enum Text {
    Title, MenuEntry, GroupGoal, GroupRun, GroupReport, Positions, SubOffset, Start, Cancel, Continue, Ready,
    MovePrompt, Cancelling, Done, Failed, Refused, NoFile, ColOutput, ColDelay, ColPolarity, ColLevel,
    ColPredicted, ColVerified, PolarityPlus, PolaritySwitched, PolarityAmbiguous, Limited, NotFitted, Count
};
const TextPair Texts[] = {
    {"自动调音", "Auto-tune"},
    {"自动调音…", "Auto-tune…"},
    {"目标与范围", "Target and range"},
    {"运行", "Run"},
    {"结果", "Report"},
    {"测量位置（1–9）", "Positions (1–9)"},
    {"低音炮电平偏移 (dB)", "Subwoofer level offset (dB)"},
    {"开始", "Start"},
    {"取消", "Cancel"},
    {"继续", "Continue"},
    {"就绪。", "Ready."},
    {"请把麦克风移到第 %1 个位置，然后按“继续”。", "Move the microphone to position %1, then press Continue."},
    {"正在取消…", "Cancelling…"},
    {"完成：调音已作为一个可撤销的步骤写入。", "Done: the tuning is written as one undoable step."},
    {"未完成，处理器已恢复原样：%1", "Not done, the processor is back as it was: %1"},
    {"无法开始：%1", "Cannot start: %1"},
    {"未选文件", "No file"},
    {"输出", "Output"},
    {"延时", "Delay"},
    {"极性", "Polarity"},
    {"电平", "Level"},
    {"RMS 预测", "RMS predicted"},
    {"RMS 验证", "RMS verified"},
    {"+", "+"},
    {"−（已翻转）", "− (switched)"},
    {"不确定（未改动）", "ambiguous (left as it was)"},
    {"（已达极限）", " (limited)"},
    {"未拟合", "not fitted"},
};
static_assert(sizeof Texts / sizeof Texts[0] == Count, "one text each");

constexpr int shared(Txt id) { return -1 - int(id); }

QString text(int id, uint8_t language)
{
    if (id < 0) return T(Txt(-1 - id), language);
    return QString::fromUtf8(language ? Texts[id].en : Texts[id].zh);
}

const int TargetItems[] = {shared(Txt::PanelTargetFlat), shared(Txt::PanelTargetTilt), shared(Txt::PanelTargetCar),
                           shared(Txt::PanelTargetFile)};
constexpr int FileTarget = 3;

QDoubleSpinBox *decimalBox(double lo, double hi, double value)
{
    auto *s = new QDoubleSpinBox;
    s->setRange(lo, hi);
    s->setSingleStep(0.5);
    s->setDecimals(1);
    s->setValue(value);
    return s;
}

QSpinBox *hzBox(int value)
{
    auto *s = new QSpinBox;
    s->setRange(GRAPH_MIN_FREQ, GRAPH_MAX_FREQ);
    s->setValue(value);
    s->setSuffix(QStringLiteral(" Hz"));
    return s;
}

}  // namespace

QString AutoTuneDialog::menuText(uint8_t language) { return text(MenuEntry, language); }

AutoTuneDialog::AutoTuneDialog(TuningModel &model, AudioIo &audio, const Notice &notice, RecentFolder &folder,
                               QWidget *parent)
    : FramelessDialog(parent), tune_(model, audio), notice_(notice), folder_(folder)
{
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_DeleteOnClose, false);
    setObjectName(QStringLiteral("AutoTuneDialog"));
    setStyleSheet(QString::fromLatin1(DialogStyle));

    auto *column = new QVBoxLayout(this);
    column->setSizeConstraint(QLayout::SetFixedSize);
    auto *top = new QHBoxLayout;
    auto *close = new QPushButton;
    close->setObjectName(QStringLiteral("BT_CLOSE"));
    close->setFixedSize(24, 24);
    close->setFocusPolicy(Qt::NoFocus);
    close->setStyleSheet(QStringLiteral(
        "QPushButton#BT_CLOSE{border-image: url(:/PNG/MainClose.png);background-color: transparent;border:none;}"));
    top->addWidget(label(Title));
    top->addStretch();
    top->addWidget(close);
    column->addLayout(top);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    auto *grid = new QGridLayout;
    column->addLayout(grid);

    QGridLayout *goal = group(grid, 0, 0, GroupGoal);
    target = new QComboBox;
    for (int k = 0; k < 4; ++k) target->addItem(QString());
    targetName = new QLabel;
    targetName->hide();
    positions = new QSpinBox;
    positions->setRange(1, 9);
    rangeLo = hzBox(GRAPH_MIN_FREQ);
    rangeHi = hzBox(GRAPH_MAX_FREQ);
    maxBoost = decimalBox(0, 12, FIT_DEFAULT_MAX_BOOST_DB);
    subOffset = decimalBox(-20, 20, 0);
    goal->addWidget(label(shared(Txt::PanelTarget)), 0, 0);
    goal->addWidget(target, 0, 1);
    goal->addWidget(targetName, 0, 2);
    goal->addWidget(label(Positions), 1, 0);
    goal->addWidget(positions, 1, 1);
    goal->addWidget(label(shared(Txt::PanelRange)), 2, 0);
    goal->addWidget(rangeLo, 2, 1);
    goal->addWidget(rangeHi, 2, 2);
    goal->addWidget(label(shared(Txt::PanelMaxBoost)), 3, 0);
    goal->addWidget(maxBoost, 3, 1);
    goal->addWidget(label(SubOffset), 4, 0);
    goal->addWidget(subOffset, 4, 1);
    connect(target, QOverload<int>::of(&QComboBox::activated), this, &AutoTuneDialog::chooseTarget);

    QGridLayout *run = group(grid, 0, 1, GroupRun);
    startButton = button(Start);
    cancelButton = button(Cancel);
    continueButton = button(Continue);
    progress = new QProgressBar;
    progress->setRange(0, 100);
    status = new QLabel;
    status->setWordWrap(true);
    status->setMinimumWidth(320);
    run->addWidget(startButton, 0, 0);
    run->addWidget(cancelButton, 0, 1);
    run->addWidget(continueButton, 0, 2);
    run->addWidget(progress, 1, 0, 1, 3);
    run->addWidget(status, 2, 0, 1, 3);
    run->setRowStretch(3, 1);
    connect(startButton, &QPushButton::clicked, this, &AutoTuneDialog::start);
    connect(cancelButton, &QPushButton::clicked, this, &AutoTuneDialog::cancel);
    connect(continueButton, &QPushButton::clicked, this, [this] {
        continueButton->setEnabled(false);
        tune_.continuePositions();
    });

    QGridLayout *results = group(grid, 1, 0, GroupReport);
    grid->addWidget(results->parentWidget(), 1, 0, 1, 2);
    report = new QTableWidget(0, 6);
    report->setEditTriggers(QAbstractItemView::NoEditTriggers);
    report->verticalHeader()->hide();
    report->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    report->horizontalHeader()->setStretchLastSection(true);
    report->setMinimumHeight(report->horizontalHeader()->sizeHint().height() +
                             report->verticalHeader()->defaultSectionSize() * CH_COUNT + 4);
    results->addWidget(report, 0, 0, 1, 3);
    for (int ch = 0; ch < CH_COUNT; ++ch) {
        plots[ch] = new ComparisonView;
        plots[ch]->hide();
        results->addWidget(plots[ch], 1 + ch / 3, ch % 3);
    }

    connect(&tune_, &AutoTune::progress, this, &AutoTuneDialog::onProgress);
    connect(&tune_, &AutoTune::waitingForPosition, this, &AutoTuneDialog::onWaiting);
    connect(&tune_, &AutoTune::finished, this, &AutoTuneDialog::onFinished);
    connect(&tune_, &AutoTune::failed, this, &AutoTuneDialog::onFailed);
    setRunning(false);
    setStatus(Ready);
    applyLanguage(language_);
}

AutoTuneDialog::~AutoTuneDialog() = default;

QGridLayout *AutoTuneDialog::group(QGridLayout *parent, int row, int column, int text)
{
    auto *box = new QGroupBox;
    captions_.push_back({box, text});
    parent->addWidget(box, row, column);
    return new QGridLayout(box);
}

QLabel *AutoTuneDialog::label(int id)
{
    auto *l = new QLabel(this);
    captions_.push_back({l, id});
    return l;
}

QPushButton *AutoTuneDialog::button(int id)
{
    auto *b = new QPushButton(this);
    captions_.push_back({b, id});
    return b;
}

void AutoTuneDialog::applyLanguage(uint8_t language)
{
    language_ = language;
    setWindowTitle(text(Title, language));
    for (const auto &c : captions_) {
        if (auto *box = qobject_cast<QGroupBox *>(c.first))
            box->setTitle(text(c.second, language));
        else if (auto *l = qobject_cast<QLabel *>(c.first))
            l->setText(text(c.second, language));
        else if (auto *b = qobject_cast<QAbstractButton *>(c.first))
            b->setText(text(c.second, language));
    }
    for (int k = 0; k < 4; ++k) target->setItemText(k, text(TargetItems[k], language));
    if (fileTarget_.empty()) targetName->setText(text(NoFile, language));
    QStringList headings;
    for (int id = ColOutput; id <= ColVerified; ++id) headings << text(id, language);
    report->setHorizontalHeaderLabels(headings);
    if (status_.first >= 0) setStatus(status_.first, status_.second);
    showReport();
}

bool AutoTuneDialog::settings(AutoTuneSettings &out, QString *why) const
{
    if (rangeLo->value() >= rangeHi->value()) return *why = T(Txt::PanelBadRange, language_), false;
    out = AutoTuneSettings();
    out.measure = measure_;
    out.measure.positions = positions->value();
    const int kind = target->currentIndex();
    if (kind == FileTarget)
        out.goal.target = fileTarget_;
    else if (kind > 0)
        out.goal.target = BuiltInTarget(TargetKind(kind));
    out.goal.maxBoostDb = maxBoost->value();
    out.goal.loHz = rangeLo->value();
    out.goal.hiHz = rangeHi->value();
    out.goal.subOffsetDb = subOffset->value();
    return true;
}

void AutoTuneDialog::chooseTarget(int index)
{
    if (index == FileTarget) {
        const QString path = folder_.openFile(this, text(shared(Txt::PanelTargetFile), language_),
                                              text(shared(Txt::PanelTargetFiles), language_));
        FreqCurve curve;
        TextError err;
        if (path.isEmpty() || !LoadTargetFile(path, curve, err)) {
            if (!path.isEmpty()) notice_.info(TuningPanel::refusal(err, 0), TuningPanel::refusal(err, 1));
            target->setCurrentIndex(shownTarget_);
            return;
        }
        fileTarget_ = curve;
        targetName->setText(QFileInfo(path).fileName());
    }
    shownTarget_ = index;
    targetName->setVisible(index == FileTarget);
}

void AutoTuneDialog::start()
{
    AutoTuneSettings s;
    QString why;
    if (!settings(s, &why) || !tune_.start(s, &why)) return setStatus(Refused, why);
    for (ComparisonView *plot : plots) plot->hide();
    report->setRowCount(0);
    progress->setValue(0);
    setRunning(true);
    setStatus(-1, QString());
}

void AutoTuneDialog::cancel()
{
    if (!tune_.running()) return;
    tune_.cancel();
    setStatus(Cancelling);
}

void AutoTuneDialog::hideEvent(QHideEvent *event)
{
    cancel();
    FramelessDialog::hideEvent(event);
}

void AutoTuneDialog::setRunning(bool on)
{
    for (QWidget *w : {static_cast<QWidget *>(target), static_cast<QWidget *>(positions), static_cast<QWidget *>(rangeLo),
                       static_cast<QWidget *>(rangeHi), static_cast<QWidget *>(maxBoost),
                       static_cast<QWidget *>(subOffset), static_cast<QWidget *>(startButton)})
        w->setEnabled(!on);
    cancelButton->setEnabled(on);
    continueButton->setEnabled(false);
    continueButton->setVisible(false);
}

void AutoTuneDialog::setStatus(int id, const QString &arg)
{
    status_ = {id, arg};
    if (id < 0) return;
    const QString line = text(id, language_);
    status->setText(line.contains(QLatin1String("%1")) ? line.arg(arg) : line);
}

void AutoTuneDialog::onProgress(AutoTuneStage, int ch, int percent, const QString &step)
{
    progress->setValue(percent);
    if (status_.first == Cancelling) return;
    status_ = {-1, QString()};
    status->setText(ch >= 0 ? QStringLiteral("CH%1: %2").arg(ch + 1).arg(step) : step);
}

void AutoTuneDialog::onWaiting(int, int nextPosition)
{
    continueButton->setVisible(true);
    continueButton->setEnabled(true);
    setStatus(MovePrompt, QString::number(nextPosition));
}

void AutoTuneDialog::onFinished()
{
    setRunning(false);
    progress->setValue(100);
    setStatus(Done);
    showReport();
}

void AutoTuneDialog::onFailed(const QString &reason)
{
    setRunning(false);
    setStatus(Failed, reason);
    showReport();  // the last finished run's, which the setup sheet still prints
}

std::vector<OutputComparison> AutoTuneDialog::comparisons() const
{
    std::vector<OutputComparison> out;
    for (const OutputTuning &t : tune_.report().outputs)
        out.push_back(OutputComparison::fromCurves(t.channel, t.before, t.after, t.target));
    return out;
}

void AutoTuneDialog::showReport()
{
    const std::vector<OutputTuning> &outputs = tune_.report().outputs;
    if (tune_.running() || outputs.empty()) return;
    report->setRowCount(int(outputs.size()));
    const std::vector<OutputComparison> curves = comparisons();
    for (int row = 0; row < int(outputs.size()); ++row) {
        const OutputTuning &t = outputs[size_t(row)];
        const QString limited = text(Limited, language_);
        const int polarity = t.phaseSwitched ? PolaritySwitched
                             : t.polarity == Polarity::Ambiguous ? PolarityAmbiguous : PolarityPlus;
        const QString cells[] = {
            QStringLiteral("CH%1").arg(t.channel + 1),
            QStringLiteral("%1 ms").arg(t.delayMs(), 0, 'f', 2) + (t.delayLimited ? limited : QString()),
            text(polarity, language_),
            QStringLiteral("%1 dB").arg(t.volumeDb(), 0, 'f', 1) + (t.volumeLimited ? limited : QString()),
            t.fitted ? QStringLiteral("%1 dB").arg(t.rmsPredicted, 0, 'f', 2) : text(NotFitted, language_),
            t.rmsVerified >= 0 ? QStringLiteral("%1 dB").arg(t.rmsVerified, 0, 'f', 2) : QStringLiteral("—"),
        };
        for (int col = 0; col < 6; ++col) report->setItem(row, col, new QTableWidgetItem(cells[col]));
        if (t.channel >= 0 && t.channel < CH_COUNT) {
            plots[t.channel]->setComparison(curves[size_t(row)], cells[0], language_);
            plots[t.channel]->show();
        }
    }
}
