// The left channel of a 16-bit stereo WAV recording, as the sink recorders of
// the sound tests write it.
#pragma once

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// Everything behind the "data" chunk's header, one sample per instant; empty
// when the file is missing or holds no data chunk yet.
inline std::vector<std::int16_t> wav_left_channel(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::size_t data = bytes.size();
    for (std::size_t p = 12; p + 8 <= bytes.size();) {
        std::uint32_t size = 0;
        std::memcpy(&size, bytes.data() + p + 4, 4);
        if (bytes.compare(p, 4, "data") == 0) {
            data = p + 8;
            break;
        }
        p += 8 + size;
    }
    std::vector<std::int16_t> left;
    for (std::size_t p = data; p + 4 <= bytes.size(); p += 4) {
        std::int16_t sample = 0;
        std::memcpy(&sample, bytes.data() + p, 2);
        left.push_back(sample);
    }
    return left;
}
