// stb_image's implementation, compiled once for the comparison benchmarks (TGA, PSD and PNG only).
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_TGA
#define STBI_ONLY_PSD
#define STBI_ONLY_PNG
#include <stb/stb_image.h>
