#include "media/image/jpeg_decoder.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <jerror.h>
#include <jpeglib.h>

#include "media/image/byte_reader.h"

namespace media {

namespace {

// libjpeg reports errors by calling error_exit, which must not return; the default one ends the
// process. Ours jumps back into the decoder, which gives up on the picture. Warnings about
// corrupt or missing data jump too: a damaged picture gives no surface rather than a half-grey
// one. Warnings about values the library merely does not know (a newer JFIF revision, an
// unknown Adobe transform) are harmless and let the picture load.
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
    if (code == JWRN_JFIF_MAJOR || code == JWRN_ADOBE_XFORM) return;
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

// The decompressor with its error manager; destroyed on every path, including after a jump.
struct JpegSession {
    JpegErrorManager errors{};
    jpeg_progress_mgr progress{};
    jpeg_decompress_struct info{};
    bool created = false;
    ~JpegSession() {
        if (created) jpeg_destroy_decompress(&info);
    }
};

}  // namespace

JpegDecoder::JpegDecoder() = default;
JpegDecoder::~JpegDecoder() = default;

std::int32_t JpegDecoder::CanRead(const std::uint8_t* head, std::size_t headCount, const std::uint8_t*, std::size_t) {
    return headCount >= 10 && head[0] == 0xFF && head[2] == 0xFF && std::memcmp(head + 6, "JFIF", 4) == 0 ? 1 : 0;
}

bool JpegDecoder::DecodePixels(const std::uint8_t* data, std::size_t size) {
    JpegSession session;
    jpeg_decompress_struct& info = session.info;
    info.err = jpeg_std_error(&session.errors.base);
    session.errors.base.error_exit = FailJpeg;
    session.errors.base.emit_message = JpegMessage;
    session.errors.base.output_message = SilentOutput;
    // Everything the library does from here on may jump back to this point; nothing below owns
    // memory of its own (the session's destructor frees the library's).
    if (setjmp(session.errors.jump)) return false;
    jpeg_create_decompress(&info);
    session.created = true;
    session.progress.progress_monitor = LimitScans;
    info.progress = &session.progress;
    jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) return false;
    // One or three components (grey or YCbCr/RGB) become blue, green, red and a fourth byte;
    // four-component (CMYK) pictures are not offered by the library in RGB and are refused.
    if (info.num_components != 1 && info.num_components != 3) return false;
    if (!PictureSizeAllowed(info.image_width, info.image_height)) return false;
    info.out_color_space = JCS_EXT_BGRX;
    info.dct_method = JDCT_ISLOW;
    info.do_fancy_upsampling = TRUE;
    if (!AllocPixels(static_cast<std::int32_t>(info.image_width), static_cast<std::int32_t>(info.image_height), 32)) return false;
    jpeg_start_decompress(&info);
    if (info.output_width != info.image_width || info.output_height != info.image_height || info.output_components != 4) return false;
    const std::size_t rowLength = RowLength();
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = pixels_.get() + info.output_scanline * rowLength;
        if (jpeg_read_scanlines(&info, &row, 1) != 1) return false;
    }
    jpeg_finish_decompress(&info);
    return true;
}

SurfacePtr JpegDecoder::Decode(platform::DisplayDevice* device, std::size_t size, const std::uint8_t* data, std::int32_t placement) {
    if (!data || size == 0 || !DecodePixels(data, size)) {
        FreeBuffers();
        return nullptr;
    }
    topDown_ = 1;
    if (!CreateDDSurface(device, placement)) {
        FreeBuffers();
        return nullptr;
    }
    BuildBitmapInfo();
    return TransferToSurface();
}

}  // namespace media
