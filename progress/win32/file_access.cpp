// File access on Windows through the wide API, so that GBK paths work
// whatever the system's ANSI code page, and long paths are not cut.
#include "progress/file_access.h"

#include <windows.h>

#include <algorithm>
#include <optional>
#include <string>

#include "progress/module_folder.h"
#include "progress/win32/wide_path.h"

namespace {

constexpr UINT gbk = 936;

// Text in GBK, or nothing when a character has no GBK form.
bool to_gbk(const std::wstring& w, std::string& out)
{
    if (w.empty()) {
        out.clear();
        return true;
    }
    BOOL lossy = FALSE;
    int n = WideCharToMultiByte(gbk, WC_NO_BEST_FIT_CHARS, w.data(), static_cast<int>(w.size()),
                                nullptr, 0, nullptr, &lossy);
    if (n <= 0 || lossy)
        return false;
    out.assign(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(gbk, WC_NO_BEST_FIT_CHARS, w.data(), static_cast<int>(w.size()), out.data(),
                        n, nullptr, nullptr);
    return true;
}

std::wstring module_path()
{
    std::wstring buf(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
        if (n == 0)
            return {};
        if (n < buf.size()) {
            buf.resize(n);
            return buf;
        }
        buf.resize(buf.size() * 2);
    }
}

bool write_all(HANDLE file, std::string_view bytes)
{
    while (!bytes.empty()) {
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1u << 20));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0)
            return false;
        bytes.remove_prefix(written);
    }
    return true;
}

bool read_all(HANDLE file, std::string& out)
{
    char buf[65536];
    for (;;) {
        DWORD n = 0;
        if (!ReadFile(file, buf, sizeof buf, &n, nullptr))
            return false;
        if (n == 0)
            return true;
        out.append(buf, n);
    }
}

bool move_to(HANDLE file, size_t offset)
{
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(offset);
    return SetFilePointerEx(file, at, nullptr, FILE_BEGIN);
}

bool write_from_start(HANDLE file, std::string_view bytes)
{
    return move_to(file, 0) && write_all(file, bytes);
}

bool cut_at(HANDLE file, size_t length) { return move_to(file, length) && SetEndOfFile(file); }

// The file a path finally names, so that a save writes through a symbolic
// link or junction and keeps it. Nothing for a link whose target cannot be
// opened.
std::optional<std::wstring> final_target(const std::wstring& path)
{
    DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return path;
    HANDLE file = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::nullopt;
    std::wstring buf(MAX_PATH, L'\0');
    DWORD n = 0;
    for (int attempt = 0; attempt < 2; ++attempt) {
        n = GetFinalPathNameByHandleW(file, buf.data(), static_cast<DWORD>(buf.size()),
                                      FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (n < buf.size())
            break;
        buf.resize(n);
    }
    CloseHandle(file);
    if (n == 0 || n >= buf.size())
        return std::nullopt;
    buf.resize(n);
    return buf;
}

// Read-only files and files whose access rights deny this user are not
// written, though a rename over them might be allowed.
bool may_write(const std::wstring& target)
{
    HANDLE file = CreateFileW(target.c_str(), GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
}

enum class Replaced { yes, no, only_in_place };

// Writes a new file beside target and moves it over target: at every instant
// target holds the old or the new bytes. The temporary's name is the same for
// every save, so one left by a killed save is reused rather than piling up;
// opened unshared, it keeps two saves of one file apart.
Replaced replace_by_move(const std::wstring& target, bool exists, std::string_view contents)
{
    std::wstring temp = target + L".tmp";
    HANDLE file = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return exists && GetLastError() == ERROR_ACCESS_DENIED ? Replaced::only_in_place
                                                               : Replaced::no;
    bool ok = write_all(file, contents) && FlushFileBuffers(file);
    ok = CloseHandle(file) && ok;
    if (ok && MoveFileExW(temp.c_str(), target.c_str(),
                          MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return Replaced::yes;
    DeleteFileW(temp.c_str());
    return Replaced::no;
}

// Where the folder lets no new file be made, the file is rewritten where it
// is, as the profile API itself does: not proof against a crash midway, but
// the only way to store anything. If the new bytes cannot all be written, the
// old ones are put back.
bool rewrite_in_place(const std::wstring& target, std::string_view contents)
{
    HANDLE file = CreateFileW(target.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    std::string old;
    bool ok = read_all(file, old);
    if (ok && !write_from_start(file, contents)) {
        if (write_from_start(file, old))
            cut_at(file, old.size());
        ok = false;
    }
    ok = ok && FlushFileBuffers(file) && cut_at(file, contents.size()) && FlushFileBuffers(file);
    return CloseHandle(file) && ok;
}

} // namespace

FileContents read_whole_file(std::string_view path)
{
    HANDLE file = CreateFileW(wide_path(path).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        DWORD err = GetLastError();
        bool missing = err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND;
        return {missing ? FileContents::missing : FileContents::unreadable, {}};
    }
    FileContents out{FileContents::read, {}};
    if (!read_all(file, out.bytes))
        out = {FileContents::unreadable, {}};
    CloseHandle(file);
    return out;
}

bool replace_file_contents(std::string_view path, std::string_view contents)
{
    std::optional<std::wstring> target = final_target(wide_path(path));
    if (!target)
        return false;
    DWORD attributes = GetFileAttributesW(target->c_str());
    bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (exists && ((attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) ||
                   !may_write(*target)))
        return false;
    switch (replace_by_move(*target, exists, contents)) {
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
    std::wstring path = module_path();
    std::string gbk_path;
    if (!to_gbk(path, gbk_path)) {
        // A folder name GBK cannot spell still has its 8.3 short form.
        std::wstring shorter(path.size() + 1, L'\0');
        DWORD n = GetShortPathNameW(path.c_str(), shorter.data(), static_cast<DWORD>(shorter.size()));
        if (n == 0 || n >= shorter.size() || !to_gbk(shorter.substr(0, n), gbk_path))
            return ".";
    }
    return folder_before_last_backslash(gbk_path);
}

bool enter_folder(std::string_view path)
{
    return SetCurrentDirectoryW(wide_path(path).c_str()) != 0;
}
