// The station program: one instance per session, real heads over hidraw or the built-in
// simulated head, optional report trace.
#include "CommandLine.h"
#include "SignalBridge.h"
#include "SingleInstance.h"
#include "device/HidapiBus.h"
#include "device/ReportTrace.h"
#include "sim/SimBus.h"
#include "station/CStenvikPlusDlgDlg.h"
#include "texts/QtTexts.h"
#include "uikit/MessageBox.h"

#include <QApplication>
#include <QScreen>

#include <cstdio>
#include <memory>
#include <optional>

namespace {

// --help and --version print and end; a command line that cannot be understood prints the usage
// and ends with 64. Nothing else is started.
std::optional<int> answerCommandLine(const CommandLine& options)
{
    switch (options.action) {
    case CommandLine::Action::Help:
    case CommandLine::Action::Version:
        std::fputs(options.output.c_str(), stdout);
        return 0;
    case CommandLine::Action::Error:
        std::fprintf(stderr, "stenvikplus: %s\n%s", options.error.c_str(), CommandLine::usage().c_str());
        return CommandLine::kUsageExitCode;
    case CommandLine::Action::Run:
        break;
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char** argv)
{
    // Help, version and usage need no display: answered before the window system is opened.
    if (CommandLine::answersWithoutDisplay(argc, argv)) {
        QStringList args;
        for (int i = 1; i < argc; ++i)
            args << QString::fromLocal8Bit(argv[i]);
        if (const auto code = answerCommandLine(CommandLine::parse(args, STATION_VERSION)))
            return *code;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("StenvikPlusDlg"));
    QApplication::setApplicationVersion(QStringLiteral(STATION_VERSION));

    const CommandLine options = CommandLine::parse(QApplication::arguments().mid(1), STATION_VERSION);
    if (const auto code = answerCommandLine(options))
        return *code;

    SingleInstance instance;
    if (!instance.acquire()) {
        uikit::showMessage({nullptr, texts::qtext(texts::TextId::SecondInstance, false),
                            QStringLiteral("Error"), QMessageBox::Information, QMessageBox::Ok});
        return 0;
    }

    std::shared_ptr<ReportTrace> trace;
    if (options.traceFile) {
        trace = std::make_shared<ReportTrace>(*options.traceFile);
        if (!trace->isOpen()) {
            std::fprintf(stderr, "stenvikplus: cannot open trace file %s\n", options.traceFile->c_str());
            return 2;
        }
    }

    // The bus outlives the window, which talks to it until it is destroyed.
    SimBus* simBus = nullptr;
    std::unique_ptr<HidBus> bus;
    if (options.simulate) {
        auto sim = std::make_unique<SimBus>();
        sim->addHead().loadDemoSetup(options.rows, options.cols, options.channels);
        simBus = sim.get();
        bus = std::move(sim);
    } else {
        bus = std::make_unique<HidapiBus>();
    }

    int code = 0;
    {
        CStenvikPlusDlgDlg window(*bus);
        if (trace)
            window.channel().setTrace(trace);
        if (simBus)
            simBus->setListener([&window](SimBus::Event event, const std::string& path) {
                window.deviceChanged(event == SimBus::Event::Arrival, path);
            });
        SignalBridge termination;
        closeOnTermination(termination, window);

        // Without a window manager showMaximized() has no effect: fill the screen first.
        if (const QScreen* screen = QApplication::primaryScreen())
            window.setGeometry(screen->availableGeometry());
        window.showMaximized();
        if (options.resultsFile)
            window.setResultsFile(*options.resultsFile);
        window.initialise(!options.simulate);
        code = QApplication::exec();
        if (simBus)
            simBus->setListener({});
        window.shutdown();
    }
    return code;
}
