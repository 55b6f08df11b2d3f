// How long the progress records take: reading one value of a normal progress
// file, the seven writes of a save, and the duration text both ways.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <unistd.h>

#include "progress/duration_text.h"
#include "progress/profile.h"

namespace {

// A progress file as a save writes it, removed when the run ends.
struct SampleFile {
    std::string path = (std::filesystem::temp_directory_path() /
                        ("burnin-bench-" + std::to_string(::getpid()) + ".ini"))
                           .string();
    SampleFile()
    {
        write_profile_value(path, "Today", "Current date", "2013年6月5日");
        for (const char* key : {"Stage one", "Stage two", "Stage three"}) {
            write_profile_value(path, "Today", key, "1小时05分09秒");
            write_profile_value(path, "Aggregate", key, "12小时30分00秒");
        }
    }
    ~SampleFile() { std::remove(path.c_str()); }
};

std::string sample_file()
{
    static SampleFile file;
    return file.path;
}

void ReadProgressValue(benchmark::State& state)
{
    std::string path = sample_file();
    for (auto _ : state)
        benchmark::DoNotOptimize(read_profile_value(path, "Aggregate", "Stage three"));
}
BENCHMARK(ReadProgressValue);

void SaveProgress(benchmark::State& state)
{
    std::string path = sample_file();
    for (auto _ : state) {
        write_profile_value(path, "Today", "Current date", "2013年6月5日");
        for (const char* key : {"Stage one", "Stage two", "Stage three"}) {
            write_profile_value(path, "Today", key, "1小时05分09秒");
            write_profile_value(path, "Aggregate", key, "12小时30分00秒");
        }
    }
}
BENCHMARK(SaveProgress)->Unit(benchmark::kMillisecond);

void FormatDuration(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(format_duration(123, 5, 9));
}
BENCHMARK(FormatDuration);

void ParseDuration(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(parse_duration("123小时05分09秒"));
}
BENCHMARK(ParseDuration);

} // namespace
