// info: what the head is and how it is set up: identity, firmware, grid, board table and the
// firmware version of each expansion board, as the window learns them when it connects.
#include "Command.h"
#include "ExitCode.h"
#include "HeadFacts.h"
#include "HeadSession.h"

#include <CLI/CLI.hpp>
#include <iostream>
#include <map>
#include <nlohmann/json.hpp>

namespace cli {
namespace {

struct BoardFacts {
    int index = 0;
    BoardTableEntry entry;
    std::uint8_t address = 0;
    std::uint16_t firmware = 0;
};

std::vector<BoardFacts> boardsOf(HeadSession& session)
{
    const GlobalSettings global = session.setup().global();
    std::vector<BoardFacts> boards;
    for (int k = 0; k < global.gridRows * global.gridCols; ++k) {
        BoardFacts board;
        board.index = k;
        board.entry = session.setup().boardTableEntry(k);
        if (board.entry.boardIndex < global.expandBoardAddress.size())
            board.address = global.expandBoardAddress[board.entry.boardIndex];
        board.firmware = session.setup().measure(k).firmwareVersion;
        boards.push_back(board);
    }
    return boards;
}

nlohmann::json infoJson(const Identity& identity, const FirmwareInfo& firmware, const GlobalSettings& global,
                        const std::vector<BoardFacts>& boards)
{
    nlohmann::json boardList = nlohmann::json::array();
    std::map<int, nlohmann::json> expansion; // by expansion board index, each once
    for (const BoardFacts& b : boards) {
        boardList.push_back({{"index", b.index},
                             {"row", b.entry.row()},
                             {"col", b.entry.col()},
                             {"channelCount", b.entry.channels()},
                             {"expansionBoard", b.entry.boardIndex},
                             {"port", b.entry.port},
                             {"address", b.address},
                             {"firmwareVersion", versionText(b.firmware)}});
        expansion.emplace(b.entry.boardIndex, nlohmann::json{{"index", b.entry.boardIndex},
                                                             {"address", b.address},
                                                             {"firmwareVersion", versionText(b.firmware)}});
    }
    nlohmann::json expansionList = nlohmann::json::array();
    for (auto& [index, board] : expansion)
        expansionList.push_back(board);
    return {{"schema", "stenvikplus.info/1"},
            {"head",
             {{"guid", identity.guid},
              {"brand", identity.brand},
              {"deviceType", identity.deviceType},
              {"firmware", firmwareJson(firmware)}}},
            {"grid", {{"rows", global.gridRows}, {"cols", global.gridCols}}},
            {"boards", boardList},
            {"expansionBoards", expansionList}};
}

void printText(const Identity& identity, const FirmwareInfo& firmware, const GlobalSettings& global,
               const std::vector<BoardFacts>& boards)
{
    std::cout << "guid        " << identity.guid << '\n'
              << "brand       " << identity.brand << '\n'
              << "device type " << identity.deviceType << '\n'
              << "firmware    " << firmwareText(firmware) << '\n'
              << "grid        " << int{global.gridRows} << " x " << int{global.gridCols} << '\n'
              << "board  row  col  channels  expansion  port  address  firmware\n";
    for (const BoardFacts& b : boards) {
        char line[96];
        std::snprintf(line, sizeof line, "%5d  %3d  %3d  %8d  %9d  %4d  %7d  %s\n", b.index, b.entry.row(),
                      b.entry.col(), b.entry.channels(), b.entry.boardIndex, b.entry.port, b.address,
                      versionText(b.firmware).c_str());
        std::cout << line;
    }
}

int runInfo(const GlobalOptions& options)
{
    HeadSession session(options);
    if (const int code = session.open(); code != kSuccess)
        return code;
    if (const int code = session.connect(); code != kSuccess)
        return code;
    Identity identity;
    if (!readIdentity(session.channel(), identity))
        return session.headNotResponding();
    const FirmwareInfo firmware = session.channel().firmwareInfo();
    const GlobalSettings global = session.setup().global();
    const std::vector<BoardFacts> boards = boardsOf(session);
    if (options.json)
        std::cout << infoJson(identity, firmware, global, boards).dump(2) << '\n';
    else
        printText(identity, firmware, global, boards);
    return kSuccess;
}

} // namespace

Command infoCommand()
{
    return {{"info"},
            "identity, firmware, grid, board table and expansion board firmware of the head",
            true,
            {},
            runInfo};
}

} // namespace cli
