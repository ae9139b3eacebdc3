#include "Command.h"

namespace cli {

std::vector<Command> commandTable()
{
    return {listCommand(),    infoCommand(),  setupSaveCommand(),     setupLoadCommand(),
            measureCommand(), watchCommand(), resultsExportCommand(), resultsSummaryCommand()};
}

} // namespace cli
