// Fuzz target: arbitrary bytes read as a frame sheet's animation records. Whatever is read must
// resolve at any clock without leaving an animation's frames, and must survive a write and a
// second read unchanged.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "media/sprite/frame_sheet.h"

namespace {

using File = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

// A stream holding the bytes (a temporary file, since an empty memory stream is refused).
File StreamOf(const std::uint8_t* data, std::size_t size) {
    File f(std::tmpfile(), &std::fclose);
    if (f && size > 0) std::fwrite(data, 1, size, f.get());
    if (f) std::rewind(f.get());
    return f;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    File in = StreamOf(data, size);
    if (!in) return 0;
    media::FrameSheet sheet;
    sheet.ReadAnimations(in.get());
    for (int tick = 0; tick < 64; ++tick) {
        for (std::int32_t n = 0; n < sheet.AnimationCount() && n < 8; ++n) {
            const media::FrameAnimation* a = sheet.GetAnimation(n);
            const std::int32_t frame = sheet.ResolveFrame(-n - 1);
            bool listed = a->frames.empty() ? frame == 0 : false;
            for (const std::int32_t f : a->frames) listed = listed || f == frame;
            if (!listed) std::abort();
        }
        sheet.AdvanceClock();
    }
    File out(std::tmpfile(), &std::fclose);
    if (!out || sheet.WriteAnimations(out.get()) != 1) return 0;
    std::rewind(out.get());
    media::FrameSheet again;
    if (again.ReadAnimations(out.get()) != 1 || again.AnimationCount() != sheet.AnimationCount()) std::abort();
    for (std::int32_t n = 0; n < sheet.AnimationCount(); ++n) {
        const media::FrameAnimation *a = sheet.GetAnimation(n), *b = again.GetAnimation(n);
        if (a->delay != b->delay || a->pause != b->pause || a->spare != b->spare || a->pingPong != b->pingPong || a->frames != b->frames)
            std::abort();
    }
    return 0;
}
