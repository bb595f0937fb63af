#include "platform/audio/vorbis_decoder.h"

#include <algorithm>
#include <climits>

#include "platform/audio/ogg_pages.h"
#include "platform/audio/sound_buffer.h"

#define STB_VORBIS_HEADER_ONLY
#include <stb/stb_vorbis.h>

namespace platform {

namespace {

// stb_vorbis keeps offsets in an int: streams past 2 GiB are refused before it sees them.
constexpr std::uint64_t kMaxStreamBytes = INT_MAX;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

std::string VorbisErrorText(int error) {
    switch (error) {
        case VORBIS_outofmem: return "out of memory";
        case VORBIS_feature_not_supported: return "unsupported: floor type 0 (Vorbis files from before 2004)";
        case VORBIS_too_many_channels: return "unsupported: more than 16 channels";
        case VORBIS_file_open_failure: return "the file could not be opened";
        case VORBIS_unexpected_eof: return "truncated: the stream ends inside a packet";
        case VORBIS_invalid_setup: return "corrupt: the Vorbis set-up header is invalid";
        case VORBIS_invalid_stream: return "corrupt: invalid Vorbis audio data";
        case VORBIS_missing_capture_pattern:
        case VORBIS_invalid_stream_structure_version:
        case VORBIS_continued_packet_flag_invalid: return "corrupt: the Ogg pages do not hold together";
        case VORBIS_invalid_first_page: return "not Vorbis: the stream does not start with a Vorbis header";
        case VORBIS_incorrect_stream_serial_number: return "corrupt: pages of another stream inside the stream";
        case VORBIS_bad_packet_type: return "not Vorbis: the Ogg stream holds another kind of data";
        case VORBIS_cant_find_last_page:
        case VORBIS_seek_failed:
        case VORBIS_seek_invalid: return "corrupt: the stream's length cannot be found";
        case VORBIS_ogg_skeleton_not_supported: return "unsupported: Ogg Skeleton streams";
        default: return "corrupt: stb_vorbis error " + std::to_string(error);
    }
}

std::unique_ptr<VorbisDecoder> VorbisDecoder::OpenMemory(const std::uint8_t* bytes, std::size_t size, std::string* why) {
    if (!LooksLikeOgg(bytes, size)) {
        *why = "not an Ogg file";
        return nullptr;
    }
    if (size > kMaxStreamBytes) {
        *why = "too large: Ogg Vorbis files up to 2 GiB are played";
        return nullptr;
    }
    std::uint64_t samples = 0;
    if (std::string pages = CheckOggPages(bytes, size, &samples); !pages.empty()) {
        *why = std::move(pages);
        return nullptr;
    }
    int error = 0;
    stb_vorbis* vorbis = stb_vorbis_open_memory(bytes, static_cast<int>(size), &error, nullptr);
    std::unique_ptr<VorbisDecoder> decoder(new VorbisDecoder);
    if (!decoder->Start(vorbis, error, samples, why)) return nullptr;
    return decoder;
}

std::unique_ptr<VorbisDecoder> VorbisDecoder::OpenFile(const char* path, std::string* why) {
    std::unique_ptr<std::FILE, FileCloser> file(path ? std::fopen(path, "rb") : nullptr);
    if (!file || std::fseek(file.get(), 0, SEEK_END) != 0) {
        *why = "the file could not be opened";
        return nullptr;
    }
    const long size = std::ftell(file.get());
    std::uint8_t magic[4] = {};
    std::rewind(file.get());
    if (size < 0 || std::fread(magic, 1, 4, file.get()) != 4 || !LooksLikeOgg(magic, 4)) {
        *why = "not an Ogg file";
        return nullptr;
    }
    if (static_cast<std::uint64_t>(size) > kMaxStreamBytes) {
        *why = "too large: Ogg Vorbis files up to 2 GiB are played";
        return nullptr;
    }
    std::FILE* f = file.get();
    std::uint64_t samples = 0;
    const std::string pages = CheckOggPages(
        [f](std::uint64_t offset, std::uint8_t* out, std::size_t wanted) -> std::size_t {
            if (std::fseek(f, static_cast<long>(offset), SEEK_SET) != 0) return 0;
            return std::fread(out, 1, wanted, f);
        },
        static_cast<std::uint64_t>(size), &samples);
    if (!pages.empty()) {
        *why = pages;
        return nullptr;
    }
    std::rewind(f);
    int error = 0;
    // stb_vorbis owns the file from here and closes it with the decoder.
    stb_vorbis* vorbis = stb_vorbis_open_file(file.release(), 1, &error, nullptr);
    std::unique_ptr<VorbisDecoder> decoder(new VorbisDecoder);
    if (!decoder->Start(vorbis, error, samples, why)) return nullptr;
    return decoder;
}

// The length is the last page's granule position, which the page walk has read: stb_vorbis would
// look for the last page again.
bool VorbisDecoder::Start(stb_vorbis* vorbis, int error, std::uint64_t samples, std::string* why) {
    if (!vorbis) {
        *why = VorbisErrorText(error);
        return false;
    }
    vorbis_ = vorbis;
    const stb_vorbis_info info = stb_vorbis_get_info(vorbis);
    if (info.sample_rate < kMinSampleRate || info.sample_rate > kMaxSampleRate) {
        *why = "unsupported: a rate of " + std::to_string(info.sample_rate) + " frames a second";
        return false;
    }
    rate_ = info.sample_rate;
    channels_ = info.channels == 1 ? 1 : 2;
    // stb_vorbis counts samples in 32 bits, and a granule of all ones marks a page with no end.
    if (samples == 0 || samples >= 0xFFFFFFFFu) {
        *why = samples == 0 ? "empty: the stream has no samples" : "unsupported: a stream of more than 2^32 samples, or corrupt";
        return false;
    }
    frames_ = samples;
    return true;
}

VorbisDecoder::~VorbisDecoder() {
    if (vorbis_) stb_vorbis_close(vorbis_);
}

std::size_t VorbisDecoder::Read(std::int16_t* out, std::size_t frames) {
    if (at_ >= frames_) return 0;
    frames = static_cast<std::size_t>(std::min<std::uint64_t>(frames, frames_ - at_));
    std::size_t done = 0;
    while (done < frames) {
        const std::size_t want = std::min<std::size_t>(frames - done, 1 << 16);
        const int got = stb_vorbis_get_samples_short_interleaved(vorbis_, channels_, out + done * channels_,
                                                                 static_cast<int>(want * channels_));
        if (got <= 0) break;
        done += static_cast<std::size_t>(got);
    }
    at_ += done;
    if (done < frames && error_.empty()) {
        const int error = stb_vorbis_get_error(vorbis_);
        error_ = error != VORBIS__no_error ? VorbisErrorText(error) : "truncated: the stream ends before its last page says";
    }
    return done;
}

bool VorbisDecoder::Seek(std::uint64_t frame) {
    frame = std::min(frame, frames_);
    error_.clear();
    if (frame == frames_) {
        at_ = frames_;
        return true;
    }
    if (!stb_vorbis_seek(vorbis_, static_cast<unsigned>(frame))) {
        error_ = VorbisErrorText(stb_vorbis_get_error(vorbis_));
        return false;
    }
    at_ = frame;
    return true;
}

std::shared_ptr<PcmClip> DecodeVorbis(const std::uint8_t* bytes, std::size_t size, std::uint64_t maxBytes, std::string* why) {
    std::unique_ptr<VorbisDecoder> decoder = VorbisDecoder::OpenMemory(bytes, size, why);
    if (!decoder) return nullptr;
    const std::uint64_t needed = decoder->Frames() * decoder->Channels() * 2;
    if (needed > maxBytes) {
        *why = "too large: it decodes to " + std::to_string(needed) + " bytes of samples, more than the " + std::to_string(maxBytes) +
               " a sound holds";
        return nullptr;
    }
    auto clip = std::make_shared<PcmClip>();
    clip->rate = decoder->Rate();
    clip->channels = decoder->Channels();
    // Grown piece by piece rather than sized from the last page's count, which a damaged file
    // can inflate: memory follows the samples really decoded.
    constexpr std::size_t kPiece = 1 << 16;
    for (std::uint64_t left = decoder->Frames(); left > 0;) {
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(left, kPiece));
        const std::size_t at = clip->samples.size();
        clip->samples.resize(at + want * clip->channels);
        const std::size_t got = decoder->Read(clip->samples.data() + at, want);
        if (got < want) {
            *why = decoder->Error();
            return nullptr;
        }
        left -= got;
    }
    return clip;
}

}  // namespace platform
