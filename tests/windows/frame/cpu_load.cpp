// Keeps every processor busy for the given number of seconds, so a test can
// see how the frame's timer copes with a loaded machine.
#include <atomic>
#include <cstdlib>
#include <thread>
#include <vector>

int main(int argc, char** argv)
{
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 10;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    std::atomic<unsigned long long> work{0};
    std::vector<std::thread> threads;
    const unsigned count = std::thread::hardware_concurrency() ? std::thread::hardware_concurrency() : 2;
    for (unsigned i = 0; i < count; ++i)
        threads.emplace_back([&] {
            while (std::chrono::steady_clock::now() < end)
                work.fetch_add(1, std::memory_order_relaxed);
        });
    for (std::thread& t : threads)
        t.join();
    return work.load() > 0 ? 0 : 1;
}
