// The program's paths use '\' between folders, as on Windows; POSIX wants '/'.
#pragma once

#include <string>
#include <string_view>

std::string native_path(std::string_view path);
