#include "media/sprite/frame_sheet.h"

#include <array>
#include <new>

#include "media/blit/blit_kind.h"

namespace media {

namespace {

// The fixed weight of the sheet's own alpha-blend kinds 11 and 111.
constexpr std::uint16_t kSheetBlendWeight = 25;
constexpr std::int32_t BLIT_OPAQUE_SHEET_BLEND = 11;
constexpr std::int32_t BLIT_KEYED_SHEET_BLEND = 111;

constexpr std::size_t kRecordBytes = 24;

std::int32_t Get32(const std::uint8_t* p) {
    return static_cast<std::int32_t>(std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) |
                                     (std::uint32_t{p[3]} << 24));
}

void Put32(std::uint8_t* p, std::int32_t value) {
    const auto v = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

bool WriteAll(std::FILE* file, const void* data, std::size_t bytes) { return bytes == 0 || std::fwrite(data, 1, bytes, file) == bytes; }

}  // namespace

std::int32_t FrameSheet::LoadFrames(Screen* screen, const char* name, std::int32_t frameWidth, std::int32_t frameHeight,
                                    std::int32_t frameCount, std::int32_t placement) {
    if (!name) return 0;
    // Sizes that cannot cut a picture are refused before it is loaded.
    if (frameWidth < 1 || frameHeight < 1 || frameCount < 0 || frameCount > kMaxCount) return 0;
    if (CreateFromFile(screen, name, placement) < 0) return 0;
    return CutIntoFrames(frameWidth, frameHeight, frameCount);
}

std::int32_t FrameSheet::CutIntoFrames(std::int32_t frameWidth, std::int32_t frameHeight, std::int32_t frameCount) {
    if (frameWidth < 1 || frameHeight < 1 || frameCount < 0 || frameCount > kMaxCount) return 0;
    const std::int32_t width = Width(), height = Height();
    const std::int32_t perRow = width / frameWidth, perColumn = height / frameHeight;
    const std::int64_t count = frameCount != 0 ? frameCount : std::int64_t{perRow} * perColumn;
    if (count > kMaxCount) return 0;
    std::vector<platform::Rect> rects;
    rects.reserve(static_cast<std::size_t>(count));
    // A row ends when the next frame would pass the picture's right edge (compared unsigned, as
    // the frame table always was: a frame wider than the picture never starts a new row).
    const auto lastLeft = static_cast<std::uint32_t>(width - frameWidth);
    std::int64_t left = 0, top = 0;
    for (std::int64_t i = 0; i < count; ++i) {
        if (static_cast<std::uint64_t>(left) > lastLeft) {
            left = 0;
            top += frameHeight;
        }
        const std::int64_t right = left + frameWidth, bottom = top + frameHeight;
        if (right > INT32_MAX || bottom > INT32_MAX) return 0;
        rects.push_back({static_cast<std::int32_t>(left), static_cast<std::int32_t>(top), static_cast<std::int32_t>(right),
                         static_cast<std::int32_t>(bottom)});
        left = right;
    }
    frameWidth_ = frameWidth;
    frameHeight_ = frameHeight;
    framesPerRow_ = perRow;
    framesPerColumn_ = perColumn;
    frameRects_ = std::move(rects);
    return 1;
}

std::int32_t FrameSheet::AddAnimation(std::int32_t delay, std::int32_t pause, std::int32_t spare, std::int32_t pingPong,
                                      const std::int32_t* list, std::int32_t length) {
    if (length < 0 || length > kMaxCount || (!list && length > 0) || AnimationCount() >= kMaxCount) return 0;
    FrameAnimation record{delay, pause, spare, pingPong, std::vector<std::int32_t>(list, list + length)};
    animations_.push_back(std::move(record));
    return AnimationCount();
}

std::int32_t FrameSheet::AddAnimationRange(std::int32_t delay, std::int32_t pause, std::int32_t spare, std::int32_t pingPong,
                                           std::int32_t first, std::int32_t length) {
    if (length < 0 || length > kMaxCount || std::int64_t{first} + length - 1 > INT32_MAX) return 0;
    std::vector<std::int32_t> list(static_cast<std::size_t>(length));
    for (std::int32_t i = 0; i < length; ++i) list[static_cast<std::size_t>(i)] = first + i;
    return AddAnimation(delay, pause, spare, pingPong, list.data(), length);
}

std::int32_t FrameSheet::InsertAnimationFrame(std::int32_t animation, std::int32_t position, std::int32_t frame) {
    if (animation < 0 || animation >= AnimationCount()) return 0;
    std::vector<std::int32_t>& frames = animations_[static_cast<std::size_t>(animation)].frames;
    if (position < 0 || position > static_cast<std::int32_t>(frames.size()) || frames.size() >= kMaxCount) return 0;
    frames.insert(frames.begin() + position, frame);
    return 1;
}

std::int32_t FrameSheet::RemoveAnimation(std::int32_t animation) {
    if (animation < 0 || animation >= AnimationCount()) return 0;
    animations_.erase(animations_.begin() + animation);
    return 1;
}

std::int32_t FrameSheet::RemoveAnimationFrame(std::int32_t animation, std::int32_t position) {
    if (animation < 0 || animation >= AnimationCount()) return 0;
    std::vector<std::int32_t>& frames = animations_[static_cast<std::size_t>(animation)].frames;
    // An animation keeps at least one frame.
    if (position < 0 || position >= static_cast<std::int32_t>(frames.size()) || frames.size() == 1) return 0;
    frames.erase(frames.begin() + position);
    return 1;
}

std::int32_t FrameSheet::ResolveFrame(std::int32_t code) const {
    if (code >= 0) return code;
    const std::int64_t n = -std::int64_t{code} - 1;
    if (n >= AnimationCount()) return 0;
    const FrameAnimation& a = animations_[static_cast<std::size_t>(n)];
    const std::int64_t length = a.Length();
    if (length == 0) return 0;
    const std::int32_t first = a.frames[0];
    // A delay below 1, a cycle of no steps or a negative step has no frame of its own: the
    // animation shows its first frame.
    if (a.delay < 1 || clock_ < 0) return first;
    std::int64_t step = clock_ / a.delay;
    if (a.pingPong == 0) {
        const std::int64_t cycle = length + a.pause;
        if (cycle < 1) return first;
        step %= cycle;
        return step < length ? a.frames[static_cast<std::size_t>(step)] : first;
    }
    const std::int64_t cycle = a.pause + 2 * length - 2;
    if (cycle < 1) return first;
    step %= cycle;
    if (step < length) return a.frames[static_cast<std::size_t>(step)];
    step = 2 * length - step - 2;
    return step < 0 ? first : a.frames[static_cast<std::size_t>(step)];
}

void FrameSheet::DrawFrame(std::int32_t x, std::int32_t y, PixelSurface* dest, std::int32_t kind, std::int32_t code) {
    // Frame 0 is never drawn here; negative codes pass on to the animations, and one naming no
    // animation, or an animation without frames, draws nothing.
    if (code == 0 || code >= FrameCount()) return;
    if (code < 0) {
        const FrameAnimation* a = GetAnimation(static_cast<std::int32_t>(-std::int64_t{code} - 1));
        if (!a || a->frames.empty()) return;
    }
    const std::int32_t index = ResolveFrame(code);
    if (index < 0 || index >= FrameCount()) return;
    const platform::Rect r = FrameRect(index);
    switch (kind) {
        case BLIT_OPAQUE: BlitOpaque(dest, x, y, &r); break;
        case BLIT_OPAQUE_HALFBLEND: BlitOpaqueHalfBlend(dest, x, y, &r); break;
        case BLIT_OPAQUE_SHEET_BLEND: BlitOpaqueBlend(dest, x, y, &r, kSheetBlendWeight); break;
        case BLIT_KEYED: BlitKeyed(dest, x, y, &r); break;
        case BLIT_KEYED_HALFBLEND: BlitKeyedHalfBlend(dest, x, y, &r); break;
        case BLIT_KEYED_SHEET_BLEND: BlitKeyedBlend(dest, x, y, &r, kSheetBlendWeight); break;
        default: break;
    }
}

void FrameSheet::DrawFirstFrame(std::int32_t x, std::int32_t y, PixelSurface* dest, std::int32_t kind, std::int32_t code) {
    if (code == 0) return;
    if (code < 0) {
        const FrameAnimation* a = GetAnimation(static_cast<std::int32_t>(-std::int64_t{code} - 1));
        // An animation without frames has no first frame to draw.
        if (!a || a->frames.empty()) return;
        code = a->frames[0];
    }
    DrawFrame(x, y, dest, kind, code);
}

void FrameSheet::AdvanceClock() {
    // Wraps like the 32-bit counter it is, without overflowing a signed value.
    clock_ = static_cast<std::int32_t>(static_cast<std::uint32_t>(clock_) + 1u);
}

const FrameAnimation* FrameSheet::GetAnimation(std::int32_t animation) const {
    if (animation < 0 || animation >= AnimationCount()) return nullptr;
    return &animations_[static_cast<std::size_t>(animation)];
}

std::int32_t FrameSheet::WriteAnimations(std::FILE* file) const {
    if (!file) return 0;
    std::array<std::uint8_t, kRecordBytes> record{};
    Put32(record.data(), AnimationCount());
    if (!WriteAll(file, record.data(), 4)) return 0;
    std::vector<std::uint8_t> entries;
    for (const FrameAnimation& a : animations_) {
        Put32(record.data(), a.delay);
        Put32(record.data() + 4, a.pause);
        Put32(record.data() + 8, a.spare);
        Put32(record.data() + 12, a.pingPong);
        Put32(record.data() + 16, 0);  // where the frame list's address was: 0, so files match on every build
        Put32(record.data() + 20, a.Length());
        entries.resize(a.frames.size() * 4);
        for (std::size_t i = 0; i < a.frames.size(); ++i) Put32(entries.data() + 4 * i, a.frames[i]);
        if (!WriteAll(file, record.data(), record.size()) || !WriteAll(file, entries.data(), entries.size())) return 0;
    }
    return 1;
}

std::int32_t FrameSheet::ReadAnimations(std::FILE* file) {
    animations_.clear();
    if (!file || std::feof(file)) return file ? 1 : 0;
    std::array<std::uint8_t, kRecordBytes> record{};
    const std::size_t got = std::fread(record.data(), 1, 4, file);
    // No count bytes left: a stream at its end, which holds no animations.
    if (got == 0) return 1;
    if (got < 4) return 0;
    const std::int32_t count = Get32(record.data());
    if (count < 0 || count > kMaxCount) return 0;
    std::vector<std::uint8_t> entries;
    for (std::int32_t n = 0; n < count; ++n) {
        // A record cut short ends the reading; the records read whole are kept.
        if (std::fread(record.data(), 1, record.size(), file) != record.size()) return 0;
        const std::int32_t length = Get32(record.data() + 20);
        if (length < 0 || length > kMaxCount) return 0;
        entries.resize(static_cast<std::size_t>(length) * 4);
        if (length > 0 && std::fread(entries.data(), 1, entries.size(), file) != entries.size()) return 0;
        FrameAnimation a{Get32(record.data()), Get32(record.data() + 4), Get32(record.data() + 8), Get32(record.data() + 12), {}};
        a.frames.resize(static_cast<std::size_t>(length));
        for (std::int32_t i = 0; i < length; ++i) a.frames[static_cast<std::size_t>(i)] = Get32(entries.data() + 4 * i);
        animations_.push_back(std::move(a));
    }
    return 1;
}

const OpacityMask& FrameSheet::Opacity() {
    const std::uint64_t version = Surface()->ContentVersion();
    if (!opacity_.ValidFor(version, ColorKey())) opacity_.Build(View(), ColorKey(), version);
    return opacity_;
}

}  // namespace media
