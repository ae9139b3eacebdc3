// Feeds arbitrary bytes to everything that reads the station's files: the INI reader, the
// configuration keys of every section, the value parsers and the raw-data reader. Nothing may
// crash, hang or write out of range; a saved-and-reread file must read the same.
#include "BoardRecord.h"
#include "ConfigKeys.h"
#include "ConfigValues.h"
#include "GlobalSettings.h"
#include "IniFile.h"
#include "RawDataFile.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

void readWholeConfiguration(const IniFile& ini)
{
    GlobalSettings global;
    configkeys::applyOutputKeys(ini, global);
    configkeys::applyParameterKeys(ini, global);
    const configkeys::GridSizes sizes = configkeys::readGridSizes(ini);
    if (!sizes.acceptable())
        return;
    (void)configkeys::firstMissing(ini, true);
    const int boards = static_cast<int>(sizes.boardRows * sizes.boardCols);
    for (int k = 0; k < boards; ++k) {
        const configkeys::BoardSection board = configkeys::readBoardSection(ini, k);
        for (const auto& array : board.arrays) {
            if (array && board.channelCount == 0 && (*array)[0] != 0)
                std::abort(); // a list taken for no channels must be all zero
        }
        BoardRecord record;
        configkeys::applyBoardRecordKeys(ini, k, record);
        (void)record.encode();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    IniFile ini;
    ini.loadText(text);
    readWholeConfiguration(ini);

    // What the wrapper writes, it reads back the same.
    const std::string written = ini.text();
    IniFile again;
    again.loadText(written);
    for (const char* key : {"DEVICETYPE", "GUIROW", "GUICOL"}) {
        if (ini.value(configkeys::kGlobalSection, key) != again.value(configkeys::kGlobalSection, key))
            std::abort();
    }

    (void)configvalue::parseList(text);
    (void)configvalue::parseColor(text);
    (void)configvalue::parseAddressList(text);
    (void)configvalue::parseReal(text);
    (void)configvalue::formatReal(configvalue::parseReal(text));
    (void)configvalue::toU16(text);

    // A raw-data file reads back as it was written, all 64 channels included.
    const auto rows = rawdata::parse(text);
    if (!rows.empty() &&
        rawdata::parse(rawdata::format({rows.front()}, rawdata::kMaxChannels)).front().values !=
            rows.front().values)
        std::abort();
    for (const auto& row : rows) {
        for (int v : row.values) {
            if (v < 0 || v > 0xFFFF)
                std::abort();
        }
    }
    return 0;
}
