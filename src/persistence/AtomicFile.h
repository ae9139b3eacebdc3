#pragma once

#include <filesystem>
#include <string_view>
#include <system_error>

// Writing a file whole or not at all. The bytes go to a temporary file in the target's folder,
// which is flushed to the disk and then renamed over the target; the folder is synced so the
// rename survives a power cut. When anything fails (disk full, quota, file-size limit, a share
// that went away) the temporary file is removed and an existing target is left byte for byte as
// it was. Use it for every file the station writes whole: setup files, raw-data files, exports.
namespace atomicfile {

// Replaces (or creates) the file with content. An existing file keeps its permission bits; a
// new one gets 0666 less the umask. A symbolic link is followed: the file it points to is
// replaced. The folder must exist. False on failure, with the reason in *error when given.
bool write(const std::filesystem::path& target, std::string_view content, std::error_code* error = nullptr);

} // namespace atomicfile
