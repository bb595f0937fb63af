#include "media/image/jpeg_decoder.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

#include <jerror.h>
#include <jpeglib.h>

#include "platform/pixels/pixel_access.h"
#include "platform/video/display_surface.h"

namespace media {

namespace {

// libjpeg reports errors by calling error_exit, which must not return; the default one ends the
// process. Ours jumps back into the decoder, which gives up on the picture. Warnings about
// corrupt or missing data jump too: a damaged picture gives no surface rather than a half-grey
// one. Warnings about values the library merely does not know (a newer JFIF revision, an
// unknown Adobe transform) are harmless and let the picture load, and so are bytes that are not
// a marker between two segments (cameras and editors write them; the library skips them and the
// pixels are whole).
struct JpegErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

[[noreturn]] void FailJpeg(j_common_ptr info) {
    auto* manager = reinterpret_cast<JpegErrorManager*>(info->err);
    std::longjmp(manager->jump, 1);
}

void JpegMessage(j_common_ptr info, int level) {
    if (level >= 0) return;  // trace messages
    const int code = info->err->msg_code;
    if (code == JWRN_JFIF_MAJOR || code == JWRN_ADOBE_XFORM || code == JWRN_EXTRANEOUS_DATA) return;
    FailJpeg(info);
}

void SilentOutput(j_common_ptr) {}

// A progressive picture has a handful of scans; a file with hundreds of tiny ones only makes the
// decoder spin over the whole coefficient buffer again and again. Past this many it is refused.
constexpr int kMaxScans = 500;

void LimitScans(j_common_ptr info) {
    auto* decompress = reinterpret_cast<j_decompress_ptr>(info);
    if (decompress->input_scan_number > kMaxScans) FailJpeg(info);
}

// The library's 32-bit layouts fill the fourth byte with 0xFF; the layer's 32-bit pixels carry 0
// there (the collision test within one sheet compares whole words). Copies a decoded row with the
// fourth bytes cleared, written plainly for the vectoriser.
MEDIA_PIXEL_LOOP void CopyClearingFourthBytes(const std::uint8_t* __restrict in, std::uint8_t* __restrict out, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        std::uint32_t pixel;
        std::memcpy(&pixel, in + i * 4, 4);
        pixel &= 0x00FFFFFF;  // little-endian: the fourth byte is the top one
        std::memcpy(out + i * 4, &pixel, 4);
    }
}

}  // namespace

// The decompressor, its error manager and the surface lock, released on every path, including
// after the library has jumped back.
struct JpegDecoder::Session {
    JpegErrorManager errors{};
    jpeg_progress_mgr progress{};
    jpeg_decompress_struct info{};
    bool created = false;
    platform::DisplaySurface* locked = nullptr;
    std::uint8_t* rows = nullptr;  // first output row: the surface's or the pixel buffer's
    std::ptrdiff_t pitch = 0;
    // For 32-bit surfaces: one row decoded here, then copied with its fourth bytes cleared.
    // Deliberately not 16-byte aligned: on aligned rows the library's SIMD colour conversion uses
    // stores that bypass the cache, and reading such a row back costs more than the decoding.
    std::vector<std::uint8_t> scratch;
    std::uint8_t* scratchRow = nullptr;
    ~Session() {
        if (locked) locked->Unlock(nullptr);
        if (created) jpeg_destroy_decompress(&info);
    }
};

JpegDecoder::JpegDecoder() = default;
JpegDecoder::~JpegDecoder() = default;

std::int32_t JpegDecoder::CanRead(const std::uint8_t* head, std::size_t headCount, const std::uint8_t*, std::size_t) {
    return headCount >= 10 && head[0] == 0xFF && head[2] == 0xFF && std::memcmp(head + 6, "JFIF", 4) == 0 ? 1 : 0;
}

// Where the rows go: straight into a locked 24- or 32-bit RGB surface, or into a 32-bit pixel
// buffer that the transfer converts into any other format.
bool JpegDecoder::ChooseOutput(Session& s) {
    platform::SurfaceDesc desc;
    desc.size = sizeof desc;
    const platform::PixelFormatDesc& format = surface_->Format();
    const bool direct = IsRgbFormat(format, 32) || IsRgbFormat(format, 24);
    if (direct && platform::Succeeded(surface_->Lock(nullptr, &desc, platform::DDLOCK_WAIT, nullptr))) {
        s.locked = surface_.get();
        s.rows = static_cast<std::uint8_t*>(desc.surface);
        s.pitch = desc.pitch;
        s.info.out_color_space = format.bitCount == 32 ? JCS_EXT_BGRX : JCS_EXT_BGR;
        if (format.bitCount == 32) {
            s.scratch.resize(static_cast<std::size_t>(width_) * 4 + 64);
            s.scratchRow = s.scratch.data() + (16 - reinterpret_cast<std::uintptr_t>(s.scratch.data()) % 16) + 4;
        }
        return true;
    }
    if (!AllocPixels(width_, height_, 32)) return false;
    s.rows = pixels_.get();
    s.pitch = static_cast<std::ptrdiff_t>(RowLength());
    s.info.out_color_space = JCS_EXT_BGRX;
    return true;
}

bool JpegDecoder::Render(Session& s, const std::uint8_t* data, std::size_t size, platform::DisplayDevice* device, std::int32_t placement) {
    jpeg_decompress_struct& info = s.info;
    info.err = jpeg_std_error(&s.errors.base);
    s.errors.base.error_exit = FailJpeg;
    s.errors.base.emit_message = JpegMessage;
    s.errors.base.output_message = SilentOutput;
    // From here on the library may jump back to this point at any call; everything it leaves
    // behind belongs to the session, which the caller destroys.
    if (setjmp(s.errors.jump)) return false;
    jpeg_create_decompress(&info);
    s.created = true;
    s.progress.progress_monitor = LimitScans;
    info.progress = &s.progress;
    jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) return false;
    // One or three components (grey, YCbCr or RGB); four-component (CMYK) pictures have no RGB
    // output in the library and are refused.
    if (info.num_components != 1 && info.num_components != 3) return false;
    if (!PictureSizeAllowed(info.image_width, info.image_height)) return false;
    width_ = static_cast<std::int32_t>(info.image_width);
    height_ = static_cast<std::int32_t>(info.image_height);
    bitCount_ = 32;
    topDown_ = 1;
    if (!CreateDDSurface(device, placement) || !ChooseOutput(s)) return false;
    info.dct_method = JDCT_ISLOW;
    info.do_fancy_upsampling = TRUE;
    jpeg_start_decompress(&info);
    if (info.output_width != info.image_width || info.output_height != info.image_height) return false;
    while (info.output_scanline < info.output_height) {
        std::uint8_t* out = s.rows + static_cast<std::ptrdiff_t>(info.output_scanline) * s.pitch;
        JSAMPROW row = s.scratchRow ? s.scratchRow : out;
        if (jpeg_read_scanlines(&info, &row, 1) != 1) return false;
        if (s.scratchRow) CopyClearingFourthBytes(s.scratchRow, out, info.output_width);
    }
    jpeg_finish_decompress(&info);
    return true;
}

SurfacePtr JpegDecoder::Decode(platform::DisplayDevice* device, std::size_t size, const std::uint8_t* data, std::int32_t placement) {
    return DecodeInSession<Session>(data && size > 0, [&](Session& session) { return Render(session, data, size, device, placement); });
}

}  // namespace media
