#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

// An INI file kept by the rules of Windows profile files, so files stay exchangeable with
// stations on Windows: section and key names match without regard to letter case, blanks
// around a value are ignored, a missing key reads as an empty text, the first of duplicate keys
// wins, one pair of quotes around a value is dropped, and saving keeps every section, key and
// comment that was not written, with CR LF line ends and "KEY=VALUE" lines. Values are taken as
// bytes; the station writes plain ASCII.
class IniFile {
public:
    enum class LoadStatus {
        Loaded,     // the file was read
        Missing,    // no such file: reads as a file without keys
        Unreadable, // it exists but cannot be read (a folder, no permission)
    };

    IniFile();
    ~IniFile();
    IniFile(const IniFile&) = delete;
    IniFile& operator=(const IniFile&) = delete;

    // Replaces the contents with the file's (empty when missing or unreadable).
    LoadStatus load(const std::filesystem::path& path);
    // Replaces the contents with the given text.
    void loadText(std::string_view text);

    // The whole value, however long, without one pair of surrounding quotes; empty when the key
    // is missing.
    std::string value(std::string_view section, std::string_view key) const;
    bool contains(std::string_view section, std::string_view key) const;
    bool hasSection(std::string_view section) const;
    // Replaces the value of an existing key (keeping its place) or appends the key to its
    // section, appending the section when it is new.
    void setValue(std::string_view section, std::string_view key, std::string_view value);

    // The file text with CR LF line ends.
    std::string text() const;
    // Replaces the file with text() as a whole; false when it could not be written completely,
    // and then an existing file is left as it was.
    bool save(const std::filesystem::path& path) const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};
