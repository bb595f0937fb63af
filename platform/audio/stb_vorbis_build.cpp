// stb_vorbis's decoder, compiled once for the whole layer from the header Debian's libstb-dev
// ships (the same source in the desktop and the browser build, which has no system library to
// link). Everything else includes the header with STB_VORBIS_HEADER_ONLY.
#include <stb/stb_vorbis.h>
