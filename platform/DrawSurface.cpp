#include "platform/DrawSurface.h"

#include <array>

namespace platform {

namespace {

constexpr Colour Rgb(unsigned r, unsigned g, unsigned b) {
    return r | (g << 8) | (b << 16);
}

// The standard 16-colour VGA palette.
constexpr std::array<Colour, 16> Palette = {
    Rgb(0, 0, 0),       Rgb(0, 0, 128),   Rgb(0, 128, 0),   Rgb(0, 128, 128),
    Rgb(128, 0, 0),     Rgb(128, 0, 128), Rgb(128, 128, 0), Rgb(192, 192, 192),
    Rgb(128, 128, 128), Rgb(0, 0, 255),   Rgb(0, 255, 0),   Rgb(0, 255, 255),
    Rgb(255, 0, 0),     Rgb(255, 0, 255), Rgb(255, 255, 0), Rgb(255, 255, 255),
};

} // namespace

Colour PaletteColour(int n) {
    return Palette[static_cast<std::size_t>(n & 15)];
}

} // namespace platform
