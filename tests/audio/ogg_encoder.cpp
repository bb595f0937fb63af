#include "tests/audio/ogg_encoder.h"

#include <vorbis/vorbisenc.h>

#include <cmath>
#include <numbers>

namespace audio_test {

namespace {

void AppendPage(std::vector<std::uint8_t>& file, const ogg_page& page) {
    file.insert(file.end(), page.header, page.header + page.header_len);
    file.insert(file.end(), page.body, page.body + page.body_len);
}

}  // namespace

std::vector<std::uint8_t> EncodeOgg(const std::vector<std::int16_t>& samples, int channels, int rate, float quality) {
    std::vector<std::uint8_t> file;
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, channels, rate, quality) != 0) {
        vorbis_info_clear(&info);
        return file;
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_dsp_state dsp;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block block;
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, 0x5EED);
    ogg_packet identification, comments, codebooks;
    vorbis_analysis_headerout(&dsp, &comment, &identification, &comments, &codebooks);
    ogg_stream_packetin(&stream, &identification);
    ogg_stream_packetin(&stream, &comments);
    ogg_stream_packetin(&stream, &codebooks);
    ogg_page page;
    while (ogg_stream_flush(&stream, &page)) AppendPage(file, page);

    const std::size_t frames = samples.size() / static_cast<std::size_t>(channels);
    constexpr std::size_t kPiece = 4096;
    bool ended = false;
    for (std::size_t at = 0; !ended;) {
        const std::size_t n = std::min(kPiece, frames - at);
        if (n == 0) {
            vorbis_analysis_wrote(&dsp, 0);  // the end of the stream
        } else {
            float** buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(n));
            for (std::size_t i = 0; i < n; ++i) {
                for (int c = 0; c < channels; ++c) buffer[c][i] = samples[(at + i) * static_cast<std::size_t>(channels) + static_cast<std::size_t>(c)] / 32768.0f;
            }
            vorbis_analysis_wrote(&dsp, static_cast<int>(n));
            at += n;
        }
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet)) {
                ogg_stream_packetin(&stream, &packet);
                while (ogg_stream_pageout(&stream, &page)) {
                    AppendPage(file, page);
                    if (ogg_page_eos(&page)) ended = true;
                }
            }
        }
    }
    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return file;
}

std::vector<std::uint8_t> SineOgg(double hz, double seconds, int rate, int channels, double amplitude) {
    const auto frames = static_cast<std::size_t>(seconds * rate);
    std::vector<std::int16_t> samples(frames * static_cast<std::size_t>(channels));
    for (std::size_t i = 0; i < frames; ++i) {
        for (int c = 0; c < channels; ++c) {
            const double f = c == 0 ? hz : hz * 1.5;
            samples[i * static_cast<std::size_t>(channels) + static_cast<std::size_t>(c)] =
                static_cast<std::int16_t>(std::lround(amplitude * std::sin(2 * std::numbers::pi * f * static_cast<double>(i) / rate)));
        }
    }
    return EncodeOgg(samples, channels, rate);
}

}  // namespace audio_test
