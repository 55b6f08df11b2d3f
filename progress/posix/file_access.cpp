// File access on POSIX systems. The program's paths use '\' between folders;
// here each one becomes '/'.
#include "progress/file_access.h"
#include "progress/posix/native_path.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <optional>
#include <sys/file.h>
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

bool write_all_at(int fd, std::string_view bytes, off_t offset)
{
    while (!bytes.empty()) {
        ssize_t n = ::pwrite(fd, bytes.data(), bytes.size(), offset);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(n));
        offset += n;
    }
    return true;
}

bool read_all(int fd, std::string& out)
{
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode))
        out.reserve(static_cast<size_t>(st.st_size));
    char buf[65536];
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n == 0)
            return true;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        out.append(buf, static_cast<size_t>(n));
    }
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

// The file a path finally names, so that a save writes through symbolic
// links and keeps them. A dangling link names the file it would create;
// nothing when the links go round in a loop or cannot be read.
std::optional<std::string> follow_links(std::string path)
{
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return path;
        char link[PATH_MAX];
        ssize_t n = ::readlink(path.c_str(), link, sizeof link);
        if (n <= 0 || static_cast<size_t>(n) == sizeof link)
            return std::nullopt;
        std::string next(link, static_cast<size_t>(n));
        path = next.front() == '/' ? next : folder_of(path) + "/" + next;
    }
    return std::nullopt;
}

// Like the Windows profile API, a read-only file is not written even by a
// user (root) whom the system would let; anyone else needs write permission.
bool may_write(const std::string& target, const struct stat& st)
{
    return S_ISREG(st.st_mode) && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0 &&
           ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) == 0;
}

// The temporary file a save of target writes first. Its name is the same for
// every save, so one left by a killed save is reused rather than piling up;
// the lock keeps two saves of one file from writing into it at once. -1,
// errno set, when it cannot be made.
int open_locked_temp(const std::string& temp)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        int fd = ::open(temp.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0) {
            // A stale one this user may not open (another user's, or a link
            // put in its place) is removed, if the folder allows.
            int err = errno;
            if ((err == EACCES || err == ELOOP) && attempt == 0 && ::unlink(temp.c_str()) == 0)
                continue;
            errno = err;
            return -1;
        }
        struct stat held {}, named {};
        // Another save may have renamed this very file into place while we waited.
        if (::flock(fd, LOCK_EX) == 0 && ::fstat(fd, &held) == 0 &&
            ::lstat(temp.c_str(), &named) == 0 && held.st_ino == named.st_ino &&
            held.st_dev == named.st_dev)
            return fd;
        ::close(fd);
    }
    errno = EBUSY;
    return -1;
}

enum class Replaced { yes, no, only_in_place };

// Writes a new file beside target and renames it over target: at every
// instant target holds the old or the new bytes. A new file that cannot take
// the old one's owner would change it, so that case is left to the caller.
Replaced replace_by_rename(const std::string& target, const struct stat* old,
                           std::string_view contents)
{
    std::string temp = target + ".tmp";
    int fd = open_locked_temp(temp);
    if (fd < 0)
        return old && (errno == EACCES || errno == EPERM) ? Replaced::only_in_place : Replaced::no;

    Replaced result = Replaced::no;
    if (old && (old->st_uid != ::geteuid() || old->st_gid != ::getegid()) &&
        ::fchown(fd, old->st_uid, old->st_gid) != 0)
        result = Replaced::only_in_place;
    else if (::ftruncate(fd, 0) == 0 && write_all_at(fd, contents, 0) &&
             ::fchmod(fd, old ? (old->st_mode & 07777) : 0644) == 0 && ::fsync(fd) == 0 &&
             ::rename(temp.c_str(), target.c_str()) == 0)
        result = Replaced::yes;

    if (result == Replaced::yes)
        sync_folder(folder_of(target));
    else
        ::unlink(temp.c_str());
    ::close(fd); // after the rename or unlink, so the lock covers them
    return result;
}

// When no new file can take the old one's place, the file is rewritten where
// it is, as the Windows API would: not proof against a crash midway, but the
// only way to store anything. If the new bytes cannot all be written, the old
// ones are put back.
bool rewrite_in_place(const std::string& target, std::string_view contents)
{
    int fd = ::open(target.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    std::string old;
    bool ok = read_all(fd, old);
    if (ok && !write_all_at(fd, contents, 0)) {
        if (write_all_at(fd, old, 0))
            ::ftruncate(fd, static_cast<off_t>(old.size()));
        ok = false;
    }
    ok = ok && ::fsync(fd) == 0 && ::ftruncate(fd, static_cast<off_t>(contents.size())) == 0 &&
         ::fsync(fd) == 0;
    return ::close(fd) == 0 && ok;
}

} // namespace

FileContents read_whole_file(std::string_view path)
{
    int fd = ::open(native_path(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return {errno == ENOENT || errno == ENOTDIR ? FileContents::missing : FileContents::unreadable, {}};
    FileContents out{FileContents::read, {}};
    if (!read_all(fd, out.bytes))
        out = {FileContents::unreadable, {}};
    ::close(fd);
    return out;
}

bool replace_file_contents(std::string_view path, std::string_view contents)
{
    std::optional<std::string> target = follow_links(native_path(path));
    if (!target)
        return false;
    struct stat st {};
    bool exists = ::stat(target->c_str(), &st) == 0;
    if (!exists && errno != ENOENT)
        return false;
    if (exists && !may_write(*target, st))
        return false;
    switch (replace_by_rename(*target, exists ? &st : nullptr, contents)) {
    case Replaced::yes:
        return true;
    case Replaced::only_in_place:
        return rewrite_in_place(*target, contents);
    case Replaced::no:
        break;
    }
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
