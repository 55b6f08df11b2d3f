// Reading and writing values of real INI files on disk.
#include "progress/profile.h"

#include <gtest/gtest.h>

#include <thread> // steady_clock; <chrono> itself does not build with a GBK execution charset
#include <csignal>
#include <filesystem>
#include <functional>
#include <tuple>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "progress/file_access.h"
#include "tests/gbk.h"
#include "tests/temp_folder.h"

namespace fs = std::filesystem;

class Profile : public ::testing::Test {
protected:
    TempFolder dir;
    std::string ini = dir.file("1.ini");

    size_t files_in_folder() const
    {
        return static_cast<size_t>(std::distance(fs::directory_iterator(dir.path()), {}));
    }
};

TEST_F(Profile, WriteThenReadEveryKeyOfTheLayout)
{
    const char* keys[] = {"Stage one", "Stage two", "Stage three"};
    ASSERT_TRUE(write_profile_value(ini, "Today", "Current date", "2013年6月5日"));
    for (const char* key : keys) {
        ASSERT_TRUE(write_profile_value(ini, "Today", key, "1小时05分09秒"));
        ASSERT_TRUE(write_profile_value(ini, "Aggregate", key, "12小时30分00秒"));
    }
    EXPECT_EQ(read_profile_value(ini, "Today", "Current date"), "2013年6月5日");
    for (const char* key : keys) {
        EXPECT_EQ(read_profile_value(ini, "Today", key), "1小时05分09秒");
        EXPECT_EQ(read_profile_value(ini, "Aggregate", key), "12小时30分00秒");
    }
    EXPECT_EQ(TempFolder::read(ini),
              "[Today]\r\nCurrent date=2013年6月5日\r\nStage one=1小时05分09秒\r\n"
              "Stage two=1小时05分09秒\r\nStage three=1小时05分09秒\r\n"
              "[Aggregate]\r\nStage one=12小时30分00秒\r\nStage two=12小时30分00秒\r\n"
              "Stage three=12小时30分00秒\r\n");
    EXPECT_EQ(files_in_folder(), 1u) << "no temporary file is left behind";
}

TEST_F(Profile, ReadSkipsLeadingControlBytesAndRefusesEmptyNames)
{
    TempFolder::write(ini, "[Today]\r\nStage one=x\r\n");
    struct Case {
        std::string path, section, key, expected;
    };
    const Case cases[] = {
        {" \t" + ini, "\x01Today", "\x20\x1FStage one", "x"},
        {ini, "Today", "Stage one", "x"},
        {"", "Today", "Stage one", ""},
        {"   ", "Today", "Stage one", ""},
        {ini, " \r\n", "Stage one", ""},
        {ini, "Today", "\x10", ""},
        {ini, "Today", "Stage two", ""},
        {dir.file("missing.ini"), "Today", "Stage one", ""},
        {dir.file("no-folder/1.ini"), "Today", "Stage one", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(read_profile_value(c.path, c.section, c.key), c.expected) << c.path << "|" << c.key;
}

TEST_F(Profile, LongValuesAreCutTo10239Bytes)
{
    std::string value(20000, 'x');
    ASSERT_TRUE(write_profile_value(ini, "Today", "Stage one", value));
    EXPECT_EQ(read_profile_value(ini, "Today", "Stage one"), std::string(10239, 'x'));
    ASSERT_TRUE(write_profile_value(ini, "Today", "Stage one", std::string(10239, 'y')));
    EXPECT_EQ(read_profile_value(ini, "Today", "Stage one"), std::string(10239, 'y'));
}

TEST_F(Profile, BackslashPathsWorkAsOnWindows)
{
    fs::create_directory(dir.path() / "File");
    std::string windows_style = dir.path().string() + "\\File\\2.ini";
    ASSERT_TRUE(write_profile_value(windows_style, "Today", "Stage one", "v"));
    EXPECT_EQ(TempFolder::read(dir.file("File/2.ini")), "[Today]\r\nStage one=v\r\n");
    EXPECT_EQ(read_profile_value(windows_style, "Today", "Stage one"), "v");
}

TEST_F(Profile, MissingFolderIsNeverCreated)
{
    std::string path = dir.file("File/1.ini");
    EXPECT_FALSE(write_profile_value(path, "Today", "Stage one", "v"));
    EXPECT_FALSE(fs::exists(dir.path() / "File"));
}

TEST_F(Profile, ReadOnlyFileIsNeitherChangedNorReplaced)
{
    const std::string before = "[Today]\r\nStage one=old\r\n";
    TempFolder::write(ini, before);
    fs::permissions(ini, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    struct stat st_before {};
    ::stat(ini.c_str(), &st_before);

    EXPECT_FALSE(write_profile_value(ini, "Today", "Stage one", "new"));
    struct stat st_after {};
    ::stat(ini.c_str(), &st_after);
    EXPECT_EQ(TempFolder::read(ini), before);
    EXPECT_EQ(st_before.st_ino, st_after.st_ino);
    EXPECT_EQ(files_in_folder(), 1u);
}

TEST_F(Profile, UnwritableFileInAnUnwritableFolderLosesTheValueQuietly)
{
    TempFolder::write(ini, "[Today]\r\nStage one=old\r\n");
    fs::permissions(dir.path(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                    fs::perms::others_read | fs::perms::others_exec);
    fs::permissions(ini, fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read);
    // Root may write into any folder, so the write runs as an ordinary user
    // that can read the folder but not write it.
    const bool root = ::geteuid() == 0;
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (root && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(2);
        if (!root) {
            fs::permissions(dir.path(), fs::perms::owner_write, fs::perm_options::remove);
            fs::permissions(ini, fs::perms::owner_write, fs::perm_options::remove);
        }
        bool stored = write_profile_value(ini, "Today", "Stage one", "new");
        bool still_old = read_profile_value(ini, "Today", "Stage one") == "old";
        ::_exit(!stored && still_old ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(TempFolder::read(ini), "[Today]\r\nStage one=old\r\n");
    EXPECT_EQ(files_in_folder(), 1u);
}

TEST_F(Profile, AFileThatCannotBeReadIsNotOverwritten)
{
    // A folder in place of the file cannot be read as a file: the write must
    // not treat it as empty and replace it.
    fs::create_directory(ini);
    EXPECT_FALSE(write_profile_value(ini, "Today", "Stage one", "v"));
    EXPECT_TRUE(fs::is_directory(ini));
}

TEST_F(Profile, WriteKeepsFilePermissions)
{
    TempFolder::write(ini, "[Today]\r\n");
    fs::permissions(ini, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_TRUE(write_profile_value(ini, "Today", "Stage one", "v"));
    EXPECT_EQ(fs::status(ini).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(Profile, UnstorableEntriesWriteNothing)
{
    EXPECT_FALSE(write_profile_value(ini, "Today", "Stage one", "x\r\n[Today]\r\nStage two=y"));
    EXPECT_FALSE(write_profile_value(ini, "", "Stage one", "x"));
    EXPECT_FALSE(write_profile_value("", "Today", "Stage one", "x"));
    EXPECT_FALSE(fs::exists(ini));
}

TEST_F(Profile, HostileFilesNeitherCrashNorLoseOtherKeys)
{
    std::string big(40 << 20, 'z'); // 40 MB on one line
    const std::string cases[] = {
        "[Other]\r\nkey=" + big + "\r\n[Today]\r\nStage one=old\r\n",
        std::string("[Today]\r\nA=\0\0\0\r\nStage one=old\r\n", 29),
        "[Today]\r\n" + bytes({0xFF, 0xFE, 0x80}) + "=1\r\nStage one=old\r\n" + bytes({0xB7}),
        "[Today]\nStage one=old",
    };
    for (const auto& before : cases) {
        TempFolder::write(ini, before);
        EXPECT_EQ(read_profile_value(ini, "Today", "Stage one"), "old");
        ASSERT_TRUE(write_profile_value(ini, "Aggregate", "Stage one", "new"));
        std::string after = TempFolder::read(ini);
        ASSERT_GE(after.size(), before.size());
        EXPECT_EQ(after.compare(0, before.size(), before), 0) << "earlier bytes are kept";
        EXPECT_EQ(read_profile_value(ini, "Today", "Stage one"), "old");
        EXPECT_EQ(read_profile_value(ini, "Aggregate", "Stage one"), "new");
    }
}

// A writer killed at any moment leaves either the old or the new file, never
// a mix: a child rewrites the file in a loop while the parent keeps reading,
// then the child is killed mid-flight.
TEST_F(Profile, AKilledWriterLeavesAWholeFile)
{
    const std::string a(200000, 'a'), b(200000, 'b');
    ASSERT_TRUE(write_profile_value(ini, "Today", "Stage one", a));
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        for (int i = 0;; ++i)
            write_profile_value(ini, "Today", "Stage one", i % 2 ? a : b);
    }
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
    int reads = 0;
    while (std::chrono::steady_clock::now() < deadline) {
        std::string whole = TempFolder::read(ini);
        ASSERT_TRUE(whole == "[Today]\r\nStage one=" + a + "\r\n" ||
                    whole == "[Today]\r\nStage one=" + b + "\r\n")
            << "torn file of " << whole.size() << " bytes";
        ++reads;
    }
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    std::string value = read_profile_value(ini, "Today", "Stage one");
    EXPECT_TRUE(value == std::string(10239, 'a') || value == std::string(10239, 'b'));
    EXPECT_GT(reads, 0);
}

TEST_F(Profile, NamesWithBlanksFindTheirEntryInsteadOfAddingOne)
{
    ASSERT_TRUE(write_profile_value(ini, "Today", "Stage one", "v0"));
    const std::string expected = "[Today]\r\nStage one=v3\r\n";
    for (const char* value : {"v1", "v2", "v3"})
        ASSERT_TRUE(write_profile_value(ini, " Today", "Stage one ", value));
    EXPECT_EQ(TempFolder::read(ini), expected);
    EXPECT_EQ(read_profile_value(ini, "Today ", " Stage one"), "v3");
    EXPECT_EQ(read_profile_value(ini, "Today", "Stage one"), "v3");
}

TEST_F(Profile, ARepeatedCarriageReturnDoesNotSpoilTheStoredDate)
{
    TempFolder::write(ini, "[Today]\r\r\nCurrent date=2013年6月5日\r\r\n");
    EXPECT_EQ(read_profile_value(ini, "Today", "Current date"), "2013年6月5日");
}

TEST_F(Profile, AKeyThatWouldReadAsASectionIsRefused)
{
    TempFolder::write(ini, "[Today]\r\nStage one=1\r\n");
    EXPECT_FALSE(write_profile_value(ini, "Today", "[Stage two", "2"));
    EXPECT_EQ(TempFolder::read(ini), "[Today]\r\nStage one=1\r\n");
}

// A progress file may be a link to a file kept elsewhere: the save updates
// that file and the link stays a link.
TEST_F(Profile, SymbolicLinksAreWrittenThrough)
{
    fs::create_directory(dir.path() / "elsewhere");
    const fs::path real = dir.path() / "elsewhere" / "1.ini";
    TempFolder::write(real.string(), "[Today]\r\nStage one=old\r\n");
    fs::create_symlink("elsewhere/1.ini", dir.path() / "hop.ini"); // relative to the link
    fs::create_symlink(dir.path() / "hop.ini", ini);                // a chain of two

    ASSERT_TRUE(write_profile_value(ini, "Today", "Stage one", "new"));
    EXPECT_TRUE(fs::is_symlink(ini));
    EXPECT_TRUE(fs::is_symlink(dir.path() / "hop.ini"));
    EXPECT_EQ(TempFolder::read(real.string()), "[Today]\r\nStage one=new\r\n");
    EXPECT_EQ(read_profile_value(ini, "Today", "Stage one"), "new");
    EXPECT_EQ(static_cast<size_t>(std::distance(fs::directory_iterator(real.parent_path()), {})), 1u);

    // A link to a file not there yet creates that file.
    const std::string dangling = dir.file("2.ini");
    fs::create_symlink("elsewhere/2.ini", dangling);
    ASSERT_TRUE(write_profile_value(dangling, "Today", "Stage one", "v"));
    EXPECT_TRUE(fs::is_symlink(dangling));
    EXPECT_EQ(TempFolder::read(dir.file("elsewhere/2.ini")), "[Today]\r\nStage one=v\r\n");

    // A loop of links names no file at all.
    fs::create_symlink("loop-b.ini", dir.path() / "loop-a.ini");
    fs::create_symlink("loop-a.ini", dir.path() / "loop-b.ini");
    EXPECT_FALSE(write_profile_value(dir.file("loop-a.ini"), "Today", "Stage one", "v"));
    EXPECT_TRUE(fs::is_symlink(dir.path() / "loop-a.ini"));
}

TEST_F(Profile, AStaleTemporaryFileIsReusedNotLeftBeside)
{
    TempFolder::write(ini + ".tmp", "half of an earlier save");
    ASSERT_TRUE(write_profile_value(ini, "Today", "Stage one", "v"));
    EXPECT_EQ(TempFolder::read(ini), "[Today]\r\nStage one=v\r\n");
    EXPECT_EQ(files_in_folder(), 1u);
}

// Files and folders of other users. Tests run as root here; the writes run in
// a child that has become the unprivileged user nobody.
class ProfileOfOtherUsers : public Profile {
protected:
    static constexpr uid_t nobody = 65534;
    static constexpr gid_t nogroup = 65534;

    void SetUp() override
    {
        if (::geteuid() != 0)
            GTEST_SKIP() << "only root can act as another user";
    }

    // True when body, run as nobody, returns true.
    static bool as_nobody(const std::function<bool()>& body)
    {
        pid_t child = ::fork();
        if (child == 0) {
            if (::setgid(nogroup) != 0 || ::setuid(nobody) != 0)
                ::_exit(2);
            ::_exit(body() ? 0 : 1);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }

    struct Identity {
        ino_t inode;
        uid_t owner;
        gid_t group;
        mode_t mode;
        friend bool operator==(const Identity&, const Identity&) = default;
    };
    Identity identity() const
    {
        struct stat st {};
        ::stat(ini.c_str(), &st);
        return {st.st_ino, st.st_uid, st.st_gid, st.st_mode};
    }
    void folder_mode(fs::perms perms) const { fs::permissions(dir.path(), perms); }
};

TEST_F(ProfileOfOtherUsers, AFileTheUserMayNotWriteStaysAsItIs)
{
    folder_mode(fs::perms::all); // anyone could rename over the file
    const std::string before = "[Today]\r\nStage one=old\r\n";
    TempFolder::write(ini, before);
    fs::permissions(ini, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                             fs::perms::others_read);
    const Identity was = identity();

    EXPECT_TRUE(as_nobody([&] {
        return !write_profile_value(ini, "Today", "Stage one", "new") &&
               read_profile_value(ini, "Today", "Stage one") == "old";
    }));
    EXPECT_EQ(TempFolder::read(ini), before);
    EXPECT_EQ(identity(), was);
    EXPECT_EQ(files_in_folder(), 1u);
}

TEST_F(ProfileOfOtherUsers, AWritableFileInAnUnwritableFolderIsUpdatedInPlace)
{
    folder_mode(fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                fs::perms::others_read | fs::perms::others_exec);
    TempFolder::write(ini, "[Today]\r\nStage one=" + std::string(300, 'o') + "\r\nStage two=2\r\n");
    ASSERT_EQ(::chown(ini.c_str(), nobody, nogroup), 0);
    const Identity was = identity();

    // Both a shorter and a longer file than before.
    EXPECT_TRUE(as_nobody([&] {
        return write_profile_value(ini, "Today", "Stage one", "short") &&
               read_profile_value(ini, "Today", "Stage one") == "short";
    }));
    EXPECT_EQ(TempFolder::read(ini), "[Today]\r\nStage one=short\r\nStage two=2\r\n");
    EXPECT_TRUE(as_nobody([&] { return write_profile_value(ini, "Aggregate", "Stage one", "long"); }));
    EXPECT_EQ(TempFolder::read(ini), "[Today]\r\nStage one=short\r\nStage two=2\r\n"
                                     "[Aggregate]\r\nStage one=long\r\n");
    EXPECT_EQ(identity(), was);
    EXPECT_EQ(files_in_folder(), 1u);

    // A missing file still cannot be made there.
    EXPECT_TRUE(as_nobody([&] { return !write_profile_value(dir.file("2.ini"), "Today", "A", "1"); }));
    EXPECT_EQ(files_in_folder(), 1u);
}

TEST_F(ProfileOfOtherUsers, ASaveKeepsTheFilesOwnerAndMode)
{
    folder_mode(fs::perms::all);
    // Root saving a file that belongs to nobody.
    TempFolder::write(ini, "[Today]\r\nStage one=old\r\n");
    ASSERT_EQ(::chown(ini.c_str(), nobody, nogroup), 0);
    fs::permissions(ini, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    Identity was = identity();
    ASSERT_TRUE(write_profile_value(ini, "Today", "Stage one", "by root"));
    Identity now = identity();
    EXPECT_EQ(std::tie(now.owner, now.group, now.mode), std::tie(was.owner, was.group, was.mode));

    // Nobody saving root's file through its group's write permission: no
    // new file could be given root as owner, so the file is written in place.
    ASSERT_EQ(::chown(ini.c_str(), 0, nogroup), 0);
    fs::permissions(ini, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                             fs::perms::group_write);
    was = identity();
    EXPECT_TRUE(as_nobody([&] { return write_profile_value(ini, "Today", "Stage one", "by nobody"); }));
    EXPECT_EQ(read_profile_value(ini, "Today", "Stage one"), "by nobody");
    EXPECT_EQ(identity(), was);
    EXPECT_EQ(files_in_folder(), 1u);
}

TEST_F(Profile, SeveralValuesAreStoredTogetherLeavingOutTheUnstorable)
{
    TempFolder::write(ini, "[Today]\r\nStage one=old\r\n");
    const ProfileEntry entries[] = {
        {"Today", "Current date", "2013年6月5日"},
        {"Today", "Stage one", "1"},
        {"Today", "[Stage two", "x"},
        {"Aggregate", "Stage one", "2"},
    };
    EXPECT_FALSE(write_profile_values(ini, entries)) << "one entry could not be stored";
    EXPECT_EQ(TempFolder::read(ini), "[Today]\r\nStage one=1\r\nCurrent date=2013年6月5日\r\n"
                                     "[Aggregate]\r\nStage one=2\r\n");

    const ProfileEntry stored[] = {{"Today", "Stage one", "3"}, {"Today", "Stage one", "4"}};
    EXPECT_TRUE(write_profile_values(ini, stored));
    EXPECT_EQ(read_profile_value(ini, "Today", "Stage one"), "4") << "later entries win";

    const ProfileEntry none[] = {{"", "Stage one", "x"}, {"Today", "A=B", "x"}};
    const std::string other = dir.file("2.ini");
    EXPECT_FALSE(write_profile_values(other, none));
    EXPECT_FALSE(fs::exists(other));
}
