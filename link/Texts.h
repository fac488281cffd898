// Every paired text of the program (Chinese, English) in one table, picked by the language asked for.
#pragma once

#include <QString>
#include <cstdint>

enum class Txt {
    NoticeTitle,
    ConnectError,       // a write to the processor failed
    NameMismatch,       // the processor answered with another name
    StatusOnline,
    StatusOffline,
    FilterOff,          // slope caption of a bypassed filter
    AboutHeading,
    AboutApplication,
    AboutFirmware,
    // Speaker positions by code 0..20 (channel naming); keep in code order.
    SpeakerFLTweeter, SpeakerFLMidrange, SpeakerFLWoofer, SpeakerFLFull,
    SpeakerFRTweeter, SpeakerFRMidrange, SpeakerFRWoofer, SpeakerFRFull,
    SpeakerRLTweeter, SpeakerRLMidrange, SpeakerRLWoofer, SpeakerRLFull,
    SpeakerRRTweeter, SpeakerRRMidrange, SpeakerRRWoofer, SpeakerRRFull,
    SpeakerCenter, SpeakerLSub, SpeakerRSub, SpeakerSub, SpeakerOff,
    // Channel-name menus: submenu titles and entries.
    NameMenuFL, NameMenuFR, NameMenuSL, NameMenuSR, NameMenuCEN, NameMenuSUB,
    NameEntryFull, NameEntryHigh, NameEntryMid, NameEntryLow,
    NameEntryCen, NameEntryLSub, NameEntryRSub, NameEntrySSub, NameEntryOff,
    // The left/right link dialog.
    LinkHeading, LinkRefHeading, LinkRefLeft, LinkRefRight, LinkParamHeading,
    LinkFilter, LinkEq, LinkEqFilter, LinkSync,
    // Output strips and crossover captions.
    PhaseNormal,        // phase button of a normal output
    PhaseInverted,      // phase button of an inverted output
    FilterTypeButterworth,  // crossover type 0
    FilterTypeLink,         // crossover type 1
    FilterTypeBessel,       // crossover type 2
    EqFlatQuestion,     // the flat reset of the selected channel's equaliser
    // Window captions and menu entries, rewritten by the language switch.
    CapMasterVol, CapSence, CapOption, CapMainMute, CapCurveBox, CapPEQ, CapGEQ, CapEqReset, CapEqBypass,
    CapType, CapFreq, CapSlope, CapQ, CapGain, CapHPF, CapLPF, CapInputHi, CapInputLow, CapInputBT,
    CapInputOPT, CapInputCOAX, CapLink, CapUnit, CapSync, CapMute, CapBypass,
    MenuNoiseGate, MenuGateOff, MenuGateLevel, MenuAbout, MenuReset, MenuUpgrade, MenuSenceManage,
    MenuSaveSingle, MenuLoadSingle, MenuSaveAll, MenuLoadAll,
    // scene files, scene manager, firmware upgrade, system reset
    ConnectFirst,       // an operation that needs the processor, without one
    TransferBusy,       // another transfer is still running
    SingleLoadDone,
    AllLoadDone,
    SceneSendFailed,    // a scene upload was abandoned
    SceneFetchFailed,   // reading the stored scenes was abandoned
    SceneFileWriteFailed,
    SceneFileReadFailed,
    SingleFileWrongSize,
    AllFileWrongSize,
    SceneSelectFirst,
    SceneNameFormat,
    SceneSaved,
    SceneRecalled,
    SceneDeleteAsk,
    SceneManagerTitle,  // dialog captions
    SceneSaveButton,
    SceneLoadButton,
    SceneDeleteButton,
    SceneExitButton,
    SceneMarkUsed,
    SceneMarkEmpty,
    FirmwareMismatch,
    FirmwareError,
    FirmwareTooLarge,
    FirmwareSendFailed,
    FirmwareDone,
    ResetAsk,
    ResetDone,
    ResetFailed,        // the reset command could not be sent
    // Safe transfers, the offline note and the tooltips of the window's controls.
    SceneCheckAsk,      // %1 fields out of range, %2 the first of them, one per line
    SceneCheckMore,     // "... and %1 more"
    SendAnyway,
    CancelButton,
    FirmwareAsk,        // %1 file name, %2 size in bytes, %3 blocks
    OfflineNote,        // no processor found
    NoAccessNote,       // a processor is listed but cannot be opened
    TipEqGainSlider, TipEqGainEdit, TipEqFreqEdit, TipEqQEdit, TipBandButton, TipBandMarker,
    TipHpfMarker, TipLpfMarker, TipChannel, TipChName, TipChVolSlider, TipChVolEdit, TipDelayEdit,
    TipPhase, TipMute, TipSync, TipCompare, TipMasterSlider, TipMasterEdit, TipMainMute,
    TipPEQ, TipGEQ, TipEqBypass, TipEqReset, TipLink, TipUnit, TipFilterType, TipFilterSlope,
    TipFilterFreq, TipFreqUp, TipFreqDown, TipInput, TipSence, TipOption, TipConnect, TipMin, TipClose,
    // Parameter names in the out-of-range box, in the order of the checked fields.
    FieldChName, FieldInputSource, FieldMasterVol, FieldChVol, FieldChMute, FieldChDelay, FieldChPhase,
    FieldEqBypass, FieldNoiseGate, FieldEqFreq, FieldEqGain, FieldEqQ, FieldHpfFreq, FieldHpfSlope,
    FieldHpfBypass, FieldHpfType, FieldLpfFreq, FieldLpfSlope, FieldLpfBypass, FieldLpfType,
    MenuSetupSheet,     // last entry of the scene menu: the printable setup sheet
    // Undo and redo: the last entries of the option menu.
    MenuUndo, MenuRedo,
    // A/B compare and the changed-state mark.
    AbCaption, AbStoreA, AbStoreB, TipAbStore, TipAbSwitch, UnsavedEdits, OfflineEditsAsk, OfflineKeepDevice,
    OfflineSendMine, OfflineSaveFirst, CloseUnsavedAsk,
    // Hints beside a refused or limited entry.
    HintGain, HintFreq, HintQ, HintVolume, HintDelay, HintCrossoverFreq,
    // The measurement and auto-EQ panel: measurement, target, fit, filter files, time alignment.
    // The PanelNote* texts follow FilterNoteKind and the Fault* texts TextFault (after None), in order.
    MenuTuning, PanelTitle, PanelOutput, PanelGroupMeasurement, PanelLoadMeasurement, PanelNoMeasurement,
    PanelMeasurementFiles, PanelSmoothing, PanelSmoothNone, PanelSmoothOctave, PanelOffset, PanelShowMeasured,
    PanelShowPredicted, PanelShowTarget, PanelTarget, PanelTargetFlat, PanelTargetTilt, PanelTargetCar,
    PanelTargetFile, PanelTargetFiles, PanelGroupFit, PanelRange, PanelRangeDefault, PanelMaxBoost,
    PanelLocks, PanelLocksHint, PanelMode, PanelModePeq, PanelModeGeq, PanelFit, PanelFitResult,
    PanelFitNoMeasurement, PanelFitEmptyRange, PanelBadRange, PanelBadLocks, PanelGroupFilters,
    PanelImportFilters, PanelExportFilters, PanelFilterFiles, PanelImportSummary, PanelNotePreamp,
    PanelNoteSwitchedOff, PanelNoteOtherType, PanelNoteBeyondBands, PanelNoteUnreadable, PanelNoteFreqClamped,
    PanelNoteGainClamped, PanelNoteQClamped, PanelWriteFailed, PanelRefusedLine, PanelRefused,
    FaultCannotOpen, FaultTooLarge, FaultTooManyLines, FaultImpedance, FaultBadNumber, FaultTooFewFields,
    FaultNotFinite, FaultNotPositive, FaultNotAscending, FaultTooFewPoints, FaultDecimalCommas,
    PanelGroupAlign, PanelUnitCm, PanelUnitInch, PanelAlignApply, PanelAlignDone, PanelAlignLimited,
    // A/B switch to an empty memory, the close question's answers, the top bar's word after a save.
    AbEmptyA, AbEmptyB, CloseSave, CloseDiscard, SavedNote, PanelNoFilter,
    // Why a measuring run refuses to start or stops (%1 the output's number, %2 its name or a reason).
    RunTweeterNoHighpass, RunLevelClipped, RunLevelSilent, RunCancelled, RunProcessorLost, RunCaptureFailed,
    RunBusy, RunBadSettings, RunStepLevel, RunStepSweep,
    // The measurement panel: captions, status lines, results and its two step names.
    MeasMenuEntry, MeasTitle, MeasGroupDevices, MeasOutputDevice, MeasInputDevice, MeasDefaultDevice, MeasRefresh,
    MeasSampleRate, MeasGroupSweep, MeasSweepLength, MeasSweepLevel, MeasMicFile, MeasMicLoad, MeasMicClear,
    MeasMicNone, MeasMicFiles, MeasMicRefusedLine, MeasMicRefused, MeasPositions, MeasLevelCheck, MeasGroupRun,
    MeasMeasureCh, MeasMeasureAll, MeasCancel, MeasContinue, MeasMovePrompt, MeasProgress, MeasCancelling,
    MeasRefused, MeasFailed, MeasDone, MeasNoNamedOutput, MeasNoOutputSelected, MeasNoDevice, MeasRunning,
    MeasGroupImpulse, MeasImpulseNone, MeasImpulseLine, MeasTimingLoopback, MeasTimingPlayback, MeasTimingReference,
    MeasPolarityAmbiguous, MeasClipped, MeasNoSignal, MeasUnusable, MeasExportText, MeasExportWav, MeasTextFiles,
    MeasWavFiles, MeasExportFailed, MeasSaved, MeasNotAdded, MeasStepLevelCheck, MeasStepSweep, MeasLevelStepped,
    Count_
};

// One text in both languages, held in place (no pointers, so a table of them is plain read-only data);
// sized for the longest text of the program's tables, and the compiler refuses a longer one.
struct TextPair {
    char zh[164];
    char en[156];
};

// The text of id in the given language (0 = Chinese, nonzero = English).
QString T(Txt id, uint8_t language);

// Name of crossover type 0..2 in the given language; any other value is named as type 0.
QString FilterTypeName(unsigned type, uint8_t language);
// Slope caption of slope 0..7, "-6dB/Oct" .. "-48dB/Oct" in both languages; any other value as slope 3.
QString FilterSlopeName(unsigned slope);
