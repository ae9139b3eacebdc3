#include "HidapiBus.h"

#include <cerrno>
#include <cwchar>
#include <fcntl.h>
#include <hidapi.h>
#include <unistd.h>

namespace {

// hidapi hands out wchar_t text (UTF-32 here); the station compares UTF-16 units, so characters
// beyond the basic plane become surrogate pairs as they would on the wire.
std::u16string toUtf16(const wchar_t* text)
{
    std::u16string out;
    for (; *text != L'\0'; ++text) {
        auto c = static_cast<char32_t>(*text);
        if (c >= 0x10000) {
            c -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(c));
        }
    }
    return out;
}

class HidapiHandle : public HidHandle {
public:
    HidapiHandle(hid_device* device, std::string path) : device_(device), path_(std::move(path)) {}
    ~HidapiHandle() override { hid_close(device_); }
    HidapiHandle(const HidapiHandle&) = delete;
    HidapiHandle& operator=(const HidapiHandle&) = delete;

    std::string path() const override { return path_; }

    bool attributes(std::uint16_t& vendorId, std::uint16_t& productId) override
    {
        hid_device_info* info = hid_get_device_info(device_);
        if (info == nullptr)
            return false;
        vendorId = info->vendor_id;
        productId = info->product_id;
        return true;
    }

    bool manufacturerString(std::u16string& text) override
    {
        return readString(text, &hid_get_manufacturer_string);
    }
    bool productString(std::u16string& text) override { return readString(text, &hid_get_product_string); }

    bool write(const std::uint8_t* data, std::size_t length) override
    {
        return hid_write(device_, data, length) == static_cast<int>(length);
    }

    int read(std::uint8_t* data, std::size_t length, int timeoutMs) override
    {
        // hidraw delivers the payload without the report id; the station's reports carry id 0 in
        // byte 0, so the payload goes to data + 1.
        if (length < 2)
            return -1;
        const int n = hid_read_timeout(device_, data + 1, length - 1, timeoutMs);
        if (n <= 0)
            return n;
        data[0] = 0;
        return n + 1;
    }

private:
    using StringGetter = int (*)(hid_device*, wchar_t*, std::size_t);
    bool readString(std::u16string& text, StringGetter getter)
    {
        wchar_t buffer[256] = {};
        if (getter(device_, buffer, 256) != 0)
            return false;
        text = toUtf16(buffer);
        return true;
    }

    hid_device* device_;
    std::string path_;
};

} // namespace

HidapiBus::HidapiBus()
{
    hid_init();
}

HidapiBus::~HidapiBus()
{
    hid_exit();
}

std::vector<std::string> HidapiBus::enumerate()
{
    std::vector<std::string> paths;
    std::map<std::string, std::pair<std::uint16_t, std::uint16_t>> listed;
    hid_device_info* list = hid_enumerate(0, 0);
    for (hid_device_info* d = list; d != nullptr; d = d->next) {
        paths.emplace_back(d->path);
        listed[d->path] = {d->vendor_id, d->product_id};
    }
    hid_free_enumeration(list);
    std::lock_guard lock(listedMutex_);
    listed_ = std::move(listed);
    return paths;
}

std::unique_ptr<HidHandle> HidapiBus::open(const std::string& path)
{
    hid_device* device = hid_open_path(path.c_str());
    if (device == nullptr)
        return nullptr;
    return std::make_unique<HidapiHandle>(device, path);
}

std::unique_ptr<HidHandle> HidapiBus::tryOpen(const std::string& path, int& error)
{
    error = 0;
    std::unique_ptr<HidHandle> handle = open(path);
    if (handle)
        return handle;
    // hidapi formats its own error text after the failed open, which may change errno; opening
    // the node once more tells the reason reliably.
    const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd >= 0)
        ::close(fd); // it could be opened by now: the reason is unknown
    else
        error = errno;
    return nullptr;
}

bool HidapiBus::listedIds(const std::string& path, std::uint16_t& vendorId, std::uint16_t& productId)
{
    std::lock_guard lock(listedMutex_);
    const auto found = listed_.find(path);
    if (found == listed_.end())
        return false;
    vendorId = found->second.first;
    productId = found->second.second;
    return true;
}
