// Track files on Windows, opened through the wide API so that GBK paths work
// whatever the system's ANSI code page, and read at explicit offsets.
#include "sound/byte_source.h"

#include "progress/win32/wide_path.h"

#include <windows.h>

#include <string>

namespace {

class Win32FileSource final : public ByteSource {
public:
    Win32FileSource(HANDLE file, std::uint64_t size) : file_(file), size_(size) {}
    ~Win32FileSource() override { CloseHandle(file_); }
    Win32FileSource(const Win32FileSource&) = delete;
    Win32FileSource& operator=(const Win32FileSource&) = delete;

    std::uint64_t size() const override { return size_; }

    std::size_t read_at(std::uint64_t offset, unsigned char* dest, std::size_t count) override
    {
        std::size_t done = 0;
        while (done < count && offset + done < size_) {
            std::uint64_t at = offset + done;
            // On a handle opened for synchronous use the OVERLAPPED only
            // carries the offset; ReadFile still waits for the data.
            OVERLAPPED where{};
            where.Offset = static_cast<DWORD>(at);
            where.OffsetHigh = static_cast<DWORD>(at >> 32);
            std::size_t left = count - done;
            DWORD ask = left > 0x40000000u ? 0x40000000u : static_cast<DWORD>(left);
            DWORD got = 0;
            if (!ReadFile(file_, dest + done, ask, &got, &where) || got == 0)
                break;
            done += got;
        }
        return done;
    }

private:
    HANDLE file_;
    std::uint64_t size_;
};

} // namespace

std::unique_ptr<ByteSource> open_file_source(std::string_view path)
{
    std::wstring wide = wide_path(path);
    if (wide.empty())
        return nullptr;
    // Without FILE_FLAG_BACKUP_SEMANTICS a folder does not open, as wanted.
    HANDLE file = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return nullptr;
    LARGE_INTEGER size{};
    if (GetFileType(file) != FILE_TYPE_DISK || !GetFileSizeEx(file, &size) || size.QuadPart < 0) {
        CloseHandle(file);
        return nullptr;
    }
    return std::make_unique<Win32FileSource>(file, static_cast<std::uint64_t>(size.QuadPart));
}
