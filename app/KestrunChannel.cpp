// Channel selection: the channel buttons pass the choice to the model.
#include "Kestrun.h"

#include "TuningModel.h"

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

void Kestrun::BT_CH_Click()
{
    const QObject *s = sender();
    if (!s) return;
    const int ch = channelOfButtonName(s->objectName());
    if (ch < 0) return;
    BT_CH_Switch(uint8_t(ch));
}

void Kestrun::BT_CH_Switch(uint8_t ch)
{
    model_.selectChannel(ch);
}

void Kestrun::Update_Channel_State(uint8_t ch)
{
    model_.selectChannel(ch);
}
