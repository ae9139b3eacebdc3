// The operator's texts in English.
#include "TextTable.h"

namespace texts::detail {

namespace {

using enum TextId;

constexpr Entry kEnglish[] = {
    // Main window and connection.
    {ConnectedCaption, "USB Connected"},
    {PaneConnected, "Connected"},
    {PaneDisconnected, "Disconnected"},
    {PanePlugInHead, "Plug in the test head"},
    {GridRefusedCaption, "The settings are wrong, please set the parameters again!"},
    {SecondInstance, "The station is already running; a second copy cannot be started."},
    {UnsupportedType, "This test head is not supported"},
    {OldFirmware, "This station needs test head firmware V0.0.5.6 or later; please update the firmware!"},
    {OneKeyDone, "One key setting done!"},
    {OneKeyConfirm,
     "One key setting takes the present counts of all %2 boards as their references, sets their "
     "thresholds by %1 and writes them to the test head at once.\nContinue?"},
    {OneKeyByPercentage, "percentage %1 %"},
    {OneKeyByAllowances, "lower limit %1, upper limit %2"},
    {VersionCaption, "Version"},
    {FirmwareTooOld108, "The test head firmware Ver%X.%02X is too old for this command; it needs Ver1.08. "
                        "Please ask the supplier to update the test head firmware!"},
    {FirmwareTooOld110, "The test head firmware Ver%X.%02X is too old for this command; it needs Ver1.10. "
                        "Please ask the supplier to update the test head firmware!"},
    {BoardSettingItem, "Row %d Col %d Setting"},
    {ProductCaption, "Touch Panel Test Station"},
    {HeadSilent, "Head not responding"},
    {ZeroBoardGivenUp,
     "Row %d Col %d: every channel reads 0. The head was restarted %d times in a row for this board "
     "and is not restarted again. Check the wiring of this board."},
    {BoardNotLoaded,
     "Board at row %d, column %d did not answer while loading: it and the boards after it are not measured."},
    {HeadNotAccessible,
     "The test head is plugged in but cannot be opened (%s): install the udev rule or close "
     "the program that holds the head, see README."},
    {HeadReasonPermission, "permission denied"},
    {HeadReasonBusy, "busy"},
    {HeadReasonUnknown, "reason unknown"},
    // Operator lock refusals.
    {LockContextMenu, "The context menu is locked!"},
    {LockContextSetting, "The context menu's Setting is locked!"},
    {LockLoad, "The Load command is locked!"},
    {LockSave, "The Save command is locked!"},
    {LockExpandMenu, "The expansion board menu is locked!"},
    // Setup files.
    {SetupFileFilter, "Setup files (*.ini)"},
    {TypeMismatch, "The setup file is for another device type!"},
    {FileSaved, "The file was saved!"},
    {SaveCaption, "Save setup"},
    {FileLoaded, "The file was loaded!"},
    {LoadCaption, "Load setup"},
    {SaveFailed, "The file could not be saved!"},
    {HeadReadFailedNotSaved, "Reading the tester failed; the file was not saved."},
    {HeadWriteFailedNotLoaded, "Communication with the tester failed; the file was not loaded completely."},
    {FileIncomplete, "The setup file is incomplete; nothing was loaded"},
    {NotASetupFile, "The chosen file is not a setup file; nothing was loaded"},
    {FileUnreadable, "The setup file cannot be read; nothing was loaded"},
    {FileGridOutOfRange, "The file's grid size is outside 0 to 4 rows or columns; nothing was loaded."},
    // Raw-data files.
    {ReloadQuestion, "Load the samples again?"},
    {FileMissing, "The file does not exist"},
    // Baseline dialog: controls.
    {SettingCaption, "Baseline setting"},
    {SettingTitle, "[%d Channel]Row %d,Col %d Baseline setting"},
    {FirmwareVersionSuffix, "[FW Ver%X.%02X]"},
    {FirmwareVersionUnread, " - read firmware version error"},
    {Capture, "Read"},
    {SaveSamples, "Save"},
    {LoadSamples, "Load"},
    {Baseline, "Baseline"},
    {RangeGroup, "Display range"},
    {Upper, "Max"},
    {Lower, "Min"},
    {PearsonGroup, "Similarity"},
    {PearsonResource, "Threshold"},
    {Pearson, "Threshold"},
    {OpenAllResource, "Open all channels"},
    {CloseAllResource, "Close all channels"},
    {OpenAll, "Open all channels"},
    {CloseAll, "Close all channels"},
    {ThresholdGroup, "Thresholds"},
    {ByPercentageResource, "By percentage"},
    {ByAllowanceResource, "By upper&&lower limits"},
    {ByPercentage, "By percentage"},
    {ByAllowance, "By upper&&lower limits"},
    {AllChannels, "All channels with the values above"},
    {SingleChannel, "One channel"},
    {ApplySingle, "Set"},
    {CustomOrder, "Custom order"},
    {OrderExample, "Order example"},
    {SettingCancel, "Cancel"},
    {SettingOk, "Ok"},
    {NumberColumn, "No."},
    {Average, "AVG"},
    // Baseline dialog: messages.
    {BaselineLocked, "The Baseline button is locked!"},
    {NoSampleTicked, "ERR"},
    {NoChannelSelected, "Choose the channel to set!"},
    {NotANumber, "Please enter a number."},
    {BadOrder, "The order is not valid: a number is below 0 or not below the channel count!"},
    {BoardNotRead, "The board's settings could not be read from the test head; nothing will be stored."},
    {HeadNotWritten, "Writing to the test head failed; check the connection and set the board again."},
    {SamplesNotSaved, "The samples could not be saved to %1."},
    // Input checks.
    {FieldEmpty, "\"%1\" is empty: please enter a number. Nothing was stored."},
    {FieldOutOfRange, "\"%1\" must be a whole number from %2 to %3. Nothing was stored."},
    {ThresholdLowBelowZero, "Channel %d: the low threshold would be %d, below 0. Nothing was stored."},
    {ThresholdHighAboveMax, "Channel %d: the high threshold would be %d, above 65535. Nothing was stored."},
    {ThresholdLowAboveHigh,
     "Channel %d: the low threshold %d is above the high threshold %d. Nothing was stored."},
    {RangeMinAboveMax, "The display range's minimum %d is above its maximum %d. Nothing was stored."},
    {OneKeyBoard, "Row %d Col %d: "},
    {FieldPercentage, "Percentage"},
    {FieldAllowedLow, "Lower limit"},
    {FieldAllowedHigh, "Upper limit"},
    {FieldRangeMax, "Display range maximum"},
    {FieldRangeMin, "Display range minimum"},
    {FieldPearson, "Similarity threshold"},
    // Expansion board dialog.
    {ExpandCaption, "Expand board setting"},
    {ExpandGridMessage, "Rows and columns must be from 0 to 4!"},
    {ExpandAddressGroup, "Expansion board addresses"},
    {ExpandBoardCount, "Boards"},
    {ExpandAddress, "Address"},
    {ExpandGridGroup, "Rows and columns"},
    {ExpandRead, "Read"},
    {ExpandSet, "Set"},
    {ExpandRow, "Rows"},
    {ExpandCol, "Columns"},
    {ExpandMapGroup, "Address map"},
    {ExpandInitialise, "Initialise"},
    {ExpandWrite, "Write"},
    {DialogOk, "OK"},
    {DialogCancel, "Cancel"},
    // Colour dialog.
    {ColourCaption, "Colour setting"},
    {CustomColours, "Custom colours"},
    {CustomExcessColour, "Custom excess colour"},
    {CustomMaskColour, "Custom mask colour"},
    {PassColour, "Pass colour"},
    {HighColour, "High colour"},
    {LowColour, "Low colour"},
    {ColourOk, "OK"},
    {ColourCancel, "Cancel"},
    {ColourOther, "Other"},
    // About dialog.
    {AboutFirmwareGroup, "Firmware"},
    {AboutType, "Type"},
    {AboutVersion, "Version"},
    {AboutTime, "Date"},
    {AboutSoftwareGroup, "Station software"},
    {AboutVersionNumber, "Version"},
    {FirmwareSoftType, "Soft Type"},
    {FirmwareHardType, "HardWare Type"},
    {FirmwareFixes, "%1,FW bug fixed %2 times"},
    // Camera window.
    {NoCamera, "No camera found: connect a camera and open this window again."},
    // Test results kept beside the results file.
    {ResultsKeptAtExit,
     "%1 test result(s) could not be saved to %2 (%3). They are kept in %4 and will be saved "
     "the next time the station or the tool opens the results file."},
    {ResultsLostAtExit, "%1 test result(s) could not be saved to %2 (%3) and could not be kept in %4 either "
                        "(%5): they are lost."},
    {KeptResultsWrittenIn, "%1 test result(s) kept at an earlier exit have been saved to %2."},
    {KeptResultsDamaged, "The kept test results in %1 cannot all be read (%2 unreadable line(s); %3). The "
                         "file is left as it is for a person to look at; the %4 readable result(s) in it are "
                         "saved."},
    {KeptResultsLine, "line %1: %2"},
    {KeptResultsNotYetIn,
     "%1 test result(s) kept in %2 are not in the results file yet: the next start of the "
     "station or measure --record saves them."},
};

} // namespace

extern const Index kEnglishIndex;
constinit const Index kEnglishIndex = indexOf(kEnglish);

} // namespace texts::detail
