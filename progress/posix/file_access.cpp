// File access on POSIX systems. The program's paths use '\' between folders;
// here each one becomes '/'.
#include "progress/file_access.h"
#include "progress/posix/native_path.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string folder_of(const std::string& path)
{
    size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool write_all(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

// The rename is only durable once the folder's entry is on disk too.
void sync_folder(const std::string& folder)
{
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

FileContents read_whole_file(std::string_view path)
{
    int fd = ::open(native_path(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return {errno == ENOENT || errno == ENOTDIR ? FileContents::missing : FileContents::unreadable, {}};
    FileContents out{FileContents::read, {}};
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode))
        out.bytes.reserve(static_cast<size_t>(st.st_size));
    char buf[65536];
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n == 0)
            break;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            out = {FileContents::unreadable, {}};
            break;
        }
        out.bytes.append(buf, static_cast<size_t>(n));
    }
    ::close(fd);
    return out;
}

bool replace_file_contents(std::string_view path, std::string_view contents)
{
    std::string target = native_path(path);
    struct stat st {};
    bool exists = ::stat(target.c_str(), &st) == 0;
    // Like the Windows profile API: a read-only file is not replaced, even by
    // a user (root) whom the folder would let rename over it.
    if (exists && (!S_ISREG(st.st_mode) || (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0))
        return false;

    std::string folder = folder_of(target);
    std::string temp = target + ".XXXXXX";
    int fd = ::mkstemp(temp.data());
    if (fd < 0)
        return false;
    bool ok = write_all(fd, contents) && ::fchmod(fd, exists ? (st.st_mode & 07777) : 0644) == 0 &&
              ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (ok && ::rename(temp.c_str(), target.c_str()) == 0) {
        sync_folder(folder);
        return true;
    }
    ::unlink(temp.c_str());
    return false;
}

std::string executable_folder()
{
    std::string buf(256, '\0');
    for (;;) {
        ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size());
        if (n < 0)
            return ".";
        if (static_cast<size_t>(n) < buf.size()) {
            buf.resize(static_cast<size_t>(n));
            break;
        }
        buf.resize(buf.size() * 2);
    }
    return folder_of(buf);
}

bool enter_folder(std::string_view path) { return ::chdir(native_path(path).c_str()) == 0; }
