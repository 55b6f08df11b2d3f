// The folder part of a Windows path held as GBK bytes.
#include "progress/module_folder.h"

Text folder_before_last_backslash(std::string_view path)
{
    size_t last = std::string_view::npos;
    for (size_t i = 0; i < path.size(); ++i) {
        if (is_lead_byte(static_cast<unsigned char>(path[i])))
            ++i; // its trail byte may be 0x5C
        else if (path[i] == '\\')
            last = i;
    }
    return Text(last == std::string_view::npos ? path : path.substr(0, last));
}
