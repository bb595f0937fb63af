#include "tools/make_assets/asset_set.h"

#include "tools/make_assets/catch_sound.h"
#include "tools/make_assets/palette_quantizer.h"
#include "tools/make_assets/screen_art.h"
#include "tools/make_assets/sprite_art.h"
#include "tools/make_assets/tunes.h"
#include "tools/make_assets/wav_writer.h"

namespace assets {

namespace {

// The picture resolved against the key, with the key in its top-left pixel where the game reads
// it even when the art covers that corner (the play field's background).
RgbPicture Keyed(const Canvas& canvas) {
  RgbPicture picture = canvas.Resolve(kColorKey);
  picture.pixels[0] = kColorKey;
  return picture;
}

template <typename PaintFn>
AssetFile Sprite(const char* name, int width, int height, PaintFn paint) {
  Canvas canvas(width, height);
  paint(canvas);
  return {name, WriteBmp24(Keyed(canvas))};
}

// A full-window picture as RLE8, or as 24-bit when that would somehow be smaller.
AssetFile Screen(const char* name, const Canvas& canvas, bool keyed) {
  const RgbPicture picture = keyed ? Keyed(canvas) : canvas.Resolve();
  std::vector<uint8_t> rle = WriteBmpRle8(Quantize(picture, keyed ? std::optional<Rgb8>(kColorKey) : std::nullopt));
  std::vector<uint8_t> plain = WriteBmp24(picture);
  return {name, rle.size() <= plain.size() ? std::move(rle) : std::move(plain)};
}

}  // namespace

std::vector<AssetFile> MakePictures() {
  std::vector<AssetFile> files;
  files.push_back(Screen("title.bmp", PaintTitleScreen(), false));
  files.push_back(Screen("option.bmp", PaintOptionScreen(), false));
  files.push_back(Screen("about.bmp", PaintAboutScreen(), false));
  files.push_back(Screen("bg1.bmp", PaintPlayField(), true));
  files.push_back(Screen("main_win.bmp", PaintWinScreen(), true));
  files.push_back(Screen("main_lose.bmp", PaintLoseScreen(), true));
  files.push_back(Screen("over.bmp", PaintGameOverScreen(), false));
  files.push_back(Sprite("bodo.bmp", 90, 90, [](Canvas& c) { PaintBodo(c, 0, 0, 1); }));
  files.push_back(Sprite("r_zamel.bmp", 40, 51, [](Canvas& c) { PaintPot(c, 0, 0, 1, PotGlaze::Red); }));
  files.push_back(Sprite("b_zamel.bmp", 40, 51, [](Canvas& c) { PaintPot(c, 0, 0, 1, PotGlaze::Blue); }));
  // The heart sits at the left of its 32-pixel frame: the play screen's sixth heart starts 30
  // pixels from the window's right edge, inside the panel that ends 4 pixels before it.
  files.push_back(Sprite("hart.bmp", 32, 26, [](Canvas& c) { PaintHeart(c, -4, 0, 1); }));
  files.push_back(Sprite("bb_zamel.bmp", 32, 32, [](Canvas& c) { PaintLevelPot(c, 0, 0, 1); }));
  files.push_back(Sprite("bee.bmp", 40, 51, [](Canvas& c) { PaintBee(c, 0, 0, 1); }));
  return files;
}

std::vector<AssetFile> MakeSounds() {
  return {{"Sound_menu.mid", MenuTune()},
          {"xlost.mid", PlayTune()},
          {"Sound_win.mid", WinTune()},
          {"xmusic5.mid", LoseTune()},
          {"item.wav", WriteWav16Mono(CatchSound(kCatchSoundRate), kCatchSoundRate)}};
}

std::vector<AssetFile> MakeAllAssets() {
  std::vector<AssetFile> files = MakePictures();
  for (AssetFile& sound : MakeSounds()) files.push_back(std::move(sound));
  return files;
}

}  // namespace assets
