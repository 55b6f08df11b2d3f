// Track files on POSIX systems, read with pread. The program's paths use '\'
// between folders; here each one becomes '/'.
#include "sound/byte_source.h"

#include "progress/posix/native_path.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class PosixFileSource final : public ByteSource {
public:
    PosixFileSource(int fd, std::uint64_t size) : fd_(fd), size_(size) {}
    ~PosixFileSource() override { ::close(fd_); }
    PosixFileSource(const PosixFileSource&) = delete;
    PosixFileSource& operator=(const PosixFileSource&) = delete;

    std::uint64_t size() const override { return size_; }

    std::size_t read_at(std::uint64_t offset, unsigned char* dest, std::size_t count) override
    {
        std::size_t done = 0;
        while (done < count && offset + done < size_) {
            ssize_t n = ::pread(fd_, dest + done, count - done, static_cast<off_t>(offset + done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            done += static_cast<std::size_t>(n);
        }
        return done;
    }

private:
    int fd_;
    std::uint64_t size_;
};

} // namespace

std::unique_ptr<ByteSource> open_file_source(std::string_view path)
{
    std::string native = native_path(path);
    if (native.empty())
        return nullptr;
    int fd = ::open(native.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    struct stat st {};
    // A folder opens for reading here, but it is no track.
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    return std::make_unique<PosixFileSource>(fd, static_cast<std::uint64_t>(st.st_size));
}
