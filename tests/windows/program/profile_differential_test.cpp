// The progress files' INI engine against Wine's own profile calls
// (GetPrivateProfileStringW, WritePrivateProfileStringW) on a table of
// ordinary and hostile files: every value the program would read, and every
// file after the program's writes, must read the same through both. The
// deliberate deviations are listed with each case that shows one.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "progress/profile.h"

namespace {

// Bytes as the profile calls see them: the ANSI code page, whichever it is,
// passes these test texts through unchanged (checked below).
std::wstring ansi_to_wide(const std::string& bytes)
{
    if (bytes.empty())
        return {};
    int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), n);
    return wide;
}

std::string wide_to_ansi(const std::wstring& wide)
{
    if (wide.empty())
        return {};
    int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), bytes.data(), n, nullptr, nullptr);
    return bytes;
}

std::string windows_read(const std::string& path, const std::string& section, const std::string& key)
{
    std::vector<wchar_t> buffer(10240);
    DWORD n = GetPrivateProfileStringW(ansi_to_wide(section).c_str(), ansi_to_wide(key).c_str(), L"", buffer.data(),
                                       static_cast<DWORD>(buffer.size()), ansi_to_wide(path).c_str());
    return wide_to_ansi(std::wstring(buffer.data(), n));
}

void put_file(const std::string& path, const std::string& bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

struct Query {
    std::string section, key;
};

// The reads the program makes, and more.
const std::vector<Query> queries = {
    {"Today", "Current date"}, {"Today", "Stage one"},     {"Today", "Stage two"},   {"Today", "Stage three"},
    {"Aggregate", "Stage one"}, {"Aggregate", "Stage two"}, {"Aggregate", "Stage three"},
    {"today", "STAGE ONE"},     {"  Today", "Stage one"},   {"Other", "Stage one"},
};

const std::string layout = "[Today]\r\nCurrent date=2013年6月5日\r\nStage one=1小时05分09秒\r\n"
                           "Stage two=0小时00分00秒\r\nStage three=0小时00分00秒\r\n[Aggregate]\r\n"
                           "Stage one=12小时30分00秒\r\nStage two=0小时00分00秒\r\nStage three=0小时00分00秒\r\n";

struct FileCase {
    const char* name;
    std::string bytes;
    // Why the engine reads this file otherwise than Wine; such a file is
    // only checked to read back what the engine wrote into it.
    const char* deviation = nullptr;
};

const std::vector<FileCase> files = {
    {"the program's own layout", layout},
    {"LF line ends", "[Today]\nStage one=a\n[Aggregate]\nStage one=b\n"},
    {"no line end at the end", "[Today]\r\nStage one=last"},
    {"blanks around names and values", "  [ Today ]  \r\n  Stage one  =  1小时  \r\n[Aggregate]\r\nStage two =x"},
    {"names in other cases", "[TODAY]\r\nstage one=lower\r\n[aggregate]\r\nSTAGE TWO=upper\r\n"},
    {"comment lines", "[Today]\r\n;Stage one=commented\r\nStage one=real\r\n"},
    {"duplicate keys and sections", "[Today]\r\nStage one=first\r\nStage one=second\r\n[Today]\r\nStage two=again\r\n"},
    {"a key without '='", "[Today]\r\nStage one\r\nStage two=2\r\n",
     "a line without '=' is no key for the engine, so a write adds the key after it; Wine takes the bare line as "
     "the key with an empty value and never sees the value written"},
    {"'=' inside the value", "[Today]\r\nStage one=a=b==c\r\n"},
    {"empty values", "[Today]\r\nCurrent date=\r\nStage one=\r\n"},
    {"keys before any section", "Stage one=orphan\r\n[Today]\r\nStage two=2\r\n"},
    {"an unclosed section line", "[Today\r\nStage one=x\r\n[Aggregate]\r\nStage one=y\r\n",
     "the engine takes \"[Today\" as the section Today; Wine takes it as no section header at all"},
    {"a value of 12000 bytes", "[Today]\r\nStage one=" + std::string(12000, 'x') + "\r\n"},
    {"an empty file", ""},
    {"bytes 0x80 to 0xFF in values", "[Today]\r\nStage one=\xA1\xA2\xFE\xFE\x81\x40\r\n"},
};

class ProfileDifferential : public ::testing::Test {
protected:
    void SetUp() override
    {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        folder = std::string(temp) + "burnin-profile-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(folder.c_str(), nullptr);
        for (const FileCase& file : files) {
            ASSERT_EQ(wide_to_ansi(ansi_to_wide(file.bytes)), file.bytes)
                << file.name << ": the ANSI code page does not keep these bytes";
        }
    }

    std::string folder;
};

TEST_F(ProfileDifferential, ReadsAgreeWithGetPrivateProfileString)
{
    std::string path = folder + "\\read.ini";
    for (const FileCase& file : files) {
        if (file.deviation)
            continue;
        put_file(path, file.bytes);
        for (const Query& q : queries)
            EXPECT_EQ(read_profile_value(path, q.section, q.key), windows_read(path, q.section, q.key))
                << file.name << ": [" << q.section << "] " << q.key;
    }
    DeleteFileA(path.c_str());
    for (const Query& q : queries)
        EXPECT_EQ(read_profile_value(path, q.section, q.key), windows_read(path, q.section, q.key))
            << "a missing file: [" << q.section << "] " << q.key;
}

struct Write {
    std::string section, key, value;
};

TEST_F(ProfileDifferential, WritesReadBackAlikeThroughBoth)
{
    // The program's seven saves and six resets, and writes into odd files.
    const std::vector<Write> writes = {
        {"Today", "Current date", "2026年12月11日"}, {"Today", "Stage one", "0小时00分02秒"},
        {"Today", "Stage two", ""},                 {"Aggregate", "Stage three", "12小时30分00秒"},
        {"Aggregate", "Stage one", "0小时00分00秒"}, {"Other", "New key", "v"},
        {"Today", "Stage one", "replaced"},
    };
    std::string ours = folder + "\\ours.ini", theirs = folder + "\\theirs.ini";
    for (const FileCase& file : files) {
        put_file(ours, file.bytes);
        put_file(theirs, file.bytes);
        for (const Write& w : writes) {
            write_profile_value(ours, w.section, w.key, w.value);
            WritePrivateProfileStringW(ansi_to_wide(w.section).c_str(), ansi_to_wide(w.key).c_str(),
                                       ansi_to_wide(w.value).c_str(), ansi_to_wide(theirs).c_str());
        }
        if (file.deviation) {
            EXPECT_EQ(read_profile_value(ours, "Today", "Stage one"), "replaced") << file.name;
            EXPECT_EQ(read_profile_value(ours, "Other", "New key"), "v") << file.name;
            continue;
        }
        for (const Query& q : queries) {
            std::string expected = windows_read(theirs, q.section, q.key);
            EXPECT_EQ(windows_read(ours, q.section, q.key), expected)
                << file.name << ": [" << q.section << "] " << q.key << " as Windows reads our file";
            EXPECT_EQ(read_profile_value(ours, q.section, q.key), expected)
                << file.name << ": [" << q.section << "] " << q.key << " as we read our file";
        }
    }
}

} // namespace
