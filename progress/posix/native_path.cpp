// The program's paths use '\' between folders, as on Windows; POSIX wants '/'.
#include "progress/posix/native_path.h"

std::string native_path(std::string_view path)
{
    std::string p(path);
    for (char& c : p)
        if (c == '\\')
            c = '/';
    return p;
}
