#pragma once

// Every text the station shows the operator that exists in both interface languages: one table
// per language (ChineseTexts.cpp, EnglishTexts.cpp), looked up by id. Texts are UTF-8; format
// texts keep their printf or QString::arg placeholders, the same in both languages.
//
// Adding a text: add its id below (anywhere, in its group), then one line with that id to each
// of the two tables. The build fails when a table misses an id or holds one twice.
namespace texts {

enum class TextId {
    // Main window and connection.
    ConnectedCaption,
    PaneConnected,
    PaneDisconnected,
    PanePlugInHead,
    GridRefusedCaption,
    SecondInstance,
    UnsupportedType,
    OldFirmware,
    OneKeyDone,
    OneKeyConfirm,
    OneKeyByPercentage,
    OneKeyByAllowances,
    VersionCaption,
    FirmwareTooOld108,
    FirmwareTooOld110,
    BoardSettingItem,
    ProductCaption,
    HeadNotAccessible,
    HeadReasonPermission, // the reasons filled into HeadNotAccessible
    HeadReasonBusy,
    HeadReasonUnknown,
    BoardNotLoaded,
    HeadSilent,
    ZeroBoardGivenUp,
    // Operator lock refusals.
    LockContextMenu,
    LockContextSetting,
    LockLoad,
    LockSave,
    LockExpandMenu,
    // Setup files.
    SetupFileFilter,
    TypeMismatch,
    FileSaved,
    SaveCaption,
    FileLoaded,
    LoadCaption,
    SaveFailed,
    HeadReadFailedNotSaved,
    HeadWriteFailedNotLoaded,
    FileGridOutOfRange,
    FileIncomplete, // the missing section or key follows on its own line
    NotASetupFile,
    FileUnreadable,
    // Raw-data files.
    ReloadQuestion,
    FileMissing,
    // Baseline dialog: controls.
    SettingCaption,
    SettingTitle,
    FirmwareVersionSuffix,
    FirmwareVersionUnread,
    Capture,
    SaveSamples,
    LoadSamples,
    Baseline,
    RangeGroup,
    Upper,
    Lower,
    PearsonGroup,
    PearsonResource,
    Pearson,
    OpenAllResource,
    CloseAllResource,
    OpenAll,
    CloseAll,
    ThresholdGroup,
    ByPercentageResource,
    ByAllowanceResource,
    ByPercentage,
    ByAllowance,
    AllChannels,
    SingleChannel,
    ApplySingle,
    CustomOrder,
    OrderExample,
    SettingCancel,
    SettingOk,
    NumberColumn,
    Average,
    // Baseline dialog: messages.
    BaselineLocked,
    NoSampleTicked,
    NoChannelSelected,
    NotANumber,
    BadOrder,
    BoardNotRead,
    HeadNotWritten,
    SamplesNotSaved,
    // Input checks: what is wrong and in which field or channel.
    FieldEmpty,
    FieldOutOfRange,
    ThresholdLowBelowZero,
    ThresholdHighAboveMax,
    ThresholdLowAboveHigh,
    RangeMinAboveMax,
    OneKeyBoard,
    FieldPercentage,
    FieldAllowedLow,
    FieldAllowedHigh,
    FieldRangeMax,
    FieldRangeMin,
    FieldPearson,
    // Expansion board dialog.
    ExpandCaption,
    ExpandGridMessage,
    ExpandAddressGroup,
    ExpandBoardCount,
    ExpandAddress,
    ExpandGridGroup,
    ExpandRead,
    ExpandSet,
    ExpandRow,
    ExpandCol,
    ExpandMapGroup,
    ExpandInitialise,
    ExpandWrite,
    DialogOk,
    DialogCancel,
    // Colour dialog.
    ColourCaption,
    CustomColours,
    CustomExcessColour,
    CustomMaskColour,
    PassColour,
    HighColour,
    LowColour,
    ColourOk,
    ColourCancel,
    ColourOther,
    // About dialog.
    AboutFirmwareGroup,
    AboutType,
    AboutVersion,
    AboutTime,
    AboutSoftwareGroup,
    AboutVersionNumber,
    FirmwareSoftType,
    FirmwareHardType,
    FirmwareFixes,
    // Camera window.
    NoCamera,
    // Grid stamps: the banner of a board no verdict describes.
    GridNotMeasured,
    GridLoading,
    // Channel monitor.
    MonitorWindowTitle, // printf: row, column, channel count
    MonitorNotMeasured,
    MonitorWindowK,
    MonitorPause,
    MonitorSaveChart,
    MonitorExportCsv,
    MonitorPngFilter,
    MonitorCsvFilter,
    MonitorSaveFailed,
    MonitorTrendHint,
    MonitorPearson, // the words of the summary line
    MonitorThreshold,
    MonitorCheckOff,
    MonitorWorst,
    MonitorMargin,
    MonitorNoiseMedian,
    MonitorNoiseMax,
    MonitorNoJudgedChannel,
    MonitorColumnChannel, // the titles of the channel table's columns
    MonitorColumnMode,
    MonitorColumnReference,
    MonitorColumnLow,
    MonitorColumnHigh,
    MonitorColumnLast,
    MonitorColumnMean,
    MonitorColumnStdDev,
    MonitorColumnPeakToPeak,
    MonitorColumnDrift,
    MonitorColumnDriftPercent,
    MonitorColumnMargin,
    MonitorColumnMarginSigma,
    MonitorColumnPass,
    MonitorModeOpen, // a channel's mode in the table
    MonitorModeClosed,
    MonitorModeMasked,
    MonitorModeLowerOnly,
    MonitorModeUpperOnly,
    TrendCycleAxis,
    TrendCountAxis,
    TrendChannel, // %1: the channel
    TrendLowLine, // %1: the channel's name (TrendChannel)
    TrendHighLine,
    // Results view and recording.
    ResultsCaption,
    ResultsSerial,
    ResultsVerdict,
    ResultsAllVerdicts,
    ResultsRefresh,
    ResultsRuns,
    ResultsYield,
    ResultsYieldHeader,
    ResultsPareto,
    ResultsChannels,
    ResultsTime,
    ResultsPosition,
    ResultsFailedCycles,
    ResultsRunId,
    ResultsChannel,
    ResultsFailures,
    ResultsMode,
    ResultsReference,
    ResultsLow,
    ResultsHigh,
    ResultsMean,
    ResultsMin,
    ResultsMax,
    ResultsSd,
    ResultsPass,
    ResultsNoFile,         // %1: the file
    ResultsCannotRead,     // %1: the file, %2: the reason
    ResultsShownRuns,      // %1 runs, %2 board results
    ResultsPositionFormat, // %1 index, %2 row, %3 column
    ResultsSerialFor,      // %1: the position
    ResultsRecording,      // %1: the cycles
    ResultsRecorded,       // %1: the time, %2: the verdict counts
    ResultsProblem,        // %1: the file, %2: the reason, %3: the results kept
    ResultsRecovered,
    ResultsDuplicateSerial, // %1: the serial, %2: the position
    ResultsNoHead,
    ResultsBusy,
    ResultsNotStarted, // %1: the reason
    // Command-line tool.
    CliFailingChannels, // printf: board, row, column, verdict, the failing channels
    // Test results kept beside the results file when it could not take them before the end.
    ResultsKeptAtExit,    // %1 count, %2 results file, %3 why, %4 pending file
    ResultsLostAtExit,    // %1 count, %2 results file, %3 why, %4 pending file, %5 why not kept
    KeptResultsWrittenIn, // %1 count, %2 results file
    KeptResultsDamaged,   // %1 pending file, %2 unreadable lines, %3 the first, %4 readable runs
    KeptResultsLine,      // %1 line number, %2 what is wrong with it
    KeptResultsNotYetIn,  // %1 count, %2 pending file (said by a reader of the results file)

    Count // not a text: the number of ids
};

// The text of the id in the chosen language.
const char* text(TextId id, bool english);

} // namespace texts
