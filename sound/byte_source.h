// Random-access reading of a track's bytes, so that a track is streamed
// rather than loaded whole.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

class ByteSource {
public:
    virtual ~ByteSource() = default;
    // The size in bytes when the source was opened; it does not follow later
    // growth of the file.
    virtual std::uint64_t size() const = 0;
    // Copies up to count bytes starting at offset into dest and returns how
    // many it copied. Fewer than asked only at the end of the source or on a
    // read error; 0 at or past the end. Blocks for the disk, never longer.
    virtual std::size_t read_at(std::uint64_t offset, unsigned char* dest, std::size_t count) = 0;
};

// The bytes held in memory: tests and already loaded data.
class MemoryByteSource final : public ByteSource {
public:
    explicit MemoryByteSource(std::string bytes) : bytes_(std::move(bytes)) {}
    std::uint64_t size() const override { return bytes_.size(); }
    std::size_t read_at(std::uint64_t offset, unsigned char* dest, std::size_t count) override;

private:
    std::string bytes_;
};

// Opens a file for reading; the path is a GBK text with '\' between folders.
// Null when the file is missing, is not a regular file or cannot be read.
// One implementation per platform.
std::unique_ptr<ByteSource> open_file_source(std::string_view path);
