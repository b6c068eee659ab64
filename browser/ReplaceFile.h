// Whole-file writes that never leave a file half written: the text goes to
// a temporary file first, which is then renamed over the original.
#pragma once

#include <string>

// Writes text to temporary, flushes it to disk and renames it to path.
// False, with path untouched and the temporary removed, on any failure.
bool replaceFile(const std::string& path, const std::string& temporary, const std::string& text);
