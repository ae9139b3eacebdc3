#include "HeadProtocol.h"

#include "device/CUSBHardWare.h"

#include <algorithm>
#include <bit>
#include <utility>

namespace {

// Reports that follow the header report of a multi-report command; -1 for commands that
// travel in one report or codes the head does not know.
int followingReports(std::uint8_t code)
{
    switch (code) {
    case CUSBHardWare::kReadControl:
    case CUSBHardWare::kRestart:
    case CUSBHardWare::kReadFirmwareInfo:
        return 0;
    case CUSBHardWare::kBusRead:
    case CUSBHardWare::kQueryStatus:
    case CUSBHardWare::kReadBlock:
    case CUSBHardWare::kReadMemory:
    case CUSBHardWare::kWriteControl:
        return 1;
    case CUSBHardWare::kBusWrite:
    case CUSBHardWare::kWriteBlock:
    case CUSBHardWare::kWriteMemory:
        return 2;
    default:
        return -1;
    }
}

Report reply(const std::uint8_t* payload, std::size_t length)
{
    Report report{};
    std::copy_n(payload, std::min(length, kPayloadSize), report.begin() + 1);
    return report;
}

Report reply(std::initializer_list<std::uint8_t> payload)
{
    return reply(payload.begin(), payload.size());
}

Payload payloadOf(const Report& report)
{
    Payload payload{};
    std::copy(report.begin() + 1, report.end(), payload.begin());
    return payload;
}

// Parameter memory address (big-endian, bytes 1..2) and length (byte 3) of a memory command.
struct MemorySpan {
    int address;
    int length;
};
MemorySpan memorySpan(const Report& parameters)
{
    const int address = (parameters[1] << 8) | parameters[2];
    const int length = std::min<int>(parameters[3], kPayloadSize);
    return {address, std::min(length, HeadState::kMemorySize - address)};
}

// A 16-character LCD line from the report bytes at `offset`, up to the first NUL.
std::string lcdLine(const Report& report, int offset)
{
    const auto begin = report.begin() + offset;
    const auto end = std::find(begin, begin + HeadState::kLcdWidth, 0);
    return {begin, end};
}

bool isHeader(const Report& report)
{
    return report[1] == 0xAA && report[2] == 0x55;
}

} // namespace

HeadProtocol::HeadProtocol(std::string patchSignature) : patchSignature_(std::move(patchSignature)) {}

void HeadProtocol::reset()
{
    frame_.clear();
    reportsMissing_ = 0;
}

namespace {

// What a completed frame was, so that faults can pick one command.
HeadProtocol::Outcome named(HeadProtocol::Outcome outcome, const std::vector<Report>& frame)
{
    outcome.command = frame[0][3];
    const bool memory =
        outcome.command == CUSBHardWare::kReadMemory || outcome.command == CUSBHardWare::kWriteMemory;
    if (memory && frame.size() > 1)
        outcome.address = static_cast<std::uint16_t>(frame[1][1] << 8 | frame[1][2]);
    return outcome;
}

} // namespace

HeadProtocol::Outcome HeadProtocol::receive(const Report& report, HeadState& state)
{
    if (reportsMissing_ > 0) {
        frame_.push_back(report);
        return --reportsMissing_ == 0 ? named(execute(state), frame_) : Outcome{};
    }
    if (!isHeader(report))
        return {};

    switch (report[3]) {
    case CUSBHardWare::kReadCounts:
        return named(readCounts(report, state), {report});
    case CUSBHardWare::kPatchBlock:
        patchBlock(report, state);
        return {};
    case CUSBHardWare::kSelectPort:
        if (std::has_single_bit(report[5]))
            state.selection = HeadState::Selection{report[4], std::countr_zero(report[5])};
        else
            state.selection.reset(); // 0 releases; a mask of several ports selects none
        return {};
    case CUSBHardWare::kShowText:
        state.lcd[0] = lcdLine(report, 9);
        state.lcd[1] = lcdLine(report, 26);
        return {};
    default:
        break;
    }

    const int following = followingReports(report[3]);
    if (following < 0)
        return {};
    frame_.assign(1, report);
    reportsMissing_ = following;
    return following == 0 ? named(execute(state), frame_) : Outcome{};
}

HeadProtocol::Outcome HeadProtocol::execute(HeadState& state) const
{
    const std::vector<Report>& f = frame_;
    Outcome outcome;
    switch (f[0][3]) {
    case CUSBHardWare::kBusRead: {
        // The station asks for the selected board's firmware version with BusWrite(01, FE).
        const HeadState::ExpansionBoard* board = state.selectedBoard();
        const bool versionAsked = state.busRequest == std::array<std::uint8_t, 2>{0x01, 0xFE};
        const std::uint16_t version = board != nullptr && versionAsked ? board->firmwareVersion : 0;
        outcome.replies.push_back(
            reply({static_cast<std::uint8_t>(version >> 8), static_cast<std::uint8_t>(version & 0xFF)}));
        outcome.replies.push_back(reply({0x00})); // status
        break;
    }
    case CUSBHardWare::kBusWrite:
        state.busRequest = {f[2][1], f[2][2]};
        outcome.replies.push_back(reply({0x00})); // status
        break;
    case CUSBHardWare::kQueryStatus:
        outcome.replies.push_back(reply({0x04})); // bits 2..3: ready
        break;
    case CUSBHardWare::kWriteBlock:
        state.blocks[f[1][1]] = payloadOf(f[2]);
        break;
    case CUSBHardWare::kReadBlock: {
        const Payload& block = state.blocks[f[1][1]];
        outcome.replies.push_back(reply(block.data(), block.size()));
        break;
    }
    case CUSBHardWare::kWriteMemory: {
        const MemorySpan span = memorySpan(f[1]);
        std::copy_n(f[2].begin() + 1, span.length, state.memory.begin() + span.address);
        break;
    }
    case CUSBHardWare::kReadMemory: {
        const MemorySpan span = memorySpan(f[1]);
        outcome.replies.push_back(reply(state.memory.data() + span.address, span.length));
        break;
    }
    case CUSBHardWare::kReadControl:
        outcome.replies.push_back(reply(state.control.data(), state.control.size()));
        break;
    case CUSBHardWare::kWriteControl:
        state.control = payloadOf(f[1]);
        outcome.replies.push_back(reply(state.control.data(), state.control.size())); // echo
        break;
    case CUSBHardWare::kRestart:
        outcome.restart = true;
        break;
    case CUSBHardWare::kReadFirmwareInfo:
        outcome.replies.push_back(reply(state.firmware.bytes.data(), state.firmware.bytes.size()));
        break;
    default:
        break;
    }
    return outcome;
}

HeadProtocol::Outcome HeadProtocol::readCounts(const Report& frame, HeadState& state) const
{
    // Bytes 1..9: AA 55 30 20 n 55 AA p1 p2. p1 and p2 (gain, current, timing) do not change
    // the modelled counts.
    if (frame[4] != 0x20 || frame[6] != 0x55 || frame[7] != 0xAA)
        return {};
    const int n = frame[5];
    const int reports = CUSBHardWare::countReports(n);
    std::vector<std::uint16_t> counts(static_cast<std::size_t>(reports) * kPayloadSize / 2, 0);
    if (PanelModel* panel = state.selectedPanel(); panel != nullptr && !state.zeroCounts) {
        const std::vector<std::uint16_t> measured = panel->read(n);
        std::copy(measured.begin(), measured.end(), counts.begin());
    }

    Outcome outcome;
    constexpr int kCountsPerReport = kPayloadSize / 2;
    for (int r = 0; r < reports; ++r) {
        Report report{};
        for (int i = 0; i < kCountsPerReport; ++i) {
            const std::uint16_t count = counts[r * kCountsPerReport + i];
            report[1 + 2 * i] = static_cast<std::uint8_t>(count & 0xFF);
            report[2 + 2 * i] = static_cast<std::uint8_t>(count >> 8);
        }
        outcome.replies.push_back(report);
    }
    return outcome;
}

void HeadProtocol::patchBlock(const Report& frame, HeadState& state) const
{
    // Bytes 1..7: AA 55 40 block offset value mask; bytes 8..17 the frame signature.
    const std::string signature(frame.begin() + 8, frame.begin() + 18);
    const int offset = frame[5];
    if (signature != patchSignature_ || offset >= static_cast<int>(kPayloadSize))
        return;
    const std::uint8_t value = frame[6];
    const std::uint8_t mask = frame[7];
    std::uint8_t& target = state.blocks[frame[4]][offset];
    target = static_cast<std::uint8_t>((target & ~mask) | (value & mask));
}
