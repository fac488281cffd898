// The table of paired texts.
#include "Texts.h"

uint8_t LanguageFlag = 0;

namespace {

const TextPair Table[] = {
    {"提示", "Notice"},
    {"机器通讯异常！", "Connect error！"},
    {"设备名称不匹配！", "Connect error！"},
    {"已连接", "Online"},
    {"已断开", "OFF"},
    {"关闭", "OFF"},
    {"关于 Veltra DSP", "About Veltra DSP"},
    {"应用程序版本 Arvon-6", "Application Arvon-6"},
    {"机器固件版本：", "Firmware Version:"},
};
static_assert(sizeof Table / sizeof Table[0] == int(Txt::Count_), "one pair per text id");

}  // namespace

QString T(Txt id, uint8_t language)
{
    const TextPair &p = Table[int(id)];
    return QString::fromUtf8(language ? p.en : p.zh);
}

QString T(Txt id)
{
    return T(id, LanguageFlag);
}
