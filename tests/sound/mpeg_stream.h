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

// An encoder's information frame: the header, then marker ("Xing" or
// "Info") at tag_offset, the flags naming which optional fields follow (frame
// count, byte count, seek table, quality), room for those fields, and a LAME
// extension naming encoder and stating delay and padding, twelve bits each.
// An empty encoder leaves the extension out.
struct EncoderInfo {
    const char* marker = "Info";
    std::size_t tag_offset = 36;
    unsigned flags = 0x0F;
    std::string encoder = "LAME3.100";
    int delay = 0;
    int padding = 0;
};

inline std::string encoder_info_frame(std::array<unsigned char, 4> header, std::size_t frame_length,
                                      const EncoderInfo& info)
{
    std::string frame = mpeg_frames(header, frame_length, 1);
    frame.replace(info.tag_offset, 4, info.marker);
    for (int i = 0; i < 4; ++i)
        frame[info.tag_offset + 4 + i] = static_cast<char>(info.flags >> (24 - 8 * i));
    if (info.encoder.empty())
        return frame;
    std::size_t fields = ((info.flags & 1) ? 4 : 0) + ((info.flags & 2) ? 4 : 0) + ((info.flags & 4) ? 100 : 0) +
                         ((info.flags & 8) ? 4 : 0);
    std::size_t lame = info.tag_offset + 8 + fields;
    frame.replace(lame, info.encoder.size(), info.encoder);
    frame[lame + 21] = static_cast<char>(info.delay >> 4);
    frame[lame + 22] = static_cast<char>((info.delay & 0x0F) << 4 | info.padding >> 8);
    frame[lame + 23] = static_cast<char>(info.padding & 0xFF);
    return frame;
}
