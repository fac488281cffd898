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
    {"请先联机！", "Please connect machine！"},
    {"正在传输数据，请等待当前操作完成！", "A transfer is running, please wait until it ends!"},
    {"单个场景加载完成，确定后系统将自动同步数据", "load success,please wait update"},
    {"全部场景加载完成，确定后系统将自动同步数据", "load success,please wait update"},
    {"场景加载失败，数据未能完整发送到机器！", "Sence load failed: not all data reached the machine!"},
    {"读取机器场景失败，未保存文件！", "Reading the sences from the machine failed, no file saved!"},
    {"场景文件保存失败，无法写入该文件！", "Sence file save failed: the file cannot be written!"},
    {"场景文件读取失败！", "Sence file cannot be read!"},
    {"单个场景文件大小不正确（应为4096字节），未加载！", "Wrong single sence file size (must be 4096 bytes), not loaded!"},
    {"全部场景文件大小不正确（应为36864字节），未加载！", "Wrong all sence file size (must be 36864 bytes), not loaded!"},
    {"请勾选对应的场景!", "Select Sence!"},
    {"场景名称格式不正确，要字母开头!", "Name format error!"},
    {"场景保存成功!", "Sence save success!"},
    {"场景加载成功，请耐心等待参数更新!", "Sence load success,please wait update!"},
    {"请确认是否要删除当前场景", "Config Delect Sence"},
    {"加载/保存场景", "Load/Save"},
    {"保存", "Save"},
    {"调用", "Load"},
    {"删除", "Delete"},
    {"退出", "Exit"},
    {"非空", "Mark"},
    {"空", "UnMark"},
    {"升级固件不匹配！", "Firmware not match！"},
    {"升级固件读取不正确！", "Firmware error！"},
    {"升级固件太大（不能超过512KB），未发送！", "Firmware too large (at most 512 KB), nothing sent！"},
    {"固件升级失败，固件未能完整发送到机器！", "Upgrade failed: the firmware did not reach the machine completely!"},
    {"升级文件传输完成，请耐心等待机器自动更新固件(5秒钟)!", "Upgrade success，please wait update(5s)!"},
    {"确定要将当前机器复位到出厂模式？", "Config system reset？"},
    {"复位完成，请耐心等待2秒钟后自动更新UI！", "System reset success,please wait update！"},
    {"复位失败，复位命令未能发送到机器！", "System reset failed: the command did not reach the machine！"},
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
