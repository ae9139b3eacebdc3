#pragma once

#include <iosfwd>
#include <memory>

class HidBus;
class ReportTrace;

namespace cli {

// What `list` prints for the testers on `bus`: one line each (path, GUID, device type), or the
// JSON document with json. A tester's identity is read only when mayTalk (no other program holds
// the head); a tester the system lists but that cannot be opened is shown with the reason.
void listTesters(HidBus& bus, bool mayTalk, bool json, std::ostream& out,
                 const std::shared_ptr<ReportTrace>& trace = {});

} // namespace cli
