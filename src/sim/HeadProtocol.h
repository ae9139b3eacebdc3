#pragma once

#include "HeadState.h"
#include "device/Report.h"

#include <cstdint>
#include <string>
#include <vector>

// The head's side of the command set: collects the reports of one command frame (a header
// report AA 55 c and the reports that follow it, or one single-report command), carries the
// command out on the head's state and gives the input reports to answer with.
class HeadProtocol {
public:
    struct Outcome {
        std::vector<Report> replies; // 65 bytes each, byte 0 = 0
        bool restart = false;        // the head is to leave the bus and come back
        std::uint8_t command = 0;    // code of the completed frame (0: no frame completed)
        std::uint16_t address = 0;   // memory address of a memory command, else 0
    };

    // `patchSignature` is the text PatchBlock must carry in bytes 8..17 to be applied.
    explicit HeadProtocol(std::string patchSignature);

    // Takes one received report. Reports that complete no frame give an empty outcome;
    // reports outside any frame (no AA 55 header, unknown code) are ignored.
    Outcome receive(const Report& report, HeadState& state);

    // Forgets a half-received frame (the head restarted or left the bus).
    void reset();

private:
    Outcome execute(HeadState& state) const;
    Outcome readCounts(const Report& frame, HeadState& state) const;
    void patchBlock(const Report& frame, HeadState& state) const;

    std::string patchSignature_;
    std::vector<Report> frame_; // the reports of the frame being received
    int reportsMissing_ = 0;
};
