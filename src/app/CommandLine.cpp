#include "CommandLine.h"

#include "sim/DemoSetup.h"

CommandLine CommandLine::parse(const QStringList& args)
{
    CommandLine line;
    for (qsizetype i = 0; i < args.size() && line.error.empty(); ++i) {
        const QString& arg = args[i];
        if (arg == QLatin1String("--simulate")) {
            line.simulate = true;
        } else if (arg.startsWith(QLatin1String("--simulate="))) {
            line.simulate = true;
            // One rule for the demo grid, shared with the simulated head.
            const std::optional<DemoGrid> grid = parseDemoGrid(arg.mid(11).toStdString());
            if (grid) {
                line.rows = grid->rows;
                line.cols = grid->cols;
                line.channels = grid->channels;
            } else {
                line.error = "--simulate=RxCxN wants 1..4 rows, 1..4 columns and 1..64 channels, e.g. 4x4x64";
            }
        } else if (arg == QLatin1String("--trace")) {
            if (i + 1 >= args.size())
                line.error = "--trace needs a file name";
            else
                line.traceFile = args[++i].toStdString();
        } else if (arg == QLatin1String("--results")) {
            if (i + 1 >= args.size() || args[i + 1].isEmpty())
                line.error = "--results needs a file name";
            else
                line.resultsFile = args[++i].toStdString();
        } else if (arg.startsWith(QLatin1String("--results="))) {
            line.resultsFile = arg.mid(10).toStdString();
            if (line.resultsFile->empty())
                line.error = "--results needs a file name";
        } else if (arg.startsWith(QLatin1String("--trace="))) {
            line.traceFile = arg.mid(8).toStdString();
            if (line.traceFile->empty())
                line.error = "--trace needs a file name";
        } else {
            line.error = "unknown argument: " + arg.toStdString();
        }
    }
    return line;
}

const char* CommandLine::usage()
{
    return "usage: stenvikplus [--simulate | --simulate=RxCxN] [--trace FILE] [--results FILE]\n"
           "  --simulate        run against the built-in simulated test head (demo setup)\n"
           "  --simulate=RxCxN  the same with R rows and C columns of N-channel boards, e.g. 4x4x64\n"
           "  --trace FILE      append every report exchanged with the head to FILE\n"
           "  --results FILE    keep test results in FILE (default "
           "~/.local/share/stenvikplus/results.sqlite)\n";
}
