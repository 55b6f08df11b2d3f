// The few file-system operations the progress records need, one
// implementation per platform. Paths are GBK texts; '\' separates folders.
#pragma once

#include <string>
#include <string_view>

struct FileContents {
    enum Status { read, missing, unreadable } status;
    std::string bytes;
};

// The whole file. Missing (no such file) and unreadable are told apart so
// that a writer never mistakes a file it cannot read for an empty one.
FileContents read_whole_file(std::string_view path);

// Replaces the file's contents, or creates the file, so that at every instant
// (crash and power loss included) it holds either the old or the new bytes.
// Links are written through, and the file keeps its owner and permissions.
// Where no new file can take its place (a folder the user may not write) an
// existing file is rewritten in place instead. False, with the file
// untouched, when the folder is missing, the file cannot be created, or the
// user may not write it (read-only counts even for an administrator). Never
// creates a folder. A temporary file left by a killed write is reused.
bool replace_file_contents(std::string_view path, std::string_view contents);

// The folder of the running executable, without a trailing separator.
std::string executable_folder();

// Makes the folder the process's current one; false when it cannot.
bool enter_folder(std::string_view path);
