// Progress file naming and the executable's folder.
#include "progress/progress_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "progress/file_access.h"
#include "progress/module_folder.h"
#include "tests/gbk.h"

TEST(ProgressFile, DeviceFileNames)
{
    const std::pair<std::int32_t, std::optional<std::string_view>> cases[] = {
        {0, "\\File\\1.ini"}, {1, "\\File\\2.ini"}, {2, "\\File\\3.ini"}, {3, "\\File\\4.ini"},
        {4, "\\File\\5.ini"}, {5, std::nullopt},    {-1, std::nullopt},
    };
    for (auto [index, name] : cases)
        EXPECT_EQ(device_file_name(index), name) << index;
    EXPECT_EQ(progress_file_path("C:\\Tools\\Burn", "\\File\\1.ini"), "C:\\Tools\\Burn\\File\\1.ini");
}

TEST(ProgressFile, ModuleFolderCutsAtARealBackslash)
{
    // 诶 is DA 5C: its trail byte looks like a backslash.
    const std::string trail_5c = bytes({0xDA, 0x5C});
    const std::pair<std::string, std::string> cases[] = {
        {"C:\\Tools\\Burn\\burn.exe", "C:\\Tools\\Burn"},
        {"C:\\" + trail_5c + "\\burn.exe", "C:\\" + trail_5c},
        {"C:\\Tools\\" + trail_5c + "burn.exe", "C:\\Tools"},
        {"C:\\Tools\\x" + trail_5c, "C:\\Tools"},
        {"burn.exe", "burn.exe"},
        {"\\burn.exe", ""},
        {std::string(400, 'd') + "\\burn.exe", std::string(400, 'd')}, // no 260-byte limit
    };
    for (const auto& [path, folder] : cases)
        EXPECT_EQ(folder_before_last_backslash(path), folder) << path;
}

TEST(ProgressFile, ExecutableFolderHoldsTheTestProgram)
{
    std::string folder = executable_folder();
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(folder.back(), '/');
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(folder) / "progress_tests"));
}
