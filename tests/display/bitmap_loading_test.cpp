#include <cstdio>
#include <fstream>
#include <string>

#include "media/display/bitmap_surface.h"
#include "media/display/pixel_surface.h"
#include "media/display/screen.h"
#include "platform/core/resources.h"
#include "platform/pixels/color_convert.h"
#include "tests/headless_test.h"
#include "tests/image/bmp_files.h"

namespace {

using media::PixelSurface;
using testing_bmp::Bytes;

// Colour of a test picture's pixel: distinct per position, 0x00RRGGBB.
std::uint32_t PictureColour(int x, int y) { return 0x2040C0u + static_cast<std::uint32_t>(x) * 0x030507u + static_cast<std::uint32_t>(y) * 0x110000u; }

Bytes Picture(int width, int height) {
    testing_bmp::BmpLayout s;
    s.width = width;
    s.height = height;
    s.pixels = testing_bmp::PackRows(width, height, 24, PictureColour);
    return testing_bmp::MakeBmp(s);
}

class BitmapLoadingTest : public HeadlessTest {
protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        host.SetDebugEcho(false);
        screen = std::make_unique<media::Screen>();
    }
    void TearDown() override {
        platform::RemoveResource("TESTBITMAP", platform::RT_BITMAP);
        for (const std::string& path : written) std::remove(path.c_str());
        HeadlessTest::TearDown();
    }
    std::string WriteFile(const std::string& name, const Bytes& bytes) {
        const std::string path = ::testing::TempDir() + name;
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        written.push_back(path);
        return path;
    }
    void RegisterBitmap(const char* name, int width, int height) {
        platform::Resource r;
        r.name = name;
        r.type = platform::RT_BITMAP;
        r.width = width;
        r.height = height;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) r.pixels.push_back(0xFF000000u | PictureColour(x, y));
        platform::RegisterResource(std::move(r));
    }
    // Every pixel of the surface is the test picture's colour packed into its format.
    static void ExpectPicture(const platform::DisplaySurface& s, const char* what) {
        for (int y = 0; y < s.Height(); ++y)
            for (int x = 0; x < s.Width(); ++x) {
                const std::uint32_t c = PictureColour(x, y);
                ASSERT_EQ(s.PixelAt(x, y), platform::RawFromRgb(static_cast<std::uint8_t>(c >> 16), static_cast<std::uint8_t>(c >> 8),
                                                              static_cast<std::uint8_t>(c), s.Format()))
                    << what << " at " << x << "," << y;
            }
    }

    std::unique_ptr<media::Screen> screen;
    std::vector<std::string> written;
};

TEST_F(BitmapLoadingTest, PictureFileInEveryDesktopDepth) {
    for (const int depth : {8, 15, 16, 24, 32}) {
        host.SetDesktop(1024, 768, depth);
        const std::string path = WriteFile("picture" + std::to_string(depth) + ".bmp", Picture(7, 5));
        PixelSurface s;
        ASSERT_EQ(s.CreateFromFile(screen.get(), path.c_str(), media::MEMORY_ANY), 1) << depth;
        EXPECT_EQ(s.Width(), 7);
        EXPECT_EQ(s.Height(), 5);
        EXPECT_EQ(s.ClipRect(), (platform::Rect{0, 0, 7, 5}));
        EXPECT_STREQ(s.FileName(), path.c_str());
        EXPECT_EQ(s.Owner(), screen.get());
        EXPECT_EQ(s.GetPixelFormatInfo().depth, depth);
        EXPECT_TRUE(s.HasPixelRoutines());
        EXPECT_EQ(screen->LastSurface(), &s);
        ExpectPicture(*s.Surface(), ("depth " + std::to_string(depth)).c_str());
    }
    EXPECT_EQ(screen->SurfaceCount(), 0) << "destroyed surfaces leave the list";
}

TEST_F(BitmapLoadingTest, RefusalsLeaveTheSurfaceUntouchedAndUnlisted) {
    const std::string path = WriteFile("refusals.bmp", Picture(2, 2));
    const std::string longName(256, 'a');
    struct Case {
        const char* what;
        std::string name;
        bool nullName;
        std::int32_t result;
    };
    const Case cases[] = {
        {"null name", "", true, -1},
        {"a name of 256 characters", longName, false, -1},
        {"a name of 255 characters that is nothing", longName.substr(1), false, -2},
        {"neither file nor resource", "no such picture", false, -2},
        {"a file that is no picture", WriteFile("text.bmp", {'h', 'i'}), false, -2},
    };
    for (const Case& c : cases) {
        PixelSurface s;
        EXPECT_EQ(s.CreateFromFile(screen.get(), c.nullName ? nullptr : c.name.c_str(), media::MEMORY_ANY), c.result) << c.what;
        EXPECT_EQ(s.Surface(), nullptr) << c.what;
        EXPECT_FALSE(s.HasPixelRoutines()) << c.what;
        EXPECT_STREQ(s.FileName(), "") << c.what;
        EXPECT_EQ(screen->SurfaceCount(), 0) << c.what;
    }
    PixelSurface s;
    EXPECT_EQ(s.CreateFromFile(nullptr, path.c_str(), media::MEMORY_ANY), -1) << "no screen";
    ASSERT_EQ(s.CreateFromFile(screen.get(), path.c_str(), media::MEMORY_ANY), 1);
    platform::DisplaySurface* first = s.Surface();
    EXPECT_EQ(s.CreateFromFile(screen.get(), path.c_str(), media::MEMORY_ANY), -1) << "a second creation";
    EXPECT_EQ(s.Surface(), first);
    EXPECT_EQ(screen->SurfaceCount(), 1);
}

TEST_F(BitmapLoadingTest, ResourceFallbackAtItsOwnSizeThatCannotBeReloaded) {
    RegisterBitmap("TESTBITMAP", 100, 50);
    PixelSurface s;
    ASSERT_EQ(s.CreateFromFile(screen.get(), "TESTBITMAP", 1), 1);
    EXPECT_EQ(s.Width(), 100);
    EXPECT_EQ(s.Height(), 50);
    EXPECT_EQ(s.Surface()->Caps() & platform::DDSCAPS_SYSTEMMEMORY, platform::DDSCAPS_SYSTEMMEMORY);
    EXPECT_EQ(screen->SurfaceCount(), 1);
    ExpectPicture(*s.Surface(), "resource");
    EXPECT_EQ(s.Reload(nullptr), -2);
    host.LoseAllSurfaces();
    EXPECT_EQ(s.Restore(), -2) << "the platform restore works, the picture does not come back";
    EXPECT_EQ(s.Surface()->IsLost(), platform::DD_OK);
}

// A surface made from a file or a resource forgets a screen destroyed before it, as a blank one
// does: it keeps its pixels, and its destruction touches nothing of the screen.
TEST_F(BitmapLoadingTest, FileAndResourceSurfacesOutliveTheirScreen) {
    const std::string path = WriteFile("outlive.bmp", Picture(3, 2));
    RegisterBitmap("TESTBITMAP", 3, 2);
    for (const char* name : {path.c_str(), "TESTBITMAP"}) {
        SCOPED_TRACE(name);
        screen = std::make_unique<media::Screen>();
        auto s = std::make_unique<PixelSurface>();
        ASSERT_EQ(s->CreateFromFile(screen.get(), name, media::MEMORY_ANY), 1);
        ASSERT_EQ(s->Owner(), screen.get());
        screen.reset();
        EXPECT_EQ(s->Owner(), nullptr);
        ExpectPicture(*s->Surface(), name);
        s.reset();
    }
}

TEST_F(BitmapLoadingTest, AFileWinsOverAResourceOfTheSameName) {
    const std::string path = WriteFile("both.bmp", Picture(3, 3));
    RegisterBitmap(path.c_str(), 9, 9);
    PixelSurface s;
    ASSERT_EQ(s.CreateFromFile(screen.get(), path.c_str(), media::MEMORY_ANY), 1);
    EXPECT_EQ(s.Width(), 3);
    platform::RemoveResource(path.c_str(), platform::RT_BITMAP);
}

TEST_F(BitmapLoadingTest, LostSurfacesReloadTheirPictures) {
    const std::string path = WriteFile("reload.bmp", Picture(6, 4));
    PixelSurface a, b;
    ASSERT_EQ(a.CreateFromFile(screen.get(), path.c_str(), media::MEMORY_ANY), 1);
    ASSERT_EQ(b.CreateFromFile(screen.get(), path.c_str(), media::MEMORY_VIDEO), 1);
    EXPECT_GE(host.LoseAllSurfaces(), 3) << "both surfaces and the desktop";
    EXPECT_EQ(a.Surface()->IsLost(), platform::DDERR_SURFACELOST);
    EXPECT_EQ(b.Surface()->IsLost(), platform::DDERR_SURFACELOST);
    EXPECT_EQ(host.DesktopSurface().IsLost(), platform::DDERR_SURFACELOST);

    // A lock meets the loss, restores and reloads; a direct restore does the same.
    ASSERT_EQ(a.Lock(), 1);
    a.Unlock();
    ExpectPicture(*a.Surface(), "after a lock");
    EXPECT_EQ(b.Restore(), platform::DD_OK);
    ExpectPicture(*b.Surface(), "after a restore");

    // Once the file is gone the restored surface keeps what the platform left.
    host.LoseAllSurfaces();
    std::remove(path.c_str());
    EXPECT_EQ(a.Restore(), -2);
    EXPECT_EQ(a.Surface()->PixelAt(1, 1), 0u);
    // Another name can be given.
    const std::string other = WriteFile("other.bmp", Picture(6, 4));
    EXPECT_EQ(a.Reload(other.c_str()), platform::DD_OK);
    ExpectPicture(*a.Surface(), "reloaded from another name");
    // A smaller picture cannot cover the surface: the copy's refusal comes back.
    const std::string small = WriteFile("small.bmp", Picture(2, 2));
    EXPECT_EQ(a.Reload(small.c_str()), platform::DDERR_INVALIDRECT);
}

TEST_F(BitmapLoadingTest, ScreenSurfacesAndBlankSurfacesCannotBeReloaded) {
    PixelSurface blank;
    ASSERT_EQ(blank.CreateBlank(screen.get(), 4, 4, 32), 1);
    EXPECT_EQ(blank.Reload(nullptr), -2);
    PixelSurface none;
    EXPECT_EQ(none.Reload("anything"), -2);
    EXPECT_EQ(none.Restore(), -1);
}

TEST_F(BitmapLoadingTest, LoadBitmapSurfacePlacesAndFails) {
    RegisterBitmap("TESTBITMAP", 5, 3);
    std::int32_t width = 0, height = 0;
    struct Case {
        std::int32_t placement;
        std::uint32_t memory;
    };
    for (const Case c : {Case{0, platform::DDSCAPS_VIDEOMEMORY}, Case{1, platform::DDSCAPS_SYSTEMMEMORY}, Case{7, platform::DDSCAPS_SYSTEMMEMORY}}) {
        const auto s = media::LoadBitmapSurface(screen->DirectDraw(), "TESTBITMAP", &width, &height, c.placement);
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(s->Caps() & (platform::DDSCAPS_VIDEOMEMORY | platform::DDSCAPS_SYSTEMMEMORY), c.memory) << c.placement;
    }
    EXPECT_EQ(width, 5);
    EXPECT_EQ(height, 3);
    EXPECT_EQ(media::LoadBitmapSurface(screen->DirectDraw(), "no such bitmap", &width, &height, 2), nullptr);
    host.SetFault(platform::FaultPoint::CreateSystemSurface);
    width = height = 0;
    EXPECT_EQ(media::LoadBitmapSurface(screen->DirectDraw(), "TESTBITMAP", &width, &height, 2), nullptr);
    EXPECT_EQ(width, 0) << "sizes are written only on success";
    PixelSurface s;
    EXPECT_EQ(s.CreateFromFile(screen.get(), "TESTBITMAP", 2), -1) << "resource found, no surface";
}

TEST_F(BitmapLoadingTest, CopyBitmapToSurfaceStretchesThePartOverTheSurface) {
    RegisterBitmap("TESTBITMAP", 4, 4);
    platform::HBITMAP bitmap = platform::LoadImage(platform::GetModuleHandle(nullptr), "TESTBITMAP", platform::IMAGE_BITMAP, 0, 0,
                                                   platform::LR_CREATEDIBSECTION);
    ASSERT_NE(bitmap, nullptr);
    platform::DisplaySurface surface(4, 2, platform::FormatForDepth(32), platform::DDSCAPS_SYSTEMMEMORY);
    EXPECT_EQ(media::CopyBitmapToSurface(nullptr, bitmap, 0, 0, 0, 0), platform::E_FAIL);
    EXPECT_EQ(media::CopyBitmapToSurface(&surface, nullptr, 0, 0, 0, 0), platform::E_FAIL);
    // The 2x1 part at (1, 2) doubled in each direction.
    EXPECT_EQ(media::CopyBitmapToSurface(&surface, bitmap, 1, 2, 2, 1), platform::DD_OK);
    EXPECT_EQ(surface.PixelAt(0, 0), PictureColour(1, 2));
    EXPECT_EQ(surface.PixelAt(1, 1), PictureColour(1, 2));
    EXPECT_EQ(surface.PixelAt(3, 1), PictureColour(2, 2));
    // dx and dy 0: the whole bitmap squeezed into 4x2.
    EXPECT_EQ(media::CopyBitmapToSurface(&surface, bitmap, 0, 0, 0, 0), platform::DD_OK);
    EXPECT_EQ(surface.PixelAt(3, 1), PictureColour(3, 3));
    EXPECT_EQ(surface.PixelAt(0, 0), PictureColour(0, 1));
    // A lost surface is restored first; a refused device context is passed back, nothing drawn.
    surface.MarkLost();
    EXPECT_EQ(media::CopyBitmapToSurface(&surface, bitmap, 0, 0, 0, 0), platform::DD_OK);
    platform::DisplaySurface untouched(2, 2, platform::FormatForDepth(16), platform::DDSCAPS_SYSTEMMEMORY);
    host.SetFault(platform::FaultPoint::SurfaceGetDC, platform::E_OUTOFMEMORY);
    EXPECT_EQ(media::CopyBitmapToSurface(&untouched, bitmap, 0, 0, 0, 0), platform::E_OUTOFMEMORY);
    EXPECT_EQ(untouched.PixelAt(1, 1), 0u);
    platform::DeleteObject(bitmap);
}

}  // namespace
