// The one place where the program's GBK text meets the UTF-16 of the wide
// Windows calls, so Chinese shows right whatever the system's ANSI code page.
#pragma once

#include <string>
#include <string_view>

#include "progress/text.h"

std::wstring wide_from_gbk(std::string_view text);
// Characters GBK cannot hold (typed into the edit box) become '?'.
Text gbk_from_wide(std::wstring_view text);
