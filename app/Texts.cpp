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
    // Speaker positions by code.
    {"前左高频", "FL-Tweeter"},
    {"前左中频", "FL-Midrange"},
    {"前左低频", "FL-Woofer"},
    {"前左全频", "FL-FULL"},
    {"前右高频", "FR-Tweeter"},
    {"前右中频", "FR-Midrange"},
    {"前右低频", "FR-Woofer"},
    {"前右全频", "FR-FULL"},
    {"后左高频", "RL-Tweeter"},
    {"后左中频", "RL-Midrange"},
    {"后左低频", "RL-Woofer"},
    {"后左全频", "RL-FULL"},
    {"后右高频", "RR-Tweeter"},
    {"后右中频", "RR-Midrange"},
    {"后右低频", "RR-Woofer"},
    {"后右全频", "RR-FULL"},
    {"中置", "CEN-FULL"},
    {"左超低", "L-Subwoofer"},
    {"右超低", "R-Subwoofer"},
    {"单通道超低", "Subwoofer"},
    {"关闭", "OFF"},
    // Channel-name menus.
    {"前左", "FL"},
    {"前右", "FR"},
    {"后左", "SL"},
    {"后右", "SR"},
    {"中置", "CEN"},
    {"超低", "SUB"},
    {"全频", "FULL"},
    {"高频", "Tweeter"},
    {"中频", "Midrange"},
    {"低频", "Woofer"},
    {"中置", "Center"},
    {"左超低", "L-Sub"},
    {"右超低", "R-Sub"},
    {"单通道超低", "Sub"},
    {"关闭", "OFF"},
    // Left/right link dialog.
    {"参数联调同步", "Parameter joint Set"},
    {"联调基准", "Joint Based"},
    {"以左通道为基准", "Based on the left channel"},
    {"以右通道为基准", "Based on the right channel"},
    {"联调参数", "Joint Parameter"},
    {"滤波器联调", "Joint Filter"},
    {"均衡联调", "Joint EQ"},
    {"滤波器和均衡联调", "Joint EQ and Filter"},
    {"立即同步", "SYNC"},
    // Output strips and crossover captions.
    {"正相", "0°"},
    {"反相", "180°"},
    {"巴特沃斯", "Butterworth"},
    {"宁克", "Link"},
    {"贝塞尔", "Bessel"},
    {"确定要将当前通道EQ复位到平直状态？", "Config flat current channel eq？"},
    {"      总音量", "    MasterVol"},
    {"  场景", "Sence"},
    {"  选项", "Option"},
    {"总静音", "Mute"},
    {"CH%1曲线", "CH%1-Line"},
    {"参量均衡", "PEQ"},
    {"图示均衡", "GEQ"},
    {"重置均衡", "ResetEQ"},
    {"直通均衡", "BypassEQ"},
    {"类型", "Type"},
    {"频率", "Freq"},
    {"斜率", "Slope"},
    {"Q值", "Q"},
    {"增益", "Gain"},
    {"高通滤波器", "    HPF"},
    {"低通滤波器", "    LPF"},
    {"高电平", "HI"},
    {"低电平", "LOW"},
    {"蓝牙", "BT"},
    {"光纤", "OPT"},
    {"同轴", "COAX"},
    {"左右联调", "LR-Link"},
    {"延时单位", "Unit"},
    {"同步", "Sync"},
    {"静音", "Mute"},
    {"直通", "BYPASS"},
    {"噪声门", "Noise Gate"},
    {"关闭", "OFF"},
    {"%1级", "L%1"},
    {"关于本机", "About"},
    {"系统复位", "System Reset"},
    {"机器固件升级", "Machine Upgrade"},
    {"机器场景管理", "Sence manage"},
    {"保存单个场景到电脑", "Save single sence"},
    {"加载电脑的单个场景", "Load single sence"},
    {"保存所有场景到电脑", "Save all sence"},
    {"加载电脑的全部场景", "Load all sence"},
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

QString FilterTypeName(unsigned type)
{
    static const Txt names[3] = {Txt::FilterTypeButterworth, Txt::FilterTypeLink, Txt::FilterTypeBessel};
    return T(names[type < 3 ? type : 0]);
}

QString FilterSlopeName(unsigned slope)
{
    return QStringLiteral("-%1dB/Oct").arg(6 * ((slope < 8 ? slope : 3) + 1));
}
