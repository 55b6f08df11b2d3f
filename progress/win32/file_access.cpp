// File access on Windows through the wide API, so that GBK paths work
// whatever the system's ANSI code page, and long paths are not cut.
#include "progress/file_access.h"

#include <windows.h>

#include <algorithm>
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

// A new file beside the target, so that the final move stays on one volume.
HANDLE create_temp_beside(const std::wstring& target, std::wstring& temp)
{
    for (int i = 0; i < 100; ++i) {
        temp = target + L"." + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(i) +
               L".tmp";
        HANDLE file = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS)
            return file;
    }
    return INVALID_HANDLE_VALUE;
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
    char buf[65536];
    for (;;) {
        DWORD n = 0;
        if (!ReadFile(file, buf, sizeof buf, &n, nullptr)) {
            out = {FileContents::unreadable, {}};
            break;
        }
        if (n == 0)
            break;
        out.bytes.append(buf, n);
    }
    CloseHandle(file);
    return out;
}

bool replace_file_contents(std::string_view path, std::string_view contents)
{
    std::wstring target = wide_path(path);
    DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        return false;

    std::wstring temp;
    HANDLE file = create_temp_beside(target, temp);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool ok = write_all(file, contents) && FlushFileBuffers(file);
    ok = CloseHandle(file) && ok;
    if (ok && MoveFileExW(temp.c_str(), target.c_str(),
                          MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileW(temp.c_str());
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
