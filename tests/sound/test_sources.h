// Byte sources for the tests: large files of junk that take no memory, and
// sources whose reads start failing, as when a USB stick is pulled out.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstring>
#include <functional>
#include <string>

#include "sound/byte_source.h"

// head, then block over and over up to size bytes. Counts the bytes handed
// out and calls on_read after each read.
class RepeatingByteSource final : public ByteSource {
public:
    RepeatingByteSource(std::string head, std::string block, std::uint64_t size,
                        std::function<void(std::uint64_t bytes_read)> on_read = {})
        : head_(std::move(head)), block_(std::move(block)), size_(size), on_read_(std::move(on_read))
    {
    }
    std::uint64_t size() const override { return size_; }
    std::size_t read_at(std::uint64_t offset, unsigned char* dest, std::size_t count) override
    {
        std::size_t done = 0;
        while (done < count && offset + done < size_) {
            std::uint64_t p = offset + done;
            const std::string& part = p < head_.size() ? head_ : block_;
            std::uint64_t in_part = p < head_.size() ? p : (p - head_.size()) % block_.size();
            std::size_t n = static_cast<std::size_t>(
                std::min<std::uint64_t>({count - done, part.size() - in_part, size_ - p}));
            std::memcpy(dest + done, part.data() + in_part, n);
            done += n;
        }
        bytes_read_ += done;
        if (on_read_)
            on_read_(bytes_read_);
        return done;
    }
    std::uint64_t bytes_read() const { return bytes_read_; }

private:
    std::string head_, block_;
    std::uint64_t size_;
    std::function<void(std::uint64_t)> on_read_;
    std::atomic<std::uint64_t> bytes_read_{0};
};

// The bytes in memory, but every read after the first good_reads fails.
class FailingByteSource final : public ByteSource {
public:
    FailingByteSource(std::string bytes, int good_reads) : bytes_(std::move(bytes)), good_reads_(good_reads) {}
    std::uint64_t size() const override { return bytes_.size(); }
    std::size_t read_at(std::uint64_t offset, unsigned char* dest, std::size_t count) override
    {
        if (good_reads_-- <= 0)
            return 0;
        return bytes_.read_at(offset, dest, count);
    }

private:
    MemoryByteSource bytes_;
    int good_reads_;
};
