// What this process holds, read from Linux's /proc: threads, open files,
// resident memory and live heap bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
// AddressSanitizer keeps its own heap; GCC ships no header for its counters.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#else
#include <malloc.h>
#endif

struct ProcessUsage {
    std::size_t threads = 0;
    std::size_t open_files = 0;
    std::uint64_t resident_kib = 0;
    std::uint64_t heap_bytes = 0; // allocated and not yet freed
};

inline ProcessUsage process_usage()
{
    namespace fs = std::filesystem;
    ProcessUsage u;
    u.threads = static_cast<std::size_t>(
        std::distance(fs::directory_iterator("/proc/self/task"), fs::directory_iterator{}));
    // The listing holds one descriptor of its own, the same on every call.
    u.open_files =
        static_cast<std::size_t>(std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator{}));
    std::uint64_t pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    u.resident_kib = resident * static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE)) / 1024;
#if defined(__SANITIZE_ADDRESS__)
    u.heap_bytes = __sanitizer_get_current_allocated_bytes();
#else
    u.heap_bytes = mallinfo2().uordblks;
#endif
    return u;
}
