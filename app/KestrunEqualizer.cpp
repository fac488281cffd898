// Equaliser buttons: PEQ/GEQ, bypass and the flat reset; the band slots pass their input to the model.
#include "Kestrun.h"

#include "BandColumn.h"
#include "Notice.h"
#include "Styles.h"
#include "TuningModel.h"

#include <QLineEdit>
#include <QPushButton>

void Kestrun::eqGainSliderChanged(int band, int value) { model_.setBandGainFromSlider(band, value); }

void Kestrun::eqGainEdited(int b)
{
    if (b >= 0 && b < BAND_COUNT) model_.enterBandGain(b, ui->Edit_EQ_Gain[b]->text());
}

void Kestrun::eqFreqEdited(int b)
{
    if (b >= 0 && b < BAND_COUNT) model_.enterBandFreq(b, ui->Edit_EQ_Freq[b]->text());
}

void Kestrun::eqQEdited(int b)
{
    if (b >= 0 && b < BAND_COUNT) model_.enterBandQ(b, ui->Edit_EQ_Q[b]->text());
}

void Kestrun::setEqMode(bool parametric)
{
    for (BandColumn *c : Column) c->setParametric(parametric);
    ui->BT_PEQ->setStyleSheet(parametric ? Styles::light(QStringLiteral("BT_PEQ")) : Styles::dark(QStringLiteral("BT_PEQ")));
    ui->BT_GEQ->setStyleSheet(parametric ? Styles::dark(QStringLiteral("BT_GEQ")) : Styles::light(QStringLiteral("BT_GEQ")));
}

void Kestrun::on_BT_PEQ_clicked()
{
    setEqMode(true);
}

void Kestrun::on_BT_GEQ_clicked()
{
    setEqMode(false);
}

void Kestrun::on_BT_EQ_BYPASS_clicked()
{
    model_.toggleEqBypass();
}

void Kestrun::on_BT_EQ_RESET_clicked()
{
    if (!notice_.ask(Txt::EqFlatQuestion)) return;
    model_.flattenEq();
}
