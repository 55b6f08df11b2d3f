// Reading at offsets from memory and from files.
#include "sound/byte_source.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/temp_folder.h"

namespace {

std::string read(ByteSource& source, std::uint64_t offset, std::size_t count)
{
    std::string out(count, '\0');
    out.resize(source.read_at(offset, reinterpret_cast<unsigned char*>(out.data()), count));
    return out;
}

struct ReadCase {
    std::uint64_t offset;
    std::size_t count;
    const char* expected;
};

const ReadCase read_cases[] = {
    {0, 4, "0123"}, {6, 4, "6789"}, {8, 4, "89"}, {9, 1, "9"},
    {10, 4, ""},    {11, 1, ""},    {3, 0, ""},   {UINT64_MAX, 8, ""},
};

std::string backslashed(std::string path)
{
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

} // namespace

TEST(SoundByteSource, MemoryReadsStopAtTheEnd)
{
    MemoryByteSource source("0123456789");
    EXPECT_EQ(source.size(), 10u);
    for (const ReadCase& c : read_cases)
        EXPECT_EQ(read(source, c.offset, c.count), c.expected) << c.offset << "+" << c.count;
}

TEST(SoundByteSource, FileReadsAtOffsetsThroughABackslashedPath)
{
    TempFolder folder;
    TempFolder::write(folder.file("track.mp3"), "0123456789");
    auto source = open_file_source(backslashed(folder.file("track.mp3")));
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(source->size(), 10u);
    for (const ReadCase& c : read_cases)
        EXPECT_EQ(read(*source, c.offset, c.count), c.expected) << c.offset << "+" << c.count;
}

TEST(SoundByteSource, MissingFilesAndFoldersDoNotOpen)
{
    TempFolder folder;
    const std::string paths[] = {"", folder.file("missing.mp3"), folder.path().string(),
                                 folder.file("missing/1.mp3")};
    for (const std::string& path : paths)
        EXPECT_EQ(open_file_source(path), nullptr) << path;
}

TEST(SoundByteSource, EmptyFileOpensWithNoBytes)
{
    TempFolder folder;
    TempFolder::write(folder.file("empty.mp3"), "");
    auto source = open_file_source(folder.file("empty.mp3"));
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(source->size(), 0u);
    EXPECT_EQ(read(*source, 0, 4), "");
}
