// GBK <-> UTF-8 through the C library's iconv; Qt takes and gives UTF-8.
#include "app/qt/gbk_qstring.h"

#include <algorithm>
#include <cerrno>
#include <string>

#include <iconv.h>

namespace {
// Converts what can be converted; at each byte sequence the target cannot
// take, writes `replacement` and skips `skip(rest)` input bytes.
template <typename Skip>
std::string convert(const char* to, const char* from, std::string_view input,
                    std::string_view replacement, Skip skip)
{
    std::string out;
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return out;
    out.reserve(input.size() * 2);
    char* in = const_cast<char*>(input.data());
    std::size_t in_left = input.size();
    char buffer[256];
    while (in_left > 0) {
        char* o = buffer;
        std::size_t o_left = sizeof buffer;
        std::size_t r = iconv(cd, &in, &in_left, &o, &o_left);
        out.append(buffer, static_cast<std::size_t>(o - buffer));
        if (r != static_cast<std::size_t>(-1) || errno == E2BIG)
            continue;
        // EILSEQ or a sequence cut off at the end (EINVAL).
        out += replacement;
        std::size_t n = std::min(in_left, skip(std::string_view(in, in_left)));
        in += n;
        in_left -= n;
    }
    iconv_close(cd);
    return out;
}

// Bytes of the UTF-8 character the text starts with.
std::size_t utf8_length(std::string_view s)
{
    auto b = static_cast<unsigned char>(s.front());
    std::size_t n = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
    return std::min(n, s.size());
}
} // namespace

QString qstring_from_gbk(std::string_view gbk)
{
    std::string utf8 = convert("UTF-8", "GBK", gbk, "\xEF\xBF\xBD",
                               [](std::string_view) { return std::size_t{1}; });
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

Text gbk_from_qstring(const QString& text)
{
    QByteArray utf8 = text.toUtf8();
    return convert("GBK", "UTF-8", std::string_view(utf8.constData(), utf8.size()), "?",
                   utf8_length);
}
