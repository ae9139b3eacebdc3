#include "IniFile.h"

#include "AtomicFile.h"

#include <SimpleIni.h>
#include <cerrno>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

struct IniFile::Impl {
    // Not UTF-8 (bytes pass as they are), duplicate keys kept so the first can win, no
    // multi-line values.
    CSimpleIniA ini{false, true, false};

    Impl() { ini.SetSpaces(false); }
};

IniFile::IniFile() : impl_(std::make_unique<Impl>()) {}

IniFile::~IniFile() = default;

IniFile::LoadStatus IniFile::load(const std::filesystem::path& path)
{
    impl_ = std::make_unique<Impl>();
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (status.type() == std::filesystem::file_type::not_found)
        return LoadStatus::Missing;
    if (error || !std::filesystem::is_regular_file(status))
        return LoadStatus::Unreadable;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return LoadStatus::Unreadable;
    std::ostringstream content;
    content << in.rdbuf();
    if (in.bad())
        return LoadStatus::Unreadable;
    loadText(content.str());
    return LoadStatus::Loaded;
}

void IniFile::loadText(std::string_view text)
{
    impl_ = std::make_unique<Impl>();
    if (!text.empty())
        impl_->ini.LoadData(text.data(), text.size());
}

std::string IniFile::value(std::string_view section, std::string_view key) const
{
    const std::string s(section);
    const std::string k(key);
    const char* v = impl_->ini.GetValue(s.c_str(), k.c_str(), nullptr);
    if (v == nullptr)
        return {};
    std::string_view text(v);
    // Hand-edited files may quote a value (GUIROW="2"); Windows drops one pair of matching quotes.
    if (text.size() >= 2 && (text.front() == '"' || text.front() == '\'') && text.back() == text.front())
        text = text.substr(1, text.size() - 2);
    return std::string(text);
}

bool IniFile::contains(std::string_view section, std::string_view key) const
{
    const std::string s(section);
    const std::string k(key);
    return impl_->ini.GetValue(s.c_str(), k.c_str(), nullptr) != nullptr;
}

bool IniFile::hasSection(std::string_view section) const
{
    const std::string s(section);
    return impl_->ini.GetSection(s.c_str()) != nullptr;
}

void IniFile::setValue(std::string_view section, std::string_view key, std::string_view value)
{
    const std::string s(section);
    const std::string k(key);
    const std::string v(value);
    impl_->ini.SetValue(s.c_str(), k.c_str(), v.c_str(), nullptr, true);
}

std::string IniFile::text() const
{
    std::string lf;
    impl_->ini.Save(lf, false);
    // Lines may end in LF (written here) or CR LF (comments kept from a Windows file).
    std::string crlf;
    crlf.reserve(lf.size() + lf.size() / 8);
    for (std::size_t i = 0; i < lf.size(); ++i) {
        const char c = lf[i];
        if (c == '\r') {
            crlf += "\r\n";
            if (i + 1 < lf.size() && lf[i + 1] == '\n')
                ++i;
        } else if (c == '\n') {
            crlf += "\r\n";
        } else {
            crlf += c;
        }
    }
    return crlf;
}

bool IniFile::save(const std::filesystem::path& path) const
{
    return atomicfile::write(path, text());
}
