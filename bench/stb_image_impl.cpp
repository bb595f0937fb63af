// stb_image's implementation, compiled once for the comparison benchmarks (TGA and PSD only).
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_TGA
#define STBI_ONLY_PSD
#include <stb/stb_image.h>
