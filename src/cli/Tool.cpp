#include "Tool.h"

#include "Command.h"
#include "ExitCode.h"
#include "SingleInstance.h"
#include "station/StationTexts.h"
#include "texts/Texts.h"

#include <CLI/CLI.hpp>
#include <cstdio>
#include <memory>

namespace cli {
namespace {

constexpr const char* kName = "stenvikplus-cli";

// The subcommand at path, created on first use (e.g. "setup" for "setup save").
CLI::App* subcommandAt(CLI::App& app, const std::vector<std::string>& path)
{
    CLI::App* at = &app;
    for (const std::string& name : path) {
        CLI::App* next = nullptr;
        for (CLI::App* sub : at->get_subcommands([](CLI::App*) { return true; }))
            if (sub->get_name() == name)
                next = sub;
        if (next == nullptr) {
            next = at->add_subcommand(name, name == "results" ? "the test results file: export or summary"
                                                              : "the head's setup as a file: save or load");
        }
        at = next;
    }
    return at;
}

std::optional<DemoGrid> demoGridOf(const std::string& text, std::string& error)
{
    std::optional<DemoGrid> grid = parseDemoGrid(text);
    if (!grid)
        error = "--simulate=RxCxN wants 1..4 rows, 1..4 columns and 1..64 channels, e.g. 4x4x64";
    return grid;
}

} // namespace

int run(int argc, char** argv)
{
    CLI::App app{"The test station without a window: measure, judge, save and load setups.", kName};

    std::string simulateText;
    // A flag, so the grid comes only as --simulate=RxCxN and the next word stays the command.
    CLI::Option* simulate =
        app.add_flag("--simulate{}", simulateText,
                     "use the built-in simulated head; =RxCxN: R x C boards of N channels "
                     "(default 2x2x40)");
    GlobalOptions options;
    app.add_option("--trace", options.traceFile, "append every report exchanged with the head to FILE")
        ->type_name("FILE");
    app.add_flag("--json", options.json, "machine-readable output (JSON)");
    app.add_option("--results", options.resultsFile,
                   "the test results file (default ~/.local/share/stenvikplus/results.sqlite)")
        ->type_name("FILE");
    app.fallthrough();

    const std::vector<Command> commands = commandTable();
    std::vector<CLI::App*> subcommands;
    for (const Command& command : commands) {
        CLI::App* sub = subcommandAt(app, command.path);
        sub->description(command.description);
        if (command.addArguments)
            command.addArguments(*sub);
        subcommands.push_back(sub);
    }
    // "setup" alone is not a command: it needs save or load.
    for (CLI::App* group : app.get_subcommands([](CLI::App*) { return true; }))
        if (!group->get_subcommands([](CLI::App*) { return true; }).empty())
            group->require_subcommand(1);

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        std::fprintf(stderr, "%s: %s\n%s", kName, e.what(), app.help().c_str());
        return kUsage;
    }

    if (simulate->count() > 0) {
        std::string error;
        options.simulate = demoGridOf(simulateText, error);
        if (!options.simulate) {
            std::fprintf(stderr, "%s: %s\n", kName, error.c_str());
            return kUsage;
        }
    }

    for (std::size_t i = 0; i < commands.size(); ++i) {
        if (!subcommands[i]->parsed() || !subcommands[i]->get_subcommands().empty())
            continue;
        // The window and the tool never drive one head at once.
        std::unique_ptr<SingleInstance> guard;
        if (commands[i].takesGuard) {
            guard = std::make_unique<SingleInstance>();
            if (!guard->acquire()) {
                std::fprintf(stderr, "%s\n", texts::text(texts::TextId::SecondInstance, false));
                return kHeadProblem;
            }
        }
        return commands[i].run(options);
    }
    std::fprintf(stderr, "%s: a command is required\n%s", kName, app.help().c_str());
    return kUsage;
}

} // namespace cli
