#pragma once

#include <map>
#include <string>
#include <vector>

// Serial numbers typed or scanned for the boards of the next run, one after another in
// position order. No serial may name two boards of one run.
class SerialEntry {
public:
    enum class Outcome {
        Accepted,  // kept for the current board; more are expected
        Complete,  // kept for the last board: the run can start
        Duplicate, // already given to another board of this run: refused
        Empty,     // nothing but blanks: ignored
    };

    // Board indexes in position order (rows outer, columns inner).
    explicit SerialEntry(std::vector<int> boards = {});

    // Leading and trailing blanks and control characters of a scan are dropped.
    Outcome add(const std::string& serial);
    // The board index the next serial goes to; -1 when every board has one.
    int nextBoard() const;
    // How many serials are still expected.
    int remaining() const;
    const std::map<int, std::string>& serials() const { return serials_; }
    // Starts over with the same boards.
    void clear();

private:
    std::vector<int> boards_;
    std::map<int, std::string> serials_;
};
