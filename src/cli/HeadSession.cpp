#include "HeadSession.h"

#include "ExitCode.h"
#include "ToolTexts.h"
#include "device/HidapiBus.h"
#include "device/ReportTrace.h"
#include "sim/SimBus.h"
#include "station/BrandTable.h"
#include "station/StationTexts.h"
#include "texts/Texts.h"

#include <cstdio>
#include <thread>

namespace cli {
namespace {

using namespace std::chrono_literals;

} // namespace

std::unique_ptr<HidBus> HeadSession::makeBus(const GlobalOptions& options)
{
    if (!options.simulate)
        return std::make_unique<HidapiBus>();
    auto bus = std::make_unique<SimBus>();
    bus->addHead().loadDemoSetup(options.simulate->rows, options.simulate->cols, options.simulate->channels);
    return bus;
}

HeadSession::HeadSession(const GlobalOptions& options) : HeadSession(options, makeBus(options)) {}

HeadSession::HeadSession(const GlobalOptions& options, std::unique_ptr<HidBus> bus)
    : options_(options), bus_(std::move(bus)), ctx_{channel_, *bus_, setup_, ops_, grid_, view_, flags_, {}}
{
}

HeadSession::~HeadSession()
{
    // Workers are joined before the bus and the device object go. Only a session that ran the
    // acquisition ends with the close sequence: info and save leave the head as they found it,
    // and after a Load the head is restarting.
    if (started_)
        close();
}

bool HeadSession::openTrace(const GlobalOptions& options, std::shared_ptr<ReportTrace>& trace)
{
    trace.reset();
    if (options.traceFile.empty())
        return true;
    trace = std::make_shared<ReportTrace>(options.traceFile);
    if (trace->isOpen())
        return true;
    std::fprintf(stderr, "%s%s\n", text::kTraceUnopenable, options.traceFile.c_str());
    trace.reset();
    return false;
}

int HeadSession::open()
{
    if (!openTrace(options_, trace_))
        return kFileOrSetup;
    if (trace_)
        channel_.setTrace(trace_);
    std::optional<int> notAccessible;
    if (!channel_.openTester(*bus_, &notAccessible)) {
        // A head that is there but cannot be opened is not "no head": say why, as the window does.
        view_.report(notAccessible ? station::headNotAccessibleText(*notAccessible, english())
                                   : std::string(station::text::kNoHeadAtStart));
        return kHeadProblem;
    }
    return kSuccess;
}

int HeadSession::connect()
{
    if (!ops_.readGlobalSettings())
        return headNotResponding();
    switch (station_.connectionSetup()) {
    case station::Station::SetupResult::Done:
        return checkDeviceType();
    case station::Station::SetupResult::GridRefused:
        view_.report(texts::text(texts::TextId::GridRefusedCaption, english()));
        return kFileOrSetup;
    case station::Station::SetupResult::Ended:
        return kHeadProblem; // unsupported firmware: the logic has printed the window's message
    case station::Station::SetupResult::Lost:
    case station::Station::SetupResult::Stopped:
        break;
    }
    return headNotResponding();
}

int HeadSession::checkDeviceType()
{
    if (!station::isMultiBoardType(setup_.deviceType())) {
        view_.report(texts::text(texts::TextId::UnsupportedType, english()));
        return kHeadProblem;
    }
    return kSuccess;
}

int HeadSession::start()
{
    started_ = true;
    station_.initialise();
    if (!channel_.hasDevice()) {
        view_.report(station::text::kNoHeadAtStart);
        return kHeadProblem;
    }
    // The start-up worker greets the head, sets it up and starts the loop, or gives up.
    while (station_.startupRunning() && !view_.endRequested() && !view_.headLost())
        std::this_thread::sleep_for(5ms);
    if (view_.endRequested())
        return kHeadProblem; // unsupported head or firmware: the logic has printed why
    if (view_.headLost() || !station_.loopRunning()) {
        if (view_.caption() == texts::text(texts::TextId::GridRefusedCaption, english())) {
            view_.report(texts::text(texts::TextId::GridRefusedCaption, english()));
            return kFileOrSetup;
        }
        return headNotResponding();
    }
    return kSuccess;
}

int HeadSession::headNotResponding()
{
    view_.report(texts::text(texts::TextId::HeadSilent, english()));
    return kHeadProblem;
}

bool HeadSession::headLost() const
{
    return view_.headLost();
}

void HeadSession::close()
{
    station_.close();
}

} // namespace cli
