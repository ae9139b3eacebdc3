// setup save FILE / setup load FILE: the window's Save and Load, with its checks and order, and
// its messages on standard error.
#include "Command.h"
#include "ExitCode.h"
#include "HeadSession.h"
#include "ToolTexts.h"
#include "persistence/ConfigurationFile.h"
#include "texts/Texts.h"

#include <CLI/CLI.hpp>
#include <fstream>
#include <memory>

namespace cli {
namespace {

int runSave(const GlobalOptions& options, const std::string& file)
{
    HeadSession session(options);
    if (const int code = session.open(); code != kSuccess)
        return code;
    if (const int code = session.connect(); code != kSuccess)
        return code;
    if (auto refusal = configfile::saveRefusal(session.setup().global())) {
        session.view().report(refusal->text);
        return kFileOrSetup;
    }
    const UserMessage result = configfile::save(session.ops(), file);
    session.view().report(result.text);
    const bool english = session.english();
    if (result.text == texts::text(texts::TextId::FileSaved, english))
        return kSuccess;
    if (result.text.starts_with(texts::text(texts::TextId::SaveFailed, english)))
        return kFileOrSetup;
    return kHeadProblem; // the head's setup could not be read
}

int runLoad(const GlobalOptions& options, const std::string& file)
{
    HeadSession session(options);
    if (const int code = session.open(); code != kSuccess)
        return code;
    if (const int code = session.connect(); code != kSuccess)
        return code;
    if (auto refusal = configfile::loadRefusal(session.setup().global())) {
        session.view().report(refusal->text);
        return kFileOrSetup;
    }
    // The window reads a file it cannot open as an empty one and refuses its device type; say
    // plainly what is wrong instead.
    if (!std::ifstream(file).is_open()) {
        session.view().report(std::string(texts::text(texts::TextId::FileUnreadable, session.english())) +
                              "\n" + file);
        return kFileOrSetup;
    }
    const configfile::LoadResult result = configfile::load(
        session.ops(), file, [&session](const UserMessage& message) { session.view().report(message.text); });
    if (result.restarted)
        return kSuccess;
    if (result.message.text !=
        texts::text(texts::TextId::FileLoaded, session.english())) // already said before the Restart
        session.view().report(result.message.text);
    // Refused before anything was written (type mismatch, grid outside 0..4, incomplete file);
    // a transfer that failed part-way means the head stopped answering.
    return result.headChanged ? kHeadProblem : kFileOrSetup;
}

Command fileCommand(const char* name, const char* description,
                    int (*run)(const GlobalOptions&, const std::string&))
{
    auto file = std::make_shared<std::string>();
    return {{"setup", name},
            description,
            true,
            [file](CLI::App& app) { app.add_option("FILE", *file, "the setup file (INI)")->required(); },
            [file, run](const GlobalOptions& options) { return run(options, *file); }};
}

} // namespace

Command setupSaveCommand()
{
    return fileCommand("save", "the head's setup to FILE, byte for byte the file the window's Save writes",
                       runSave);
}

Command setupLoadCommand()
{
    return fileCommand("load", "FILE into the head with the window's checks and order, then Restart",
                       runLoad);
}

} // namespace cli
