// list: the testers on the bus with their GUID and device type.
//
// The command takes no guard, so it runs beside the window. Reading a tester's identity is a
// transaction, and a transaction of a second program would take the replies of the one that
// drives the head; so the identities are read only while no other program holds the guard,
// otherwise the testers are listed by path and marked busy.
#include "ListCommand.h"

#include "Command.h"
#include "ExitCode.h"
#include "HeadFacts.h"
#include "HeadSession.h"
#include "SingleInstance.h"
#include "device/CUSBChannel.h"
#include "device/ReportTrace.h"
#include "station/Station.h"

#include <CLI/CLI.hpp>
#include <iostream>
#include <nlohmann/json.hpp>

namespace cli {
namespace {

struct Tester {
    std::string path;
    bool busy = false;
    std::optional<Identity> identity;
    std::optional<std::string> notAccessible; // why it could not be opened
};

std::vector<Tester> findTesters(HidBus& bus, bool mayTalk, const std::shared_ptr<ReportTrace>& trace)
{
    std::vector<Tester> testers;
    for (ListedTester& listed : ListTesters(bus)) {
        std::unique_ptr<HidHandle>& handle = listed.handle;
        if (!handle) {
            // Listed in English whatever the head's language: it cannot be asked for it.
            testers.push_back(
                {listed.path, false, std::nullopt, station::headNotAccessibleReason(listed.openError, true)});
            continue;
        }
        Tester tester{listed.path, !mayTalk, std::nullopt, std::nullopt};
        if (mayTalk) {
            CUSBChannel channel;
            if (trace)
                channel.setTrace(trace);
            channel.attach(std::move(handle));
            Identity identity;
            if (readIdentity(channel, identity))
                tester.identity = identity;
        }
        testers.push_back(std::move(tester));
    }
    return testers;
}

void print(const std::vector<Tester>& testers, bool json, std::ostream& out)
{
    if (json) {
        nlohmann::json list = nlohmann::json::array();
        for (const Tester& t : testers)
            list.push_back(
                {{"path", t.path},
                 {"guid", t.identity ? nlohmann::json(t.identity->guid) : nlohmann::json()},
                 {"deviceType", t.identity ? nlohmann::json(t.identity->deviceType) : nlohmann::json()},
                 {"busy", t.busy},
                 {"accessible", !t.notAccessible},
                 {"notAccessibleReason",
                  t.notAccessible ? nlohmann::json(*t.notAccessible) : nlohmann::json()}});
        out << nlohmann::json{{"schema", "stenvikplus.list/1"}, {"testers", list}}.dump(2) << '\n';
        return;
    }
    for (const Tester& t : testers) {
        std::string guid = t.identity ? t.identity->guid : (t.busy ? "busy" : "-");
        if (t.notAccessible)
            guid = "not accessible: " + *t.notAccessible;
        const std::string type = t.identity ? t.identity->deviceType : "-";
        out << t.path << '\t' << guid << '\t' << type << '\n';
    }
}

int runList(const GlobalOptions& options)
{
    std::shared_ptr<ReportTrace> trace;
    if (!HeadSession::openTrace(options, trace))
        return kFileOrSetup;
    const std::unique_ptr<HidBus> bus = HeadSession::makeBus(options);
    SingleInstance guard;
    // The simulated head lives in this process: nobody else can be talking to it.
    const bool mayTalk = options.simulate || guard.acquire();
    listTesters(*bus, mayTalk, options.json, std::cout, trace);
    return kSuccess;
}

} // namespace

void listTesters(HidBus& bus, bool mayTalk, bool json, std::ostream& out,
                 const std::shared_ptr<ReportTrace>& trace)
{
    print(findTesters(bus, mayTalk, trace), json, out);
}

Command listCommand()
{
    return {{"list"}, "the testers found: path, GUID, device type", false, {}, runList};
}

} // namespace cli
