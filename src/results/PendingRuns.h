#pragma once

#include "PendingRunJson.h"
#include "ResultRecords.h"

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

class ResultsStore;

// Runs that could not be written to the results file before the program ended, kept beside it
// in "<results file>.pending.jsonl": one JSON document per line, one line per run. The next
// program that opens the same results file for writing writes them in and then removes the
// pending file. The run's UUID is the key: a run already in the results file (a crash between
// its commit and the removal of the pending file) is not written twice.
//
// The pending file is only ever appended to (with fsync), never rewritten, so runs kept at an
// earlier exit stay byte for byte as they are. A line that cannot be read (a torn last line
// after a power cut, an edit by hand) keeps the whole file in place for a person to look at;
// the readable runs in it are written in all the same.

std::filesystem::path pendingRunsFile(const std::filesystem::path& resultsFile);

// What writing in a pending file did.
struct PendingWriteIn {
    std::size_t writtenIn = 0;    // runs written to the results file now
    std::size_t alreadyThere = 0; // runs the results file already held (not written twice)
    std::vector<PendingDamage> damage;
    bool removed = false;      // the pending file is gone: every run in it is in the results file
    std::string removeFailure; // why a file without damage could not be removed
};

// What became of the runs still waiting when the writer stopped.
struct PendingKept {
    std::filesystem::path file; // the pending file
    std::size_t count = 0;      // runs that could not be written
    std::string writeFailure;   // why the results file could not take them
    bool kept = false;          // they are in the pending file
    std::string keepFailure;    // why they could not be kept either (when !kept)
};

// Appends the runs to the pending file (created when missing), flushed to the disk before it
// returns. False with the reason in *error when the file cannot be written.
bool appendPendingRuns(const std::filesystem::path& pendingFile, const std::vector<TestRun>& runs,
                       std::string* error);

// Writes the runs of the pending file into the store, each in its own transaction, and removes
// the file once every line of it has been read and every run is in the store. No file: nothing
// done. Throws what the store throws (the file then stays for the next attempt).
PendingWriteIn writeInPendingRuns(ResultsStore& store, const std::filesystem::path& pendingFile);

// The number of runs a pending file holds (its non-empty lines); 0 when there is none.
std::size_t pendingRunCount(const std::filesystem::path& pendingFile);
