// The measurement panel's paired texts.
#include "MeasureTexts.h"

#include "Texts.h"

namespace {

const TextPair Table[] = {
    {"测量…", "Measure…"},
    {"测量", "Measurement"},
    {"声卡", "Sound card"},
    {"输出设备", "Output device"},
    {"输入设备", "Input device"},
    {"系统默认", "System default"},
    {"刷新", "Refresh"},
    {"采样率", "Sample rate"},
    {"扫频", "Sweep"},
    {"长度", "Length"},
    {"电平", "Level"},
    {"麦克风校准", "Microphone calibration"},
    {"载入…", "Load…"},
    {"不用", "None"},
    {"未校准", "No calibration"},
    {"校准文件 (*.txt *.cal *.frd);;所有文件 (*)", "Calibration files (*.txt *.cal *.frd);;All files (*)"},
    {"校准文件被拒绝，第 %1 行：%2", "Calibration file refused, line %1: %2"},
    {"校准文件被拒绝：%1", "Calibration file refused: %1"},
    {"测量位置", "Positions"},
    {"先做电平检查", "Level check first"},
    {"测量", "Run"},
    {"测量 CH%1", "Measure CH%1"},
    {"全部测量", "Measure all"},
    {"取消", "Cancel"},
    {"继续", "Continue"},
    {"请把麦克风移到位置 %1（共 %2 个），然后按“继续”。",
     "Move the microphone to position %1 of %2, then press Continue."},
    {"CH%1 · 位置 %2 · %3", "CH%1 · position %2 · %3"},
    {"正在取消…", "Cancelling…"},
    {"无法测量：%1", "Cannot measure: %1"},
    {"测量未完成：%1。处理器已恢复原状。", "Measurement not completed: %1. The processor is as it was."},
    {"测量完成：%1。", "Measured: %1."},
    {"没有已命名的输出（都为 OFF），无可测量。", "No output has a speaker name (all are OFF): nothing to measure."},
    {"请先选择一个输出。", "Select an output first."},
    {"找不到声卡。", "No sound card found."},
    {"测量进行中…", "Measuring…"},
    {"脉冲响应", "Impulse response"},
    {"尚无测量", "No measurement yet"},
    {"CH%1：到达 %2 ms，极性 %3，信噪比 %4 dB", "CH%1: arrival %2 ms, polarity %3, SNR %4 dB"},
    {"相对回环（已扣除声卡延迟）", "against the loopback (sound card latency removed)"},
    {"从播放开始计（含声卡延迟，无回环）", "from the start of playback (sound card latency included, no loopback)"},
    {"相对 CH%1 的到达", "relative to the arrival of CH%1"},
    {"不确定", "ambiguous"},
    {"输入削波（%1 个采样）：请降低扫频电平或麦克风增益。",
     "The input clipped (%1 samples): lower the sweep level or the microphone gain."},
    {"麦克风没有收到信号：请检查麦克风是否插好、是否静音。",
     "The microphone heard nothing: check that it is plugged in and not muted."},
    {"测量不可用：%1", "The measurement cannot be used: %1"},
    {"导出 REW 文本…", "Export REW text…"},
    {"导出 WAV…", "Export WAV…"},
    {"REW 文本 (*.txt)", "REW text (*.txt)"},
    {"WAV 脉冲 (*.wav)", "WAV impulse (*.wav)"},
    {"文件无法写入：%1", "The file could not be written: %1"},
    {"已保存：%1", "Saved: %1"},
    {"CH%1 的测量不可用，未放入曲线叠加。", "The measurement of CH%1 cannot be used and was not put into the overlay."},
    {"电平检查", "level check"},
    {"扫频", "sweep"},
    {"CH%1 在设定电平下削波：已以 %2 dBFS 测量。", "CH%1 clipped at the set level: measured at %2 dBFS."},
};
static_assert(sizeof Table / sizeof Table[0] == int(MTxt::Count_), "one pair per text id");

}  // namespace

QString MT(MTxt id, uint8_t language)
{
    const TextPair &p = Table[int(id)];
    return QString::fromUtf8(language ? p.en : p.zh);
}
