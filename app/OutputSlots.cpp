// The output family's slots pass their input to the model; the looks of the output buttons.
#include "OutputSlots.h"
#include "Language.h"
#include "LanguageSwitch.h"

#include "EditLock.h"
#include "Kestrun.h"
#include "LinkForm.h"

#include "EntryHint.h"
#include "OutputStrip.h"
#include "OutputValues.h"
#include "Styles.h"
#include "TuningModel.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

namespace {

// The channel a channel button stands for: its name ends in 1..6 ("BT_CH3" is channel 2); -1 otherwise.
int channelOfButtonName(const QString &name)
{
    bool ok = false;
    int number = name.right(2).toInt(&ok, 10);
    if (!ok) number = name.right(1).toInt(&ok, 10);
    if (!ok || number < 1 || number > CH_COUNT) return -1;
    return number - 1;
}

}  // namespace

OutputSlots::OutputSlots(Kestrun &window, TuningModel &model, OutputStrip *(&strips)[CH_COUNT])
    : w_(window), model_(model), Strip(strips)
{
    // Master volume.
    connect(w_.ui->Slider_Total_Bar, &QSlider::valueChanged, this, &OutputSlots::on_Slider_Total_Bar_valueChanged);
    connect(w_.ui->Edit_Total, &QLineEdit::returnPressed, this, &OutputSlots::on_Edit_Total_returnPressed);
    connect(w_.ui->BT_MainMute, &QPushButton::clicked, this, &OutputSlots::on_BT_MainMute_clicked);
    connect(w_.ui->BT_LINK, &QPushButton::clicked, this, &OutputSlots::on_BT_LINK_clicked);
}

void OutputSlots::BT_CH_Click()
{
    const QObject *s = sender();
    if (!s) return;
    const int ch = channelOfButtonName(s->objectName());
    if (ch < 0) return;
    BT_CH_Switch(uint8_t(ch));
}

void OutputSlots::BT_CH_Switch(uint8_t ch)
{
    model_.selectChannel(ch);
}

void OutputSlots::Update_Channel_State(uint8_t ch)
{
    model_.selectChannel(ch);
}

// A slot that exists for the form's sake and does nothing.
void OutputSlots::on_BT_CH7_clicked() {}

void OutputSlots::on_Slider_Total_Bar_valueChanged(int value)
{
    model_.setMasterVolume(value);
}

void OutputSlots::on_Edit_Total_returnPressed()
{
    // Enter on a field that still shows the stored volume gives no hint.
    const bool typedIn = w_.ui->Edit_Total->text() != OutputValues::volumeText(model_.store.MasterVol);
    if (!model_.enterMasterVolume(w_.ui->Edit_Total->text()) && typedIn) w_.Hint->showBeside(w_.ui->Edit_Total, Txt::HintVolume);
}

void OutputSlots::MainMute_Show(uint8_t on)
{
    const QString name = QStringLiteral("BT_MainMute");
    w_.ui->BT_MainMute->setStyleSheet(on ? Styles::light(name) : Styles::dark(name));
}

void OutputSlots::on_BT_MainMute_clicked() { model_.toggleMainMute(); }
void OutputSlots::chVolSliderChanged(int ch, int value) { model_.setVolume(ch, value); }
void OutputSlots::chVolEdited(int ch) { if (ch >= 0 && ch < CH_COUNT) model_.enterVolume(ch, w_.ui->Edit_CHVol[ch]->text()); }
void OutputSlots::chDelayEdited(int ch) { if (ch >= 0 && ch < CH_COUNT) model_.enterDelay(ch, w_.ui->Edit_CHDelay[ch]->text()); }
void OutputSlots::phaseClicked(int ch) { model_.togglePhase(ch); }
void OutputSlots::muteClicked(int ch) { model_.toggleMute(ch); }
void OutputSlots::syncClicked(int ch) { model_.toggleSync(ch); }

QString OutputSlots::GetDelayDisplayStr(uint16_t d) const
{
    return OutputValues::delayDisplay(d, model_.DelayUnit);
}

void OutputSlots::ms_Fun()
{
    model_.setDelayUnit(0);
}

void OutputSlots::cm_Fun()
{
    model_.setDelayUnit(1);
}

void OutputSlots::Phase_Button_Show(uint8_t ch, uint8_t state)
{
    if (ch < CH_COUNT) Strip[ch]->showPhase(state);
}

void OutputSlots::Mute_Button_Show(uint8_t ch, uint8_t state)
{
    if (ch < CH_COUNT) Strip[ch]->showMute(state);
}

void OutputSlots::Sync_Button_Show(uint8_t ch, uint8_t state)
{
    if (ch < CH_COUNT) Strip[ch]->showSync(state);
}

void OutputSlots::on_BT_LINK_clicked()
{
    if (!model_.links.isLinked(model_.CurCh)) {
        // Each click opens a dialog of its own; it acts on the channel selected when it is used.
        auto *form = new LinkForm(model_, w_.language().current().LanguageFlag);
        // Held still by the transfer lock like every other editing control.
        for (QWidget *c : std::initializer_list<QWidget *>{form->radioButton_1, form->radioButton_2, form->radioButton_3,
                                                         form->radioButton_4, form->radioButton_5, form->pushButton})
            w_.TransferLock->watch(c);
        form->show();
        return;
    }
    model_.removeLink();
}
