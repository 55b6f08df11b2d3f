// The in-memory byte source.
#include "sound/byte_source.h"

#include <algorithm>
#include <cstring>

std::size_t MemoryByteSource::read_at(std::uint64_t offset, unsigned char* dest, std::size_t count)
{
    if (offset >= bytes_.size())
        return 0;
    std::size_t n = std::min<std::uint64_t>(count, bytes_.size() - offset);
    std::memcpy(dest, bytes_.data() + offset, n);
    return n;
}
