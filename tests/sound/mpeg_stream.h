// MPEG frames made in memory for the reader and player tests.
#pragma once

#include <array>
#include <cstddef>
#include <string>

// count frames with this header, each frame_length bytes long, the rest of
// each frame zeros.
inline std::string mpeg_frames(std::array<unsigned char, 4> header, std::size_t frame_length, int count)
{
    std::string frame(frame_length, '\0');
    for (std::size_t i = 0; i < header.size(); ++i)
        frame[i] = static_cast<char>(header[i]);
    std::string out;
    for (int i = 0; i < count; ++i)
        out += frame;
    return out;
}

// MPEG-1 Layer III, 128 kbit/s, 44100 Hz, stereo: 417 bytes a frame.
inline constexpr std::array<unsigned char, 4> stereo44_header{0xFF, 0xFB, 0x90, 0x64};
inline constexpr std::size_t stereo44_length = 417;
// MPEG-1 Layer III, 128 kbit/s, 48000 Hz, stereo: 384 bytes a frame.
inline constexpr std::array<unsigned char, 4> stereo48_header{0xFF, 0xFB, 0x94, 0x64};
inline constexpr std::size_t stereo48_length = 384;
// MPEG-1 Layer I, which the reader refuses.
inline constexpr std::array<unsigned char, 4> layer1_header{0xFF, 0xFF, 0x90, 0x64};
