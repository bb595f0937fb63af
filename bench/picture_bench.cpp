// Picture decoders at 640x480: each file decoded by the loader into a new 32-bit surface on the
// headless display, beside stb_image (TGA, PSD, PNG), bare libjpeg-turbo (JPEG, the same settings
// as ours) and bare libspng (PNG) decoding the same bytes in the same binary.
#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include <jpeglib.h>
#include <spng.h>
#include <stb/stb_image.h>

#include "media/display/pixel_surface.h"
#include "media/image/image.h"
#include "platform/backends/headless/headless_backend.h"
#include "platform/pixels/color_convert.h"
#include "platform/video/display_device.h"
#include "tests/image/picture_files.h"

namespace {

using picture_files::Bytes;

constexpr int kWidth = 640, kHeight = 480;

// The benchmark picture, red, green, blue per pixel.
const Bytes& Scene() {
    static const Bytes scene = picture_files::TestScene(kWidth, kHeight, 7);
    return scene;
}

Bytes SceneBgr() {
    Bytes bgr = Scene();
    for (std::size_t i = 0; i < bgr.size(); i += 3) std::swap(bgr[i], bgr[i + 2]);
    return bgr;
}

const Bytes& TgaRleFile() {
    static const Bytes file = [] {
        const Bytes bgr = SceneBgr();
        picture_files::Tga tga;
        tga.imageType = 10;
        tga.depth = 24;
        tga.width = kWidth;
        tga.height = kHeight;
        tga.descriptor = 0x20;
        tga.pixelData = picture_files::TgaRle(bgr.data(), std::size_t{kWidth} * kHeight, 3, kWidth);
        return picture_files::TgaFile(tga);
    }();
    return file;
}

const Bytes& PsdPackBitsFile() {
    static const Bytes file = [] {
        std::vector<Bytes> planes(3, Bytes(std::size_t{kWidth} * kHeight));
        for (std::size_t i = 0; i < planes[0].size(); ++i) {
            for (int c = 0; c < 3; ++c) planes[static_cast<std::size_t>(c)][i] = Scene()[i * 3 + static_cast<std::size_t>(c)];
        }
        picture_files::Psd psd;
        psd.width = kWidth;
        psd.height = kHeight;
        psd.compression = 1;
        psd.imageData = picture_files::PsdPackBitsImage(planes, kWidth, kHeight);
        return picture_files::PsdFile(psd);
    }();
    return file;
}

// PCX with 256 colours (the scene through the 3-3-2 palette) or three planes.
Bytes MakePcx(bool trueColour) {
    picture_files::Pcx pcx;
    pcx.xMax = kWidth - 1;
    pcx.yMax = kHeight - 1;
    pcx.bytesPerLine = kWidth;
    pcx.planes = trueColour ? 3 : 1;
    Bytes line(kWidth);
    for (int y = 0; y < kHeight; ++y) {
        const std::uint8_t* row = &Scene()[std::size_t{kWidth} * 3 * static_cast<std::size_t>(y)];
        for (int plane = 0; plane < pcx.planes; ++plane) {
            for (int x = 0; x < kWidth; ++x) {
                const std::uint8_t* p = row + x * 3;
                line[static_cast<std::size_t>(x)] = trueColour ? p[plane] : platform::PaletteIndex332(p[0], p[1], p[2]);
            }
            picture_files::Append(pcx.scanData, picture_files::PcxEncodeLine(line.data(), line.size()));
        }
    }
    if (!trueColour) {
        for (int i = 0; i < 256; ++i) {
            const platform::COLORREF c = platform::ColorOfIndex332(static_cast<std::uint8_t>(i));
            pcx.palette.insert(pcx.palette.end(), {platform::RedOf(c), platform::GreenOf(c), platform::BlueOf(c)});
        }
    }
    return picture_files::PcxFile(pcx);
}

const Bytes& JpegFile(bool progressive) {
    static const Bytes baseline = picture_files::JpegFile(Scene().data(), kWidth, kHeight, 3, {});
    static const Bytes multiScan = [] {
        picture_files::JpegOptions options;
        options.progressive = true;
        return picture_files::JpegFile(Scene().data(), kWidth, kHeight, 3, options);
    }();
    return progressive ? multiScan : baseline;
}

// The scene as an 8-bit RGB PNG, written by libspng at its default compression.
const Bytes& PngFile() {
    static const Bytes file = [] {
        picture_files::Png png;
        png.width = kWidth;
        png.height = kHeight;
        png.samples = Scene();
        return picture_files::PngFile(png);
    }();
    return file;
}

platform::DisplayDevice& Device() {
    static std::shared_ptr<platform::DisplayDevice> device = [] {
        auto& host = platform::headless::Controls();
        host.Reset();
        host.SetDesktop(1024, 768, 32);
        std::shared_ptr<platform::DisplayDevice> d;
        platform::DirectDrawCreate(nullptr, &d);
        return d;
    }();
    return *device;
}

void CountPixels(benchmark::State& state, const Bytes& file) {
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
    state.counters["file_bytes"] = static_cast<double>(file.size());
}

void Ours(benchmark::State& state, const Bytes& file) {
    media::Image image;
    for (auto _ : state) {
        media::SurfacePtr surface = image.LoadMemory(&Device(), file.size(), file.data(), media::MEMORY_SYSTEM);
        if (!surface || surface->Width() != kWidth || surface->BytesPerPixel() != 4) {
            state.SkipWithError("the loader gave no 640x480 32-bit surface");
            break;
        }
        benchmark::DoNotOptimize(surface->Row(0));
    }
    CountPixels(state, file);
}

void Stb(benchmark::State& state, const Bytes& file) {
    for (auto _ : state) {
        int w = 0, h = 0, n = 0;
        stbi_uc* pixels = stbi_load_from_memory(file.data(), static_cast<int>(file.size()), &w, &h, &n, 4);
        if (!pixels || w != kWidth) {
            state.SkipWithError("stb_image could not decode the file");
            break;
        }
        benchmark::DoNotOptimize(pixels);
        stbi_image_free(pixels);
    }
    CountPixels(state, file);
}

// libjpeg-turbo alone with our settings: accurate integer DCT, fancy upsampling, blue, green,
// red and a fourth byte per pixel, into a buffer allocated per picture as ours is.
void BareLibjpeg(benchmark::State& state, const Bytes& file) {
    for (auto _ : state) {
        jpeg_decompress_struct info{};
        jpeg_error_mgr errors{};
        info.err = jpeg_std_error(&errors);
        jpeg_create_decompress(&info);
        jpeg_mem_src(&info, file.data(), file.size());
        jpeg_read_header(&info, TRUE);
        info.out_color_space = JCS_EXT_BGRX;
        info.dct_method = JDCT_ISLOW;
        info.do_fancy_upsampling = TRUE;
        jpeg_start_decompress(&info);
        const std::size_t rowLength = std::size_t{info.output_width} * 4;
        std::unique_ptr<std::uint8_t[]> pixels(new std::uint8_t[rowLength * info.output_height]);
        while (info.output_scanline < info.output_height) {
            JSAMPROW row = pixels.get() + info.output_scanline * rowLength;
            jpeg_read_scanlines(&info, &row, 1);
        }
        jpeg_finish_decompress(&info);
        jpeg_destroy_decompress(&info);
        benchmark::DoNotOptimize(pixels.get());
    }
    CountPixels(state, file);
}

// libspng alone: the whole picture as red, green, blue, alpha bytes into a buffer allocated per
// picture, as stb_image gives it.
void BareLibspng(benchmark::State& state, const Bytes& file) {
    for (auto _ : state) {
        spng_ctx* ctx = spng_ctx_new(0);
        spng_set_png_buffer(ctx, file.data(), file.size());
        std::size_t size = 0;
        spng_decoded_image_size(ctx, SPNG_FMT_RGBA8, &size);
        std::unique_ptr<std::uint8_t[]> pixels(new std::uint8_t[size]);
        const int status = spng_decode_image(ctx, pixels.get(), size, SPNG_FMT_RGBA8, 0);
        spng_ctx_free(ctx);
        if (status != 0) {
            state.SkipWithError("libspng could not decode the file");
            break;
        }
        benchmark::DoNotOptimize(pixels.get());
    }
    CountPixels(state, file);
}

const Bytes& PcxIndexed() {
    static const Bytes file = MakePcx(false);
    return file;
}
const Bytes& PcxTrueColour() {
    static const Bytes file = MakePcx(true);
    return file;
}

void RegisterAll() {
    benchmark::RegisterBenchmark("Ours/TGA/RLE/640x480", [](benchmark::State& s) { Ours(s, TgaRleFile()); });
    benchmark::RegisterBenchmark("Ref/stb_image/TGA/RLE/640x480", [](benchmark::State& s) { Stb(s, TgaRleFile()); });
    benchmark::RegisterBenchmark("Ours/PSD/PackBits/640x480", [](benchmark::State& s) { Ours(s, PsdPackBitsFile()); });
    benchmark::RegisterBenchmark("Ref/stb_image/PSD/PackBits/640x480", [](benchmark::State& s) { Stb(s, PsdPackBitsFile()); });
    benchmark::RegisterBenchmark("Ours/PCX/256colour/640x480", [](benchmark::State& s) { Ours(s, PcxIndexed()); });
    benchmark::RegisterBenchmark("Ours/PCX/3plane/640x480", [](benchmark::State& s) { Ours(s, PcxTrueColour()); });
    benchmark::RegisterBenchmark("Ours/JPEG/baseline/640x480", [](benchmark::State& s) { Ours(s, JpegFile(false)); });
    benchmark::RegisterBenchmark("Ref/libjpeg-turbo/JPEG/baseline/640x480", [](benchmark::State& s) { BareLibjpeg(s, JpegFile(false)); });
    benchmark::RegisterBenchmark("Ours/JPEG/progressive/640x480", [](benchmark::State& s) { Ours(s, JpegFile(true)); });
    benchmark::RegisterBenchmark("Ref/libjpeg-turbo/JPEG/progressive/640x480", [](benchmark::State& s) { BareLibjpeg(s, JpegFile(true)); });
    benchmark::RegisterBenchmark("Ours/PNG/RGB/640x480", [](benchmark::State& s) { Ours(s, PngFile()); });
    benchmark::RegisterBenchmark("Ref/stb_image/PNG/RGB/640x480", [](benchmark::State& s) { Stb(s, PngFile()); });
    benchmark::RegisterBenchmark("Ref/libspng/PNG/RGB/640x480", [](benchmark::State& s) { BareLibspng(s, PngFile()); });
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RegisterAll();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
