// The measurement panel's paired texts (Chinese, English), kept beside the panel so that its captions travel with it.
#pragma once

#include <QString>
#include <cstdint>

enum class MTxt {
    MenuEntry, Title, GroupDevices, OutputDevice, InputDevice, DefaultDevice, Refresh, SampleRate,
    GroupSweep, SweepLength, SweepLevel, MicFile, MicLoad, MicClear, MicNone, MicFiles, MicRefusedLine,
    MicRefused, Positions, LevelCheck, GroupRun, MeasureCh, MeasureAll, Cancel, Continue, MovePrompt,
    Progress, Cancelling, Refused, Failed, Done, NoNamedOutput, NoOutputSelected, NoDevice, Running,
    GroupImpulse, ImpulseNone, ImpulseLine, TimingLoopback, TimingPlayback, TimingReference,
    PolarityAmbiguous, Clipped, NoSignal, Unusable, ExportText, ExportWav, TextFiles, WavFiles,
    ExportFailed, Saved, NotAdded, StepLevelCheck, StepSweep, LevelStepped, Count_
};

// The text of id in the given language (0 = Chinese).
QString MT(MTxt id, uint8_t language);
