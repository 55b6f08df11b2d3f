// GBK paths as the wide API takes them, whatever the system's ANSI code page.
#pragma once

#include <string>
#include <string_view>

// Empty for an empty or unconvertible path. Long absolute drive paths get the
// extended-length prefix so they are not cut at MAX_PATH.
std::wstring wide_path(std::string_view path);
