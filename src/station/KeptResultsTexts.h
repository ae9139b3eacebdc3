#pragma once

#include "results/PendingRuns.h"

#include <filesystem>
#include <string>
#include <vector>

// What the operator (window) or the user (tool) is told about test results kept beside the
// results file: at the end, how many were kept and where (or that they are lost); at the
// start, how many kept results were saved, or that the kept file is damaged and left alone.
namespace station {

std::string keptAtExitText(const PendingKept& kept, const std::filesystem::path& resultsFile, bool english);

// Empty when there is nothing to tell (no kept run was new to the results file).
std::string keptWrittenInText(const PendingWriteIn& writtenIn, const std::filesystem::path& resultsFile,
                              const std::filesystem::path& pendingFile, bool english);

// A text with its %1, %2, ... placeholders replaced in one pass, so that a value holding "%2"
// (a folder name, say) stays as it is.
std::string fillPlaceholders(const std::string& text, const std::vector<std::string>& values);

} // namespace station
