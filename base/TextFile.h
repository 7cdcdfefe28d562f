#pragma once
// Whole text files: UTF-16LE with the byte-order mark FF FE, or 8-bit text.
#include <cstdint>
#include <string>

#include "base/File.h"

namespace skinner {

// Reads the rest of the stream, at most max_bytes. True when it was UTF-16LE (the text is
// in wide); false otherwise (the 8-bit text, if any, is in narrow_text). Only the bytes the
// stream still holds are ever read or allocated for; a read that falls short assigns
// nothing and gives false.
bool read_text_stream(InputStream& stream, std::string& narrow_text, std::u16string& wide, int32_t max_bytes);

// The text as a wide string; 8-bit text is widened byte by byte.
std::u16string read_text_file_wide(InputStream& stream, int32_t max_bytes);

// The text as a narrow string; UTF-16 text goes through the ANSI code page (empty when a
// character has no byte there).
std::string read_text_file_narrow(InputStream& stream, int32_t max_bytes);

}  // namespace skinner
