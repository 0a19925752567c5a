// Cost of one exchange through the transport and the simulated keyboard, printed as ratios
// against floors measured in the same run:
//   (a) no reply delay: the tool's median and 99th percentile per exchange next to a bare
//       two-thread request/reply loop (the least any threaded reply path can cost);
//   (b) full-speed USB timing: wall time of N exchanges against N x 2 ms;
//   (c) two threads exchanging at once in full-speed timing: total against the sum of floors.

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <ctime>
#include <mutex>
#include <thread>
#include <vector>

#include "device/command_result.h"
#include "device/device_report.h"
#include "device/transport.h"
#include "sim/sim_hid_service.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

double Micros(Clock::duration d) {
    return std::chrono::duration<double, std::micro>(d).count();
}

struct Percentiles {
    double median;
    double p99;
};

Percentiles Summarise(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    return {samples[samples.size() / 2], samples[samples.size() * 99 / 100]};
}

double CpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

// The floor for (a): one thread hands a 64-byte request to another and waits for the answer,
// a mutex and a condition variable each way and nothing else.
std::vector<double> BareLoop(int rounds) {
    struct Direction {
        std::mutex mutex;
        std::condition_variable cv;
        bool ready = false;
        std::array<std::uint8_t, 64> bytes{};
    };
    Direction toResponder;
    Direction toCaller;
    std::atomic<bool> stop{false};
    const auto post = [](Direction& d, const std::array<std::uint8_t, 64>& bytes) {
        {
            std::lock_guard lock(d.mutex);
            d.bytes = bytes;
            d.ready = true;
        }
        d.cv.notify_one();
    };
    const auto take = [](Direction& d) {
        std::unique_lock lock(d.mutex);
        d.cv.wait(lock, [&] { return d.ready; });
        d.ready = false;
        return d.bytes;
    };
    std::thread responder([&] {
        for (;;) {
            const auto request = take(toResponder);
            if (stop.load()) {
                return;
            }
            post(toCaller, request);
        }
    });
    std::vector<double> samples;
    samples.reserve(static_cast<std::size_t>(rounds));
    std::array<std::uint8_t, 64> request{};
    for (int i = 0; i < rounds; ++i) {
        const auto start = Clock::now();
        request[3] = static_cast<std::uint8_t>(i);
        post(toResponder, request);
        (void)take(toCaller);
        samples.push_back(Micros(Clock::now() - start));
    }
    stop.store(true);
    post(toResponder, request);
    responder.join();
    return samples;
}

std::vector<double> TimedExchanges(qv::device::Transport& transport, int rounds) {
    const auto request =
        qv::device::DeviceReport::Request(qv::device::CMD_READ_SETTINGS, 44, 0).bytes();
    std::array<std::uint8_t, 64> reply{};
    std::vector<double> samples;
    samples.reserve(static_cast<std::size_t>(rounds));
    for (int i = 0; i < rounds; ++i) {
        std::size_t received = 0;
        const auto start = Clock::now();
        if (transport.Exchange(request, reply, received) != qv::device::kSuccess) {
            std::fprintf(stderr, "exchange %d failed\n", i);
            std::exit(1);
        }
        samples.push_back(Micros(Clock::now() - start));
    }
    return samples;
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 20000;
    const int fullSpeedRounds = argc > 2 ? std::atoi(argv[2]) : 500;

    qv::sim::SimHidService keyboard;
    qv::device::Transport transport(keyboard);
    if (!transport.Load(nullptr)) {
        return 1;
    }

    // (a)
    TimedExchanges(transport, rounds / 10);  // warm up
    BareLoop(rounds / 10);
    const Percentiles bare = Summarise(BareLoop(rounds));
    const Percentiles tool = Summarise(TimedExchanges(transport, rounds));
    std::printf("(a) %d exchanges, no reply delay\n", rounds);
    std::printf("    bare two-thread loop: median %7.2f us   p99 %7.2f us\n", bare.median,
                bare.p99);
    std::printf("    transport + sim:      median %7.2f us   p99 %7.2f us\n", tool.median,
                tool.p99);
    std::printf("    above the bare loop:  median %7.2f us   p99 %7.2f us   (aim: median <= 25)\n",
                tool.median - bare.median, tool.p99 - bare.p99);

    // (b)
    keyboard.SetTiming({qv::sim::SimTiming::Mode::FullSpeed, {}});
    TimedExchanges(transport, 20);
    double cpuStart = CpuSeconds();
    auto start = Clock::now();
    TimedExchanges(transport, fullSpeedRounds);
    const double wallB = Micros(Clock::now() - start) / 1000.0;
    const double cpuB = (CpuSeconds() - cpuStart) * 1000.0;
    const double floorB = fullSpeedRounds * 2.0;
    std::printf("(b) %d exchanges, full-speed timing\n", fullSpeedRounds);
    std::printf("    wall %.1f ms, floor %.1f ms: ratio %.4f (aim: <= 1.01); CPU %.1f ms\n", wallB,
                floorB, wallB / floorB, cpuB);

    // (c)
    const int perThread = fullSpeedRounds / 2;
    cpuStart = CpuSeconds();
    start = Clock::now();
    std::thread other([&] { TimedExchanges(transport, perThread); });
    TimedExchanges(transport, perThread);
    other.join();
    const double wallC = Micros(Clock::now() - start) / 1000.0;
    const double cpuC = (CpuSeconds() - cpuStart) * 1000.0;
    const double floorC = 2.0 * perThread * 2.0;
    std::printf("(c) 2 threads x %d exchanges at once, full-speed timing\n", perThread);
    std::printf("    wall %.1f ms, sum of floors %.1f ms: ratio %.4f (aim: <= 1.01); CPU %.1f ms\n",
                wallC, floorC, wallC / floorC, cpuC);
    return 0;
}
