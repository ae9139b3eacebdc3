#include "ConfigurationFile.h"

#include "ConfigKeys.h"
#include "DeviceType.h"
#include "GlobalSettings.h"
#include "HeadOperations.h"
#include "IniFile.h"
#include "TestSetup.h"
#include "device/CUSBChannel.h"

#include <mutex>

namespace configfile {

namespace {

using configkeys::BoardSection;

UserMessage appMessage(const char* text)
{
    return {text, std::nullopt, UserMessage::Icon::None};
}

// Texts of this station's own checks, in the operator's language.
UserMessage ownMessage(const TestSetup& setup, const char* chinese, const char* english, const char* caption)
{
    const bool english_ = setup.global().englishUi();
    return {english_ ? english : chinese, std::string(caption), UserMessage::Icon::Warning};
}

UserMessage headReadFailed(const TestSetup& setup)
{
    return ownMessage(setup, "读取测试头参数失败，文件未保存！",
                      "Reading the tester failed; the file was not saved.", kSaveCaption);
}

UserMessage headWriteFailed(const TestSetup& setup)
{
    return ownMessage(setup, "与测试头通讯失败，参数未完全载入！",
                      "Communication with the tester failed; the file was not loaded completely.",
                      kLoadCaption);
}

UserMessage gridRefused(const TestSetup& setup)
{
    return ownMessage(setup, "配置文件中的行数或列数超出范围(0-4)，参数未载入！",
                      "The file's grid size is outside 0 to 4 rows or columns; nothing was loaded.",
                      kLoadCaption);
}

int boardCount(int rows, int cols)
{
    return rows > 0 && cols > 0 ? rows * cols : 0;
}

// Reads one board for Save; false when a transfer failed.
bool readBoard(HeadOperations& head, int k, configkeys::BoardSnapshot& board)
{
    board.entry = head.setup().boardTableEntry(k);
    if (!head.readBoardRecord(k, board.record))
        return false;
    head.setup().setWorkRecord(board.record);
    constexpr std::array<BoardArray, 4> arrays = {BoardArray::Reference, BoardArray::ThresholdHigh,
                                                  BoardArray::ThresholdLow, BoardArray::Mask};
    for (std::size_t a = 0; a < arrays.size(); ++a) {
        if (!head.readBoardArray(k, arrays[a], board.arrays[a]))
            return false;
    }
    const HeadOperations::BoardOrder order = head.readBoardOrder(k);
    if (!order.ok)
        return false;
    board.orderEnable = order.orderEnable;
    board.order = order.order;
    return true;
}

// Writes one board section to the head; false when a transfer failed. The board record is read,
// changed and written under one hold of compositeLock.
bool loadBoard(HeadOperations& head, const IniFile& ini, int k)
{
    const BoardSection board = configkeys::readBoardSection(ini, k);
    if (!head.updateBoardTableEntry(k, board.row, board.col, board.boardIndex, board.port,
                                    board.channelCount))
        return false;

    std::lock_guard lock(head.device().compositeLock);
    BoardRecord record;
    if (!head.readBoardRecord(k, record))
        return false;
    head.setup().setWorkRecord(record);

    constexpr std::array<BoardArray, 4> arrays = {BoardArray::Reference, BoardArray::ThresholdHigh,
                                                  BoardArray::ThresholdLow, BoardArray::Mask};
    for (std::size_t a = 0; a < arrays.size(); ++a) {
        if (board.arrays[a] && !head.writeBoardArray(k, arrays[a], *board.arrays[a]))
            return false;
    }

    if (board.orderChange != BoardSection::OrderChange::Keep) {
        const bool enable = board.orderChange == BoardSection::OrderChange::Set;
        if (!head.writeBoardOrder(k, enable, board.order))
            return false;
        record.setFlag(BoardRecord::OrderEnable, enable);
    }
    configkeys::applyBoardRecordKeys(ini, k, record);
    const bool written = head.writeBoardRecord(k, record);
    head.setup().setWorkRecord(record);
    return written;
}

} // namespace

std::string boardSection(int k)
{
    return configkeys::boardSection(k);
}

std::optional<UserMessage> saveRefusal(const GlobalSettings& global)
{
    if (global.locked(GlobalSettings::LockSave))
        return appMessage(kSaveLocked);
    return std::nullopt;
}

std::optional<UserMessage> loadRefusal(const GlobalSettings& global)
{
    if (global.locked(GlobalSettings::LockLoad))
        return appMessage(kLoadLocked);
    return std::nullopt;
}

UserMessage save(HeadOperations& head, const std::filesystem::path& file)
{
    TestSetup& setup = head.setup();
    auto saveFailed = [&file] {
        return UserMessage{std::string(kSaveFailed) + "\n" + file.string(), std::string(kSaveCaption),
                           UserMessage::Icon::Warning};
    };

    // Keep what the file already holds; a file that exists but cannot be read is not replaced.
    IniFile ini;
    if (ini.load(file) == IniFile::LoadStatus::Unreadable)
        return saveFailed();

    const std::optional<std::string> rawType = head.readDeviceType();
    if (!rawType)
        return headReadFailed(setup);
    const std::string deviceType = devicetype::upper(*rawType);
    setup.setDeviceType(deviceType);

    const auto [rows, cols] = setup.grid().get();
    configkeys::writeGlobalKeys(ini, deviceType, rows, cols, setup.global());

    if (devicetype::isMultiBoard(deviceType)) {
        for (int k = 0; k < boardCount(rows, cols); ++k) {
            configkeys::BoardSnapshot board;
            if (!readBoard(head, k, board))
                return headReadFailed(setup);
            configkeys::writeBoardKeys(ini, k, board);
        }
    }

    if (!ini.save(file))
        return saveFailed();
    return {kSaved, std::string(kSaveCaption), UserMessage::Icon::Information};
}

LoadResult load(HeadOperations& head, const std::filesystem::path& file,
                const std::function<void(const UserMessage&)>& beforeRestart)
{
    TestSetup& setup = head.setup();
    LoadResult result;

    IniFile ini;
    const IniFile::LoadStatus status = ini.load(file); // a missing file reads as a file without keys
    if (status == IniFile::LoadStatus::Unreadable) {
        result.message = ownMessage(setup, kUnreadable, kUnreadableEnglish, kLoadCaption);
        return result;
    }
    if (status == IniFile::LoadStatus::Loaded && !ini.contains(configkeys::kGlobalSection, "DEVICETYPE")) {
        result.message = ownMessage(setup, kNotASetupFile, kNotASetupFileEnglish, kLoadCaption);
        return result;
    }

    const std::optional<std::string> rawType = head.readDeviceType();
    if (!rawType) {
        result.message = headWriteFailed(setup);
        return result;
    }
    const std::string deviceType = devicetype::upper(*rawType);
    setup.setDeviceType(deviceType);
    if (ini.value(configkeys::kGlobalSection, "DEVICETYPE") != deviceType) {
        result.message = appMessage(kTypeMismatch);
        return result;
    }

    // A grid the view cannot hold would write board table entries past the table; refuse the
    // file before anything is changed.
    const configkeys::GridSizes sizes = configkeys::readGridSizes(ini);
    if (!sizes.acceptable()) {
        result.message = gridRefused(setup);
        return result;
    }

    // A file cut short (disk full, a copy broken off) must not zero the keys it lacks on the head.
    if (const auto missing = configkeys::firstMissing(ini, devicetype::isMultiBoard(deviceType))) {
        result.message = ownMessage(setup, kIncomplete, kIncompleteEnglish, kLoadCaption);
        result.message.text += "\n" + *missing;
        return result;
    }

    result.headChanged = true;
    setup.grid().set(static_cast<int>(sizes.guiRows), static_cast<int>(sizes.guiCols));

    const bool globalWritten = head.changeGlobalSettings([&](GlobalSettings& g) {
        configkeys::applyOutputKeys(ini, g);
    }) && head.changeGlobalSettings([&](GlobalSettings& g) { configkeys::applyParameterKeys(ini, g); });
    if (!globalWritten) {
        result.message = headWriteFailed(setup);
        return result;
    }

    if (devicetype::isMultiBoard(deviceType)) {
        const GlobalSettings global = setup.global();
        for (int k = 0; k < boardCount(global.gridRows, global.gridCols); ++k) {
            if (!loadBoard(head, ini, k)) {
                result.message = headWriteFailed(setup);
                return result;
            }
        }
    }

    result.message = {kLoaded, std::string(kLoadCaption), UserMessage::Icon::Information};
    if (beforeRestart)
        beforeRestart(result.message);
    result.restarted = head.restart();
    return result;
}

} // namespace configfile
