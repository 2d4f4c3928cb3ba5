// Prints how fast the weighing engine takes reports (NewData + Weight, as the
// main window does per report) and how many heap allocations a report costs
// once the engine runs in steady state. Goals: under 1 us and 0 allocations.
#include "CScaleCalc.h"
#include "ManualTickTimer.h"
#include "ScaleReports.h"

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <vector>

namespace {
std::atomic<long long> gAllocations {0};
}

void* operator new(std::size_t size)
{
    ++gAllocations;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}

int main()
{
    // A realistic stream: an empty platform, parcels put on and taken off, noise of a count or two.
    std::vector<std::array<std::uint8_t, 9>> reports;
    std::uint32_t seed = 12345;
    for (int i = 0; i < 100000; ++i) {
        seed = seed * 1664525u + 1013904223u;
        const int load = (i / 300) % 3 == 1 ? 4000 + (i / 900) * 7 : 0;
        const int adc = load + static_cast<int>(seed >> 30) - 1;
        reports.push_back(scaleReport(adc));
    }

    ManualTickTimer timer;
    CScaleCalc calc(timer);
    long long events = 0;
    calc.StatusChange = [&events](std::int32_t&) {
        ++events;
    };
    calc.ScaleError = [&events](std::int32_t&) {
        ++events;
    };

    // Warm up past initialisation, then measure.
    std::int64_t now = 0;
    double sink = 0;
    for (int i = 0; i < 1000; ++i) {
        timer.AdvanceTo(now += 100);
        calc.NewData(reports[static_cast<std::size_t>(i)]);
        sink += calc.Weight();
    }
    const int rounds = 20;
    const long long before = gAllocations.load();
    const auto start = std::chrono::steady_clock::now();
    for (int r = 0; r < rounds; ++r) {
        for (const auto& report : reports) {
            timer.AdvanceTo(now += 100);
            calc.NewData(report);
            sink += calc.Weight();
        }
    }
    const auto elapsed = std::chrono::steady_clock::now() - start;
    const long long allocations = gAllocations.load() - before;
    const double n = static_cast<double>(rounds) * static_cast<double>(reports.size());
    const double seconds = std::chrono::duration<double>(elapsed).count();
    std::printf("reports: %.0f\n", n);
    std::printf("reports per second: %.0f\n", n / seconds);
    std::printf("ns per report: %.1f (goal < 1000)\n", seconds * 1e9 / n);
    std::printf("heap allocations per report: %.4f (goal 0)\n", static_cast<double>(allocations) / n);
    std::printf("events raised: %lld (checksum %.3f)\n", events, sink);
    return 0;
}
