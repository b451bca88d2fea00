#pragma once

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <thread>
#include <type_traits>
#include <vector>

namespace velmorra {

// A few threads that stay for the whole run and share out numbered parts of one job at a time,
// so that a job that is short but repeated every frame pays no thread start-up. The calling
// thread takes parts too; run returns once every part is done. The calling thread takes parts in
// increasing order from the first, the pool's threads in decreasing order from the last, each
// as soon as it is free; a job must not depend on which thread runs a part.
class WorkerPool {
  public:
    // threadCount counts the caller: a pool of 1 runs everything on the calling thread. Threads
    // the system refuses to start are done without.
    explicit WorkerPool(int threadCount);
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    int getThreadCount() const { return static_cast<int>(workers.size()) + 1; }

    // Calls part(p) once for every p in 0 .. parts - 1. Not reentrant: one job at a time.
    template <typename Part> void run(int parts, Part&& part) {
        using Callable = std::remove_reference_t<Part>;
        runParts(parts, [](void* context, int p) { (*static_cast<Callable*>(context))(p); }, &part);
    }

    // Calls range(first, end) over consecutive slices that together cover 0 .. units - 1, on
    // the pool's threads, or as one slice on the calling thread when there is no pool. Slices
    // outnumber threads so that a thread the system runs late leaves its share to the others.
    template <typename Range> static void shareOut(WorkerPool* pool, int units, Range&& range) {
        if (pool == nullptr || pool->workers.empty() || units <= 1) {
            range(0, units);
            return;
        }
        const int parts = std::min(units, pool->getThreadCount() * slicesPerThread);
        pool->run(parts, [&](int p) { range(units * p / parts, units * (p + 1) / parts); });
    }

    // The processor's cores, at least 1: the thread count of a pool that uses the whole machine.
    static int coreCount();

  private:
    static constexpr int slicesPerThread = 4;
    using PartFunction = void (*)(void* context, int part);

    void runParts(int parts, PartFunction function, void* context);
    void serve();
    bool takeSeat();
    void takeParts(bool fromFront);
    // The parts not yet taken, first and end, in one word so that both ends move atomically.
    static std::uint64_t packedRange(int first, int end) {
        return static_cast<std::uint64_t>(static_cast<std::uint32_t>(first)) << 32 |
               static_cast<std::uint32_t>(end);
    }
    static int firstOf(std::uint64_t range) { return static_cast<int>(range >> 32); }
    static int endOf(std::uint64_t range) { return static_cast<int>(range & 0xFFFFFFFFu); }

    std::vector<std::thread> workers;
    // A new job is announced by a new generation; stopping is announced the same way.
    std::atomic<unsigned> generation{0};
    std::atomic<bool> stopping{false};
    // A worker joins a job only by taking one of its seats, and the caller closes the seats once
    // its own share is done: a worker that wakes late finds them closed and leaves the job alone,
    // so the caller never waits for a thread that has not started.
    std::atomic<int> openSeats{0};
    std::atomic<int> leftWorkers{0};
    std::atomic<std::uint64_t> partsLeft{0};
    PartFunction partFunction = nullptr;
    void* partContext = nullptr;
};

} // namespace velmorra
