#pragma once

#include "UserMessage.h"

#include <filesystem>
#include <functional>
#include <optional>

struct GlobalSettings;
class HeadOperations;
class IniFile;

// Save and Load of a head's whole setup to and from an INI configuration file. Plain logic: the
// caller checks the refusal, asks for the file name and shows the message it gets back.
namespace configfile {

// Fixed texts.
inline constexpr const char* kSaveLocked = "保存菜单被禁止！";
inline constexpr const char* kLoadLocked = "载入菜单被禁止！";
inline constexpr const char* kTypeMismatch = "设备类型与配置参数不符!";
inline constexpr const char* kSaved = "文件保存成功！";
inline constexpr const char* kSaveCaption = "参数保存";
inline constexpr const char* kLoaded = "文件载入成功！";
inline constexpr const char* kLoadCaption = "参数载入";
inline constexpr const char* kSaveFailed = "文件保存失败！";
// A file that lacks a section or key Save writes; the missing name follows on its own line.
inline constexpr const char* kIncomplete = "配置文件不完整，参数未载入！";
inline constexpr const char* kIncompleteEnglish = "The setup file is incomplete; nothing was loaded";
// A file without the setup's DEVICETYPE key: empty, binary or another program's INI.
inline constexpr const char* kNotASetupFile = "所选文件不是配置文件，参数未载入！";
inline constexpr const char* kNotASetupFileEnglish =
    "The chosen file is not a setup file; nothing was loaded";
// A file that exists but cannot be read (no permission, a folder).
inline constexpr const char* kUnreadable = "配置文件无法读取，参数未载入！";
inline constexpr const char* kUnreadableEnglish = "The setup file cannot be read; nothing was loaded";

// The message of a set lockSave / lockLoad bit; nullopt when the command may run.
std::optional<UserMessage> saveRefusal(const GlobalSettings& global);
std::optional<UserMessage> loadRefusal(const GlobalSettings& global);

// Exports the head's setup into the file (other sections and keys of an existing file stay).
// Values of the global sections come from the images (global as last read or written, the grid
// counts); a multi-board head's boards are read from the head one by one.
UserMessage save(HeadOperations& head, const std::filesystem::path& file);

struct LoadResult {
    UserMessage message;
    bool headChanged = false; // something was written to the head
    bool restarted = false;   // Restart was sent
};

// Imports the file into the head and restarts it. Nothing is changed for a file that cannot be
// read, is not a setup file, holds another device type than the head's, has a grid size outside
// 0..4 rows or columns, or lacks any section or key that Save writes for its own grid (the
// message then names the first missing one). The success
// message goes to beforeRestart (when given) before Restart is sent, so the operator reads it
// before the head leaves the bus; it is also returned.
LoadResult load(HeadOperations& head, const std::filesystem::path& file,
                const std::function<void(const UserMessage&)>& beforeRestart = {});

// The board section name of board index k: "EXPANDBOARD_%02d_PARA".
std::string boardSection(int k);

} // namespace configfile
