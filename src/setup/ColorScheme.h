#pragma once

#include <cstdint>

// A colour as the head stores it: red, green, blue and a fourth byte that is written as 0 when
// a colour is set from numbers and otherwise carried as read.
struct Rgbx {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::uint8_t extra = 0;

    static constexpr Rgbx fromRgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) { return {r, g, b, 0}; }
    friend constexpr bool operator==(const Rgbx&, const Rgbx&) = default;
};

// The display colours of the grid view and their switches (the last five colours and the flags
// byte of the global settings).
struct ColorScheme {
    enum Flag : std::uint8_t {
        CustomColors = 0x01,      // pass/high/low colours from the scheme instead of the built-in ones
        CustomExcessColor = 0x02, // latched excess drawn in excessColor
        CustomMaskColor = 0x04,   // masked channels drawn in maskColor
    };

    Rgbx passColor = Rgbx::fromRgb(150, 150, 255);
    Rgbx excessColor = Rgbx::fromRgb(100, 255, 100);
    Rgbx highColor = Rgbx::fromRgb(200, 100, 100);
    Rgbx lowColor = Rgbx::fromRgb(200, 200, 100);
    Rgbx maskColor = Rgbx::fromRgb(100, 100, 100);
    std::uint8_t colorFlags = CustomColors | CustomExcessColor;

    bool customColors() const { return (colorFlags & CustomColors) != 0; }
    bool customExcessColor() const { return (colorFlags & CustomExcessColor) != 0; }
    bool customMaskColor() const { return (colorFlags & CustomMaskColor) != 0; }

    friend bool operator==(const ColorScheme&, const ColorScheme&) = default;
};
