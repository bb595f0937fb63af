#pragma once
// FileReader moved to media/core/ (the WAV reader and the picture loader share the file readers);
// this name stays for programs that include it from here.
#include "../core/file_reader.h"
