#include "media/app/picture.h"

#include <filesystem>
#include <string>

#include "media/app/png_writer.h"
#include "media/app/window.h"
#include "media/display/pixel_surface.h"
#include "media/display/screen.h"

namespace media {

Picture::Picture() = default;
Picture::~Picture() = default;
Picture::Picture(Picture&&) noexcept = default;
Picture& Picture::operator=(Picture&&) noexcept = default;

Status Picture::Load(const Window& window, const char* path) {
    if (!path) return {ErrorCode::InvalidArgument, "cannot load a picture: no file name (null)"};
    const std::string name = std::string("cannot load picture '") + path + "': ";
    if (!window.IsOpen()) return {ErrorCode::NotOpen, name + "the window is not open"};
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return {ErrorCode::NotFound, name + "no such file"};
    // Loaded into a fresh surface first, so that a failed load leaves the old picture.
    auto fresh = std::make_unique<PixelSurface>();
    const std::int32_t result = fresh->CreateFromFileWithAlpha(&window.GetScreen(), path, MEMORY_ANY);
    if (result != 1) {
        return {ErrorCode::BadData, name + (result == -1 && std::string(path).size() > 255
                                                ? "the path is longer than 255 characters"
                                                : "not a picture the layer reads (BMP, PCX, TGA, PSD, JPEG, PNG)")};
    }
    fresh->SetColorKeyFromTopLeft();
    surface_ = std::move(fresh);
    return {};
}

Status Picture::Create(const Window& window, std::int32_t width, std::int32_t height, Color fill) {
    if (!window.IsOpen()) return {ErrorCode::NotOpen, "cannot create a picture: the window is not open"};
    if (width <= 0 || height <= 0) return {ErrorCode::InvalidArgument, "cannot create a picture of no pixels"};
    auto fresh = std::make_unique<PixelSurface>();
    const std::int32_t result = fresh->CreateBlank(&window.GetScreen(), width, height);
    if (result != 1) return Status::FromPlatform("cannot create a picture of that size", result);
    surface_ = std::move(fresh);
    return Draw().Clear(fill);
}

Status Picture::KeyFromTopLeft() {
    if (!Loaded()) return {ErrorCode::NotOpen, "cannot set the colour key: the picture has no pixels"};
    const std::int32_t result = surface_->SetColorKeyFromTopLeft();
    return result == 0 ? Status{} : Status::FromPlatform("the colour key was refused", result);
}

PixelSurface& Picture::Surface() const {
    if (!surface_) surface_ = std::make_unique<PixelSurface>();
    return *surface_;
}

bool Picture::Loaded() const { return surface_ && surface_->Surface() != nullptr; }
Status Picture::Save(const char* path) const {
    if (!Loaded()) return {ErrorCode::NotOpen, "cannot save the picture: it has no pixels"};
    return WritePng(*surface_, Width(), Height(), surface_->AlphaMap(), path);
}

bool Picture::HasAlpha() const { return Loaded() && surface_->AlphaMap() != nullptr; }
std::int32_t Picture::Width() const { return Loaded() ? surface_->Width() : 0; }
std::int32_t Picture::Height() const { return Loaded() ? surface_->Height() : 0; }

}  // namespace media
