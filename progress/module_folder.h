// The folder part of a Windows path held as GBK bytes.
#pragma once

#include "progress/text.h"

// path cut before its last backslash that is a character of its own; a 0x5C
// trail byte of a double-byte character does not count. The whole path when
// it has no backslash.
Text folder_before_last_backslash(std::string_view path);
