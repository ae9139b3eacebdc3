#pragma once

#include "HidBus.h"

#include <map>
#include <mutex>
#include <utility>

// Real heads through hidapi's hidraw backend.
class HidapiBus : public HidBus {
public:
    HidapiBus();
    ~HidapiBus() override;
    HidapiBus(const HidapiBus&) = delete;
    HidapiBus& operator=(const HidapiBus&) = delete;

    std::vector<std::string> enumerate() override;
    std::unique_ptr<HidHandle> open(const std::string& path) override;
    std::unique_ptr<HidHandle> tryOpen(const std::string& path, int& error) override;
    // The ids of the last enumeration.
    bool listedIds(const std::string& path, std::uint16_t& vendorId, std::uint16_t& productId) override;

private:
    std::mutex listedMutex_; // enumeration may run on several threads
    std::map<std::string, std::pair<std::uint16_t, std::uint16_t>> listed_;
};
