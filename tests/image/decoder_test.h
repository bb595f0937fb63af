#pragma once
// Fixture for the picture decoders: a display device on a fresh 32-bit headless desktop, and the
// loader's result read back as colours, so every test checks what a surface really holds.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "media/image/image.h"
#include "platform/pixels/color_convert.h"
#include "platform/video/display_device.h"
#include "tests/headless_test.h"
#include "tests/image/picture_files.h"

struct Picture {
    std::int32_t width = 0, height = 0;
    std::vector<platform::COLORREF> colors;  // row by row from the top
    std::vector<std::uint8_t> alpha;         // the alpha map kept when asked for, else empty
    platform::COLORREF At(std::int32_t x, std::int32_t y) const { return colors[static_cast<std::size_t>(y * width + x)]; }
};

class DecoderTest : public HeadlessTest {
protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        ASSERT_EQ(platform::DirectDrawCreate(nullptr, &device), 0);
    }

    // The picture the loader makes of the bytes (type IMAGE_NONE detects), or nothing.
    std::optional<Picture> Load(const picture_files::Bytes& bytes, std::uint32_t type = media::IMAGE_NONE) {
        media::Image image;
        return Read(image.LoadMemory(device.get(), bytes.size(), bytes.data(), media::MEMORY_SYSTEM, type));
    }

    // The same with the picture's alpha kept (type detected).
    std::optional<Picture> LoadWithAlpha(const picture_files::Bytes& bytes) {
        media::Image image;
        std::unique_ptr<std::uint8_t[]> map;
        std::optional<Picture> picture = Read(image.LoadMemoryWithAlpha(device.get(), bytes.size(), bytes.data(), media::MEMORY_SYSTEM, &map));
        if (picture && map) picture->alpha.assign(map.get(), map.get() + picture->width * picture->height);
        return picture;
    }

    std::optional<Picture> Read(const media::SurfacePtr& surface) {
        if (!surface) return std::nullopt;
        Picture picture;
        picture.width = surface->Width();
        picture.height = surface->Height();
        for (std::int32_t y = 0; y < picture.height; ++y) {
            for (std::int32_t x = 0; x < picture.width; ++x) {
                picture.colors.push_back(platform::ColorRefFromRaw(surface->PixelAt(x, y), surface->Format()));
            }
        }
        return picture;
    }

    std::uint32_t Detect(const picture_files::Bytes& bytes) {
        media::Image image;
        return image.DetectType(bytes.size(), bytes.data());
    }

    std::shared_ptr<platform::DisplayDevice> device;
};

using platform::Rgb;
