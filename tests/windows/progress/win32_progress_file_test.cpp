// Saving progress files through the Windows API: whole files replaced through
// one reused temporary, read-only files left alone, and a rewrite in place
// where no temporary can be made.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "progress/profile.h"

namespace fs = std::filesystem;

namespace {

class Win32ProgressFile : public ::testing::Test {
protected:
    fs::path folder = fs::current_path() /
                      ("progress-test-" + std::to_string(GetCurrentProcessId()) + "-" +
                       ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::string ini = (folder / "1.ini").string();
    std::wstring wide_ini = (folder / "1.ini").wstring();
    std::wstring wide_temp = wide_ini + L".tmp";

    Win32ProgressFile() { fs::create_directories(folder); }
    ~Win32ProgressFile() override
    {
        SetFileAttributesW(wide_ini.c_str(), FILE_ATTRIBUTE_NORMAL);
        std::error_code ec;
        fs::remove_all(folder, ec);
    }

    static std::string read(const fs::path& path)
    {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    static void write(const fs::path& path, const std::string& bytes)
    {
        std::ofstream(path, std::ios::binary) << bytes;
    }
    size_t files_in_folder() const
    {
        return static_cast<size_t>(std::distance(fs::directory_iterator(folder), {}));
    }
    // The file's identity: a rewrite in place keeps it, a replacement does not.
    ULONGLONG file_index() const
    {
        HANDLE file = CreateFileW(wide_ini.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        BY_HANDLE_FILE_INFORMATION info{};
        GetFileInformationByHandle(file, &info);
        CloseHandle(file);
        return (static_cast<ULONGLONG>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    }
};

TEST_F(Win32ProgressFile, ValuesReadBackAndNoTemporaryStays)
{
    ASSERT_TRUE(write_profile_value(ini, "Today", "Stage one", "1"));
    ASSERT_TRUE(write_profile_value(ini, " Today", "Stage two ", "2"));
    ASSERT_TRUE(write_profile_value(ini, "Today", "Stage one", "3"));
    EXPECT_EQ(read(ini), "[Today]\r\nStage one=3\r\nStage two=2\r\n");
    EXPECT_EQ(read_profile_value(ini, "Today", "Stage two"), "2");
    EXPECT_EQ(files_in_folder(), 1u);
}

TEST_F(Win32ProgressFile, ATemporaryLeftByAKilledSaveIsReused)
{
    write(folder / "1.ini.tmp", "half of an earlier save");
    ASSERT_TRUE(write_profile_value(ini, "Today", "Stage one", "v"));
    EXPECT_EQ(read(ini), "[Today]\r\nStage one=v\r\n");
    EXPECT_EQ(files_in_folder(), 1u);
}

TEST_F(Win32ProgressFile, AReadOnlyFileStaysAsItIs)
{
    write(ini, "[Today]\r\nStage one=old\r\n");
    ASSERT_TRUE(SetFileAttributesW(wide_ini.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(write_profile_value(ini, "Today", "Stage one", "new"));
    EXPECT_EQ(read(ini), "[Today]\r\nStage one=old\r\n");
    EXPECT_EQ(files_in_folder(), 1u);
}

TEST_F(Win32ProgressFile, AnotherSaveUnderWayMakesThisOneFailCleanly)
{
    write(ini, "[Today]\r\nStage one=old\r\n");
    HANDLE other = CreateFileW(wide_temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(write_profile_value(ini, "Today", "Stage one", "new"));
    EXPECT_EQ(read(ini), "[Today]\r\nStage one=old\r\n");
    CloseHandle(other);
    ASSERT_TRUE(write_profile_value(ini, "Today", "Stage one", "new"));
    EXPECT_EQ(read(ini), "[Today]\r\nStage one=new\r\n");
    EXPECT_EQ(files_in_folder(), 1u);
}

// A folder in the temporary's place: creating it is denied, as in a folder
// the user may not write.
TEST_F(Win32ProgressFile, WhereNoTemporaryCanBeMadeTheFileIsRewrittenInPlace)
{
    write(ini, "[Today]\r\nStage one=" + std::string(300, 'o') + "\r\nStage two=2\r\n");
    fs::create_directory(folder / "1.ini.tmp");
    const ULONGLONG before = file_index();

    ASSERT_TRUE(write_profile_value(ini, "Today", "Stage one", "short"));
    EXPECT_EQ(read(ini), "[Today]\r\nStage one=short\r\nStage two=2\r\n");
    ASSERT_TRUE(write_profile_value(ini, "Aggregate", "Stage one", "long"));
    EXPECT_EQ(read(ini), "[Today]\r\nStage one=short\r\nStage two=2\r\n[Aggregate]\r\nStage one=long\r\n");
    EXPECT_EQ(file_index(), before);

    // A file that is not there yet cannot be made without a temporary.
    const fs::path second = folder / "2.ini";
    fs::create_directory(folder / "2.ini.tmp");
    EXPECT_FALSE(write_profile_value(second.string(), "Today", "Stage one", "v"));
    EXPECT_FALSE(fs::exists(second));
}

} // namespace
