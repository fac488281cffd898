// Every view of the window shows what a model operation changed.
#include "Kestrun.h"

#include "AbControls.h"
#include "BandColumn.h"
#include "CrossoverPanel.h"
#include "InputControls.h"
#include "OutputStrip.h"
#include "OutputValues.h"
#include "ResponseGraph.h"
#include "Styles.h"
#include "TuningModel.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>

namespace {

constexpr uint8_t ALL_BAND_ASPECTS = ModelChange::Gain | ModelChange::Freq | ModelChange::Q;

void showLit(QPushButton *b, bool lit)
{
    b->setStyleSheet(lit ? Styles::light(b->objectName()) : Styles::dark(b->objectName()));
}

}  // namespace

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
    const uint8_t ch = m.CurCh;
    const bool full = c.all || c.selection;
    for (OutputStrip *s : Strip) s->refresh(c);
    if (full) showSelectedChannel();
    else if (c.links) showLit(ui->BT_LINK, false);
    if (ch < CH_COUNT) {
        if (full || c.eqBypass[ch]) {
            showLit(ui->BT_EQ_BYPASS, m.store.EqBypass[ch]);
            ui->Label[14]->setVisible(m.store.EqBypass[ch]);  // label_15, the bypass caption on the graph
        }
        for (int b = 0; b < BAND_COUNT; ++b) Column[b]->refresh(full ? ALL_BAND_ASPECTS : c.band[ch][b], full);
        for (int f = 0; f < 2; ++f)
            if (full || c.filter[ch][f]) Crossover[f]->refresh(full);
    }
    if (c.all || c.master) {
        {
            const QSignalBlocker block(ui->Slider_Total_Bar);
            ui->Slider_Total_Bar->setValue(m.store.MasterVol);
        }
        ui->Edit_Total->setText(OutputValues::volumeText(m.store.MasterVol));
    }
    if (c.all || c.mainMute) MainMute_Show(m.MainMuteOn);
    Input->refresh(c);
    if (c.all || c.names) {
        Channel_Display();
        Update_Name_Marks();
    }
    if (c.delayUnit) ui->BT_Unit->setText(m.DelayUnit == 1 ? QStringLiteral("cm") : QStringLiteral("ms"));
    Ab->refresh(c);
    Graph->apply(c);
}
