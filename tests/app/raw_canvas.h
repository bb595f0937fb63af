#pragma once
// Raw pixels of a canvas, and the drawing rules' arithmetic done on the format's own masks, for
// the tests of the front door's drawing: an independent reference of straight alpha and tint.
#include <bit>
#include <cstdint>

#include "media/app/zamelmedia.h"
#include "media/display/pixel_surface.h"
#include "platform/pixels/color_convert.h"

// Raw pixels of a canvas and the arithmetic of the rules, done on the format's masks.
struct RawCanvas {
    using Color = media::Color;
    media::Canvas canvas;

    std::uint32_t At(std::int32_t x, std::int32_t y) const {
        media::PixelSurface& s = canvas.Surface();
        s.Lock();
        const std::uint32_t raw = s.GetPixel(x, y);
        s.Unlock();
        return raw & Significant();
    }
    const platform::PixelFormatDesc& Format() const { return canvas.Surface().Surface()->Format(); }
    bool Indexed() const { return Format().bitCount <= 8; }
    // The bits that carry colour (a 32-bit pixel's fourth byte carries none).
    std::uint32_t Significant() const {
        return Indexed() ? 0xFFu : Format().redMask | Format().greenMask | Format().blueMask;
    }
    std::uint32_t Raw(Color c) const { return c.RawFor(canvas.Surface()); }

    // Applies f(channel value, channel maximum) to each channel of the pixel.
    template <typename F>
    std::uint32_t PerChannel(std::uint32_t a, std::uint32_t b, F f) const {
        std::uint32_t out = 0;
        for (std::uint32_t mask : {Format().redMask, Format().greenMask, Format().blueMask}) {
            const int shift = std::countr_zero(mask);
            out |= f((a & mask) >> shift, (b & mask) >> shift) << shift;
        }
        return out;
    }
    // s over d with weight a: (s a + d (255 - a)) / 255 rounded; at 8 bits s where a >= 128.
    std::uint32_t Over(std::uint32_t s, std::uint32_t d, unsigned a) const {
        if (Indexed()) return a >= 128 ? s : d;
        return PerChannel(s, d, [a](std::uint32_t cs, std::uint32_t cd) { return (cs * a + cd * (255 - a) + 127) / 255; });
    }
    // Each channel times the tint's, over 255, rounded; at 8 bits through the palette's colours.
    std::uint32_t Tint(std::uint32_t s, Color t) const {
        if (Indexed()) {
            const platform::COLORREF c = platform::ColorOfIndex332(static_cast<std::uint8_t>(s));
            auto m = [](unsigned v, unsigned f) { return static_cast<std::uint8_t>((v * f + 127) / 255); };
            return platform::PaletteIndex332(m(platform::RedOf(c), t.r), m(platform::GreenOf(c), t.g), m(platform::BlueOf(c), t.b));
        }
        std::uint32_t out = 0;
        const std::uint32_t masks[] = {Format().redMask, Format().greenMask, Format().blueMask};
        const unsigned factors[] = {t.r, t.g, t.b};
        for (int k = 0; k < 3; ++k) {
            const int shift = std::countr_zero(masks[k]);
            out |= (((s & masks[k]) >> shift) * factors[k] + 127) / 255 << shift;
        }
        return out;
    }
};
