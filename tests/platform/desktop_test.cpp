// Copies and fills onto the desktop's primary surface: cut to the window's client area, sampled
// by the stretching rule (checked against tables written out by hand), honouring the colour key
// and the mirror like any copy, and pinned by hashes of whole presented frames in every depth.
#include <cstring>
#include <vector>

#include "media/display/pixel_surface.h"
#include "media/display/screen.h"
#include "platform/pixels/surface_copy.h"
#include "platform/video/display_surface.h"
#include "tests/headless_test.h"

namespace {

using platform::DisplaySurface;
using platform::Rect;

class DesktopTest : public HeadlessTest {};

// A one-row 8-bit surface whose pixel x holds x (mod 256), copied stretched into a one-row
// surface of dw pixels; returns what each destination pixel sampled.
std::vector<std::uint32_t> StretchRow(std::int32_t sw, std::int32_t dw, bool mirror) {
    const auto format = platform::FormatForDepth(32);
    DisplaySurface src(sw, 1, format, platform::DDSCAPS_OFFSCREENPLAIN);
    DisplaySurface dst(dw, 1, format, platform::DDSCAPS_OFFSCREENPLAIN);
    for (std::int32_t x = 0; x < sw; ++x) std::memcpy(src.Row(0) + 4 * x, &x, 4);
    platform::BltFx fx;
    fx.ddfx = mirror ? platform::DDBLTFX_MIRRORLEFTRIGHT : 0;
    EXPECT_EQ(dst.Blt(nullptr, &src, nullptr, platform::DDBLT_DDFX, &fx), platform::DD_OK);
    std::vector<std::uint32_t> sampled;
    for (std::int32_t x = 0; x < dw; ++x) sampled.push_back(dst.PixelAt(x, 0));
    return sampled;
}

TEST_F(DesktopTest, StretchingSamplesTheSourcePixelNearestEachCentre) {
    using V = std::vector<std::uint32_t>;
    EXPECT_EQ(StretchRow(3, 7, false), (V{0, 0, 1, 1, 1, 2, 2}));
    EXPECT_EQ(StretchRow(3, 7, true), (V{2, 2, 1, 1, 1, 0, 0}));
    EXPECT_EQ(StretchRow(7, 3, false), (V{1, 3, 5}));
    EXPECT_EQ(StretchRow(7, 3, true), (V{5, 3, 1}));
    EXPECT_EQ(StretchRow(1, 4, false), (V{0, 0, 0, 0}));
    const V wide = StretchRow(640, 800, false);
    EXPECT_EQ(V(wide.begin(), wide.begin() + 10), (V{0, 1, 2, 2, 3, 4, 5, 6, 6, 7}));
    EXPECT_EQ(V(wide.end() - 5, wide.end()), (V{636, 637, 638, 638, 639}));
}

TEST_F(DesktopTest, FillOntoTheFrontSurfaceStaysInsideTheWindow) {
    platform::HWND window = MakeWindow(100, 50, 64, 48);
    media::Screen screen;
    ASSERT_EQ(screen.SetWindowedMode(window, 64, 48), 0);
    ASSERT_EQ(screen.Front()->Fill(0x00ABCDEF), 0);
    const DisplaySurface& desktop = host.DesktopSurface();
    EXPECT_EQ(desktop.PixelAt(100, 50), 0x00ABCDEFu);
    EXPECT_EQ(desktop.PixelAt(163, 97), 0x00ABCDEFu);
    for (const auto& [x, y] : {std::pair{99, 50}, {100, 49}, {164, 97}, {163, 98}, {0, 0}, {1023, 767}})
        EXPECT_EQ(desktop.PixelAt(x, y), 0u) << x << "," << y;
}

TEST_F(DesktopTest, CopiesOntoTheFrontSurfaceHonourTheKeyAndTheMirror) {
    platform::HWND window = MakeWindow(10, 20, 4, 2);
    media::Screen screen;
    ASSERT_EQ(screen.SetWindowedMode(window, 4, 2), 0);
    platform::FillRect(host.DesktopSurface().View(), host.DesktopSurface().Bounds(), 0x777777);
    // Source row 0: 1 2 K 4; row 1: 5 K 7 8, with K the key.
    constexpr std::uint32_t K = 0x00FF00FF;
    const std::uint32_t pixels[2][4] = {{1, 2, K, 4}, {5, K, 7, 8}};
    media::PixelSurface& back = *screen.Back();
    back.Lock();
    for (std::int32_t y = 0; y < 2; ++y)
        for (std::int32_t x = 0; x < 4; ++x) back.PutPixel(x, y, pixels[y][x]);
    back.Unlock();
    ASSERT_EQ(back.SetColorKeyFromTopLeft(), 0);
    const platform::ColorKey key{K, K};
    ASSERT_EQ(back.Surface()->SetColorKey(platform::DDCKEY_SRCBLT, &key), platform::DD_OK);

    const Rect client{10, 20, 14, 22};
    ASSERT_EQ(screen.Front()->Surface()->BltFast(10, 20, back.Surface(), nullptr, platform::DDBLTFAST_SRCCOLORKEY), 0);
    const std::uint32_t keyed[2][4] = {{1, 2, 0x777777, 4}, {5, 0x777777, 7, 8}};
    for (std::int32_t y = 0; y < 2; ++y)
        for (std::int32_t x = 0; x < 4; ++x) EXPECT_EQ(host.DesktopSurface().PixelAt(10 + x, 20 + y), keyed[y][x]);

    platform::BltFx fx;
    fx.ddfx = platform::DDBLTFX_MIRRORLEFTRIGHT | platform::DDBLTFX_MIRRORUPDOWN;
    ASSERT_EQ(screen.Front()->Surface()->Blt(&client, back.Surface(), nullptr, platform::DDBLT_DDFX, &fx), 0);
    const std::uint32_t mirrored[2][4] = {{8, 7, K, 5}, {4, K, 2, 1}};
    for (std::int32_t y = 0; y < 2; ++y)
        for (std::int32_t x = 0; x < 4; ++x) EXPECT_EQ(host.DesktopSurface().PixelAt(10 + x, 20 + y), mirrored[y][x]);
}

// FNV-1a over the pixel bytes (not the row padding) of a rectangle.
std::uint64_t Hash(const DisplaySurface& s, const Rect& r) {
    std::uint64_t h = 1469598103934665603ull;
    for (std::int32_t y = r.top; y < r.bottom; ++y) {
        const std::uint8_t* p = s.Row(y) + r.left * s.BytesPerPixel();
        for (std::int32_t i = 0; i < r.Width() * s.BytesPerPixel(); ++i) h = (h ^ p[i]) * 1099511628211ull;
    }
    return h;
}

struct FrameHash {
    int depth;
    std::int32_t width, height;  // the window's client area; the back surface is 640x480
    std::uint64_t hash;
};

// Every pixel of a presented frame, glyphs included, in every depth: any change to the copy
// loops, the sampling rule, the font or the colour conversion shows here.
TEST_F(DesktopTest, PresentedFramesMatchTheirHashes) {
    const FrameHash table[] = {
        {8, 640, 480, 0x1b8b525ae28b8ff6ull},
        {15, 640, 480, 0xeef76ac5c1981b51ull},
        {16, 640, 480, 0xd106e9fe292c7895ull},
        {24, 640, 480, 0xa618f4ce4604fda2ull},
        {32, 640, 480, 0x2b45736b6cdc02a7ull},
        {16, 800, 600, 0xd1128b028dcee630ull},
        {32, 800, 600, 0x3b312011fd15d2efull},
        {32, 320, 240, 0x1620d3f2f968e7b2ull},
    };
    for (const FrameHash& k : table) {
        SCOPED_TRACE("depth " + std::to_string(k.depth) + " " + std::to_string(k.width) + "x" + std::to_string(k.height));
        host.Reset();
        host.SetDesktop(1024, 768, k.depth);
        platform::HWND window = MakeWindow(33, 17, k.width, k.height);
        media::Screen screen;
        ASSERT_EQ(screen.SetWindowedMode(window, 640, 480), 0);
        media::PixelSurface& back = *screen.Back();
        back.Lock();
        for (std::int32_t y = 0; y < 480; ++y)
            for (std::int32_t x = 0; x < 640; ++x) back.PutPixel(x, y, static_cast<std::uint32_t>(x * 0x010203 ^ y * 0x030507));
        back.Unlock();
        back.DrawTextAt(-3, 470, 0x00FFFFFF, " !\"#$%&'()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_`");
        back.DrawTextAt(300, 200, 0x0000FF80, "abcdefghijklmnopqrstuvwxyz{|}~ bodo & zamel");
        screen.Flip(0, 1, 1);
        const std::uint64_t hash = Hash(host.DesktopSurface(), {33, 17, 33 + k.width, 17 + k.height});
        EXPECT_EQ(hash, k.hash) << std::hex << "0x" << hash;
    }
}

}  // namespace
