// The measurement panel, built in code; the run changes the processor only through the model.
#include "MeasurePanel.h"

#include "ImpulseView.h"
#include "MeasurementExport.h"
#include "MeasurementOverlay.h"
#include "RecentFolder.h"
#include "SpeakerCodes.h"
#include "TuningModel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHideEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTime>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int PanelWidth = 460;

QString polarityText(Polarity p, uint8_t language)
{
    return p == Polarity::Positive ? QStringLiteral("+")
           : p == Polarity::Negative ? QStringLiteral("\u2212")
                                      : T(Txt::MeasPolarityAmbiguous, language);
}

// Why a result cannot be used, in the given language; empty when it can.
QString problemText(const CaptureResult &r, uint8_t language)
{
    if (r.noSignal) return T(Txt::MeasNoSignal, language);
    if (r.clipped()) return T(Txt::MeasClipped, language).arg(r.clippedSamples);
    if (!r.problem.isEmpty()) return T(Txt::MeasUnusable, language).arg(r.problem);
    return QString();
}

// The overlay's measurement of a result: the swept band of its response.
Measurement overlayMeasurement(const OutputMeasurement &m)
{
    Measurement out;
    out.name = QStringLiteral("CH%1 %2").arg(m.channel + 1).arg(QTime::currentTime().toString(QStringLiteral("HH:mm:ss")));
    const CaptureResult &r = m.result;
    for (size_t i = 0; i < r.hz.size() && i < r.magnitudeDb.size(); ++i) {
        if (r.validHighHz > r.validLowHz && (r.hz[i] < r.validLowHz || r.hz[i] > r.validHighHz)) continue;
        out.curve.hz.push_back(r.hz[i]);
        out.curve.db.push_back(r.magnitudeDb[i]);
    }
    return out;
}

}  // namespace

MeasurePanel::MeasurePanel(TuningModel &model, AudioIo &audio, MeasurementOverlay &overlay, RecentFolder &folder,
                           QWidget *parent)
    : FramelessDialog(parent), model_(model), audio_(audio), overlay_(overlay), folder_(folder), run_(model, audio)
{
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_DeleteOnClose, false);
    setObjectName(QStringLiteral("MeasurePanel"));
    setStyleSheet(panelStyle() + QStringLiteral("QPushButton:disabled{color: rgb(150, 150, 150);}"));
    last_.channel = -1;

    auto *column = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;
    top->addWidget(captioned<QLabel>(Txt::MeasTitle));
    top->addStretch();
    top->addWidget(panelCloseButton());
    column->addLayout(top);

    buildDevices(group(column, Txt::MeasGroupDevices));
    buildSweep(group(column, Txt::MeasGroupSweep));
    buildRun(group(column, Txt::MeasGroupRun));
    buildImpulse(group(column, Txt::MeasGroupImpulse));

    connect(&run_, &MeasureRun::progress, this, &MeasurePanel::onProgress);
    connect(&run_, &MeasureRun::waitingForPosition, this, &MeasurePanel::onWaiting);
    connect(&run_, &MeasureRun::outputMeasured, this, &MeasurePanel::onMeasured);
    connect(&run_, &MeasureRun::finished, this, &MeasurePanel::onFinished);
    connect(&run_, &MeasureRun::failed, this, &MeasurePanel::onFailed);
    connect(&model_, &ModelCore::changed, this, &MeasurePanel::modelChanged);

    refreshDevices();
    setRunning(false);
    applyLanguage(0);
}

MeasurePanel::~MeasurePanel()
{
    // The run puts the processor back as it goes; its last signal must not reach the members already gone.
    disconnect(&run_, nullptr, this, nullptr);
}

QGridLayout *MeasurePanel::group(QVBoxLayout *column, Txt title)
{
    auto *box = new QGroupBox;
    box->setMinimumWidth(PanelWidth);
    captions_.push_back({box, title});
    column->addWidget(box);
    return new QGridLayout(box);
}

template <class W>
W *MeasurePanel::captioned(Txt text)
{
    auto *w = new W(this);
    captions_.push_back({w, text});
    return w;
}

void MeasurePanel::buildDevices(QGridLayout *g)
{
    outputDevice = new QComboBox;
    inputDevice = new QComboBox;
    for (QComboBox *c : {outputDevice, inputDevice}) {
        c->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        c->setMinimumContentsLength(24);
    }
    refreshButton = captioned<QPushButton>(Txt::MeasRefresh);
    rate = new QComboBox;
    rate->addItem(QStringLiteral("44.1 kHz"), 44100);
    rate->addItem(QStringLiteral("48 kHz"), 48000);
    rate->setCurrentIndex(1);
    g->addWidget(captioned<QLabel>(Txt::MeasOutputDevice), 0, 0);
    g->addWidget(outputDevice, 0, 1);
    g->addWidget(refreshButton, 0, 2);
    g->addWidget(captioned<QLabel>(Txt::MeasInputDevice), 1, 0);
    g->addWidget(inputDevice, 1, 1);
    g->addWidget(captioned<QLabel>(Txt::MeasSampleRate), 2, 0);
    g->addWidget(rate, 2, 1, Qt::AlignLeft);
    g->setColumnStretch(1, 1);
    connect(refreshButton, &QPushButton::clicked, this, &MeasurePanel::refreshDevices);
}

void MeasurePanel::buildSweep(QGridLayout *g)
{
    sweepSeconds = new QDoubleSpinBox;
    sweepSeconds->setRange(SWEEP_MIN_SECONDS, SWEEP_MAX_SECONDS);
    sweepSeconds->setSingleStep(0.5);
    sweepSeconds->setDecimals(1);
    sweepSeconds->setValue(SweepSettings().seconds);
    sweepSeconds->setSuffix(QStringLiteral(" s"));
    sweepLevel = new QDoubleSpinBox;
    sweepLevel->setRange(-60.0, 0.0);
    sweepLevel->setSingleStep(1.0);
    sweepLevel->setDecimals(1);
    sweepLevel->setValue(SweepSettings().levelDbfs);
    sweepLevel->setSuffix(QStringLiteral(" dBFS"));
    g->addWidget(captioned<QLabel>(Txt::MeasSweepLength), 0, 0);
    g->addWidget(sweepSeconds, 0, 1);
    g->addWidget(captioned<QLabel>(Txt::MeasSweepLevel), 0, 2);
    g->addWidget(sweepLevel, 0, 3);

    micLoad = captioned<QPushButton>(Txt::MeasMicLoad);
    micClear = captioned<QPushButton>(Txt::MeasMicClear);
    micName = new QLabel;
    micName->setMinimumWidth(160);
    auto *mic = new QHBoxLayout;
    mic->addWidget(micName, 1);
    mic->addWidget(micLoad);
    mic->addWidget(micClear);
    g->addWidget(captioned<QLabel>(Txt::MeasMicFile), 1, 0);
    g->addLayout(mic, 1, 1, 1, 3);

    positions = new QSpinBox;
    positions->setRange(1, 9);
    positions->setValue(1);
    levelCheck = captioned<QCheckBox>(Txt::MeasLevelCheck);
    levelCheck->setChecked(true);
    g->addWidget(captioned<QLabel>(Txt::MeasPositions), 2, 0);
    g->addWidget(positions, 2, 1);
    g->addWidget(levelCheck, 2, 2, 1, 2);
    g->setColumnStretch(1, 1);
    g->setColumnStretch(3, 1);
    connect(micLoad, &QPushButton::clicked, this, &MeasurePanel::loadMic);
    connect(micClear, &QPushButton::clicked, this, [this] {
        mic_ = MicCalibration();
        micFile_.clear();
        applyLanguage(language_);
    });
}

void MeasurePanel::buildRun(QGridLayout *g)
{
    measureButton = new QPushButton(this);
    measureAllButton = captioned<QPushButton>(Txt::MeasMeasureAll);
    cancelButton = captioned<QPushButton>(Txt::MeasCancel);
    continueButton = captioned<QPushButton>(Txt::MeasContinue);
    g->addWidget(measureButton, 0, 0);
    g->addWidget(measureAllButton, 0, 1);
    g->addWidget(continueButton, 0, 2);
    g->addWidget(cancelButton, 0, 3);
    progress = new QProgressBar;
    progress->setRange(0, 100);
    progress->setTextVisible(true);
    status = new QLabel;
    status->setObjectName(QStringLiteral("MeasureStatus"));
    status->setWordWrap(true);
    status->setMinimumHeight(2 * fontMetrics().height());
    status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    g->addWidget(progress, 1, 0, 1, 4);
    g->addWidget(status, 2, 0, 1, 4);
    connect(measureButton, &QPushButton::clicked, this, &MeasurePanel::measureSelected);
    connect(measureAllButton, &QPushButton::clicked, this, &MeasurePanel::measureAll);
    connect(cancelButton, &QPushButton::clicked, this, &MeasurePanel::cancel);
    connect(continueButton, &QPushButton::clicked, this, [this] {
        continueButton->setEnabled(false);
        run_.continuePositions();
    });
}

void MeasurePanel::buildImpulse(QGridLayout *g)
{
    impulse = new ImpulseView;
    impulseInfo = new QLabel;
    impulseInfo->setWordWrap(true);
    impulseInfo->setTextInteractionFlags(Qt::TextSelectableByMouse);
    exportTextButton = captioned<QPushButton>(Txt::MeasExportText);
    exportWavButton = captioned<QPushButton>(Txt::MeasExportWav);
    g->addWidget(impulse, 0, 0, 1, 3);
    g->addWidget(impulseInfo, 1, 0, 1, 3);
    g->addWidget(exportTextButton, 2, 0);
    g->addWidget(exportWavButton, 2, 1);
    g->setColumnStretch(2, 1);
    connect(exportTextButton, &QPushButton::clicked, this, &MeasurePanel::exportText);
    connect(exportWavButton, &QPushButton::clicked, this, &MeasurePanel::exportWav);
}

void MeasurePanel::applyLanguage(uint8_t language)
{
    language_ = language;
    setWindowTitle(T(Txt::MeasTitle, language));
    for (const auto &c : captions_) {
        if (auto *box = qobject_cast<QGroupBox *>(c.first))
            box->setTitle(T(c.second, language));
        else if (auto *l = qobject_cast<QLabel *>(c.first))
            l->setText(T(c.second, language));
        else if (auto *b = qobject_cast<QAbstractButton *>(c.first))
            b->setText(T(c.second, language));
    }
    const QString defaultName = T(Txt::MeasDefaultDevice, language);
    outputDevice->setItemText(0, defaultName);
    inputDevice->setItemText(0, defaultName);
    micName->setText(micFile_.isEmpty() ? T(Txt::MeasMicNone, language) : micFile_);
    const int ch = selected();
    measureButton->setText(T(Txt::MeasMeasureCh, language).arg(ch >= 0 ? QString::number(ch + 1) : QStringLiteral("-")));
    status->setText(status_ ? status_(language) : QString());
    showResult();
}

void MeasurePanel::refreshDevices()
{
    const std::vector<AudioDevice> list = audio_.devices();
    const QString defaultName = T(Txt::MeasDefaultDevice, language_);
    const auto fill = [&](QComboBox *box, bool outputs) {
        const QString was = box->currentData().toString();
        box->clear();
        box->addItem(defaultName, QString());
        for (const AudioDevice &d : list)
            if ((outputs ? d.outputs : d.inputs) > 0) box->addItem(d.name, d.name);
        box->setCurrentIndex(std::max(0, box->findData(was)));
    };
    fill(outputDevice, true);
    fill(inputDevice, false);
    if (list.empty()) setStatus([](uint8_t l) { return T(Txt::MeasNoDevice, l); });
}

MeasureSettings MeasurePanel::settings() const
{
    MeasureSettings s;
    s.language = language_;
    s.outputDevice = outputDevice->currentData().toString();
    s.inputDevice = inputDevice->currentData().toString();
    s.sweep.sampleRate = rate->currentData().toInt();
    s.sweep.seconds = sweepSeconds->value();
    s.sweep.levelDbfs = sweepLevel->value();
    s.positions = positions->value();
    s.levelCheck = levelCheck->isChecked();
    s.hasMic = !mic_.empty();
    s.mic = mic_;
    return s;
}

int MeasurePanel::selected() const
{
    return model_.CurCh < CH_COUNT ? model_.CurCh : -1;
}

void MeasurePanel::measureSelected()
{
    const int ch = selected();
    if (ch < 0) return setStatus([](uint8_t l) { return T(Txt::MeasNoOutputSelected, l); });
    start({ch});
}

void MeasurePanel::measureAll()
{
    std::vector<int> named;
    for (int ch = 0; ch < CH_COUNT; ++ch)
        if (model_.store.ChName[ch] != SPK_OFF) named.push_back(ch);
    if (named.empty()) return setStatus([](uint8_t l) { return T(Txt::MeasNoNamedOutput, l); });
    start(named);
}

void MeasurePanel::start(const std::vector<int> &channels)
{
    if (run_.running()) return;
    if (audio_.devices().empty()) return setStatus([](uint8_t l) { return T(Txt::MeasNoDevice, l); });
    QString why;
    if (!run_.start(channels, settings(), &why))
        return setStatus([why](uint8_t l) { return T(Txt::MeasRefused, l).arg(why); });
    measured_.clear();
    stepped_.clear();
    progress->setValue(0);
    setStatus([](uint8_t l) { return T(Txt::MeasRunning, l); });
    setRunning(true);
}

void MeasurePanel::cancel()
{
    if (!run_.running()) return;
    setStatus([](uint8_t l) { return T(Txt::MeasCancelling, l); });
    continueButton->setEnabled(false);
    run_.cancel();  // failed() follows once the processor is put back
}

void MeasurePanel::setRunning(bool on)
{
    for (QWidget *w : std::initializer_list<QWidget *>{outputDevice, inputDevice, refreshButton, rate, sweepSeconds,
                                                        sweepLevel, micLoad, micClear, positions, levelCheck,
                                                        measureButton, measureAllButton})
        w->setEnabled(!on);
    cancelButton->setEnabled(on);
    continueButton->setEnabled(false);
    exportTextButton->setEnabled(!on && last_.channel >= 0);
    exportWavButton->setEnabled(!on && last_.channel >= 0);
}

void MeasurePanel::setStatus(Text text)
{
    status_ = std::move(text);
    status->setText(status_(language_));
    fitText();
}

void MeasurePanel::fitText()
{
    // The wrapped lines' heights, which a fixed-size layout would not ask for; not adjustSize(), which keeps a
    // window within two thirds of the screen.
    layout()->activate();
    const int w = std::max(sizeHint().width(), minimumSizeHint().width());
    const int h = layout()->hasHeightForWidth() ? layout()->totalHeightForWidth(w) : sizeHint().height();
    resize(w, std::max(h, minimumSizeHint().height()));
}

void MeasurePanel::onProgress(int ch, int position, int percent, const QString &step)
{
    progress->setValue(std::clamp(percent, 0, 100));  // of the whole run
    // The run names its steps in English; the two it has are shown in the panel's language.
    const Txt known = step == QLatin1String("level check") ? Txt::MeasStepLevelCheck : Txt::MeasStepSweep;
    const bool translated = step == QLatin1String("level check") || step == QLatin1String("sweep");
    setStatus([ch, position, step, known, translated](uint8_t l) {
        return T(Txt::MeasProgress, l).arg(ch + 1).arg(position + 1).arg(translated ? T(known, l) : step);
    });
}

void MeasurePanel::onWaiting(int ch, int nextPosition)
{
    const int count = positions->value();
    setStatus([ch, nextPosition, count](uint8_t l) {
        return QStringLiteral("CH%1: ").arg(ch + 1) + T(Txt::MeasMovePrompt, l).arg(nextPosition).arg(count);
    });
    continueButton->setEnabled(true);
    continueButton->setFocus();
}

void MeasurePanel::onMeasured(const OutputMeasurement &m)
{
    last_ = m;
    measured_.push_back(m.channel);
    if (m.levelCutDb > 0.0) stepped_.emplace_back(m.channel, sweepLevel->value() - m.levelCutDb);
    if (m.result.usable()) overlay_.setMeasurement(m.channel, overlayMeasurement(m));
    showResult();
}

void MeasurePanel::onFinished()
{
    setRunning(false);
    progress->setValue(100);
    const std::vector<int> done = measured_;
    const OutputMeasurement shown = last_;
    const std::vector<std::pair<int, double>> stepped = stepped_;
    setStatus([done, shown, stepped](uint8_t l) {
        QStringList names;
        for (int ch : done) names << QStringLiteral("CH%1").arg(ch + 1);
        QString text = T(Txt::MeasDone, l).arg(names.join(QStringLiteral(", ")));
        if (shown.channel >= 0 && !shown.result.usable())
            text += QLatin1Char('\n') + T(Txt::MeasNotAdded, l).arg(shown.channel + 1);
        for (const auto &s : stepped) text += QLatin1Char('\n') + T(Txt::MeasLevelStepped, l).arg(s.first + 1).arg(s.second, 0, 'f', 0);
        return text;
    });
}

void MeasurePanel::onFailed(const QString &reason)
{
    setRunning(false);
    setStatus([reason](uint8_t l) { return T(Txt::MeasFailed, l).arg(reason); });
}

void MeasurePanel::showResult()
{
    if (last_.channel < 0) return impulse->clear(T(Txt::MeasImpulseNone, language_));
    const CaptureResult &r = last_.result;
    impulse->setResult(r, problemText(r, language_));
    QString timing = T(Txt::MeasTimingLoopback, language_);
    if (r.timing == TimingReference::PlaybackStart) timing = T(Txt::MeasTimingPlayback, language_);
    if (r.timing == TimingReference::ReferenceOutput)
        timing = T(Txt::MeasTimingReference, language_).arg(r.referenceOutput + 1);
    impulseInfo->setText(T(Txt::MeasImpulseLine, language_)
                             .arg(last_.channel + 1)
                             .arg(r.arrivalMs(), 0, 'f', 3)
                             .arg(polarityText(r.polarity, language_))
                             .arg(r.snrDb, 0, 'f', 1) +
                         QStringLiteral("\n") + timing);
    fitText();
}

void MeasurePanel::modelChanged(const ModelChange &c)
{
    if (c.selection || c.all) applyLanguage(language_);
}

void MeasurePanel::loadMic()
{
    const QString path = folder_.openFile(this, T(Txt::MeasMicLoad, language_), T(Txt::MeasMicFiles, language_));
    if (path.isEmpty()) return;
    MicCalibration mic;
    CalibrationError err;
    if (!ReadMicCalibrationFile(path, mic, err)) {  // the calibration in use stays
        return setStatus([err](uint8_t l) {
            return err.line > 0 ? T(Txt::MeasMicRefusedLine, l).arg(err.line).arg(err.reason)
                                : T(Txt::MeasMicRefused, l).arg(err.reason);
        });
    }
    mic_ = mic;
    micFile_ = QFileInfo(path).fileName();
    micName->setText(micFile_);
    micName->setToolTip(mic_.hasSens ? QStringLiteral("Sens %1 dB %2").arg(mic_.sensDb).arg(mic_.serial) : QString());
}

void MeasurePanel::exportText()
{
    if (last_.channel < 0) return;
    const QString name = QStringLiteral("Arvon-6_CH%1_measured").arg(last_.channel + 1);
    const QString path = folder_.saveFile(this, T(Txt::MeasExportText, language_),
                                          RecentFolder::datedName(name, QStringLiteral("txt")),
                                          T(Txt::MeasTextFiles, language_));
    QString why;
    if (path.isEmpty()) return;
    if (!WriteMeasurementText(path, last_.result, name, &why))
        return setStatus([why](uint8_t l) { return T(Txt::MeasExportFailed, l).arg(why); });
    const QString shown = QDir::toNativeSeparators(path);
    setStatus([shown](uint8_t l) { return T(Txt::MeasSaved, l).arg(shown); });
}

void MeasurePanel::exportWav()
{
    if (last_.channel < 0) return;
    const QString path = folder_.saveFile(
        this, T(Txt::MeasExportWav, language_),
        RecentFolder::datedName(QStringLiteral("Arvon-6_CH%1_impulse").arg(last_.channel + 1), QStringLiteral("wav")),
        T(Txt::MeasWavFiles, language_));
    QString why;
    if (path.isEmpty()) return;
    if (!WriteImpulseWav(path, last_.result, &why))
        return setStatus([why](uint8_t l) { return T(Txt::MeasExportFailed, l).arg(why); });
    const QString shown = QDir::toNativeSeparators(path);
    setStatus([shown](uint8_t l) { return T(Txt::MeasSaved, l).arg(shown); });
}

void MeasurePanel::showEvent(QShowEvent *event)
{
    if (!run_.running()) refreshDevices();
    FramelessDialog::showEvent(event);
}

void MeasurePanel::hideEvent(QHideEvent *event)
{
    if (!event->spontaneous()) cancel();  // closed, not minimised: a run is never left going behind it
    FramelessDialog::hideEvent(event);
}
