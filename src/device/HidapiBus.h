#pragma once

#include "HidBus.h"

// Real heads through hidapi's hidraw backend.
class HidapiBus : public HidBus {
public:
    HidapiBus();
    ~HidapiBus() override;
    HidapiBus(const HidapiBus&) = delete;
    HidapiBus& operator=(const HidapiBus&) = delete;

    std::vector<std::string> enumerate() override;
    std::unique_ptr<HidHandle> open(const std::string& path) override;
};
