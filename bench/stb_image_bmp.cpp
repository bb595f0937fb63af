// stb_image's implementation with only its BMP reader, compiled once for the comparison
// benchmarks of the bitmap decoder.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_BMP
#include <stb/stb_image.h>
