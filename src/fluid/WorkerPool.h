#pragma once

#include <atomic>
#include <thread>
#include <vector>

namespace velmorra {

// A few threads that stay for the whole run and share out numbered parts of one job at a time,
// so that a job that is short but repeated every frame pays no thread start-up. The calling
// thread takes parts too; run returns once every part is done. Parts are handed out in
// increasing order to whichever thread asks first, so a job must not depend on which thread runs
// a part.
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
        runParts(parts, [](void* context, int p) { (*static_cast<Part*>(context))(p); }, &part);
    }

    // One thread per processor core, made on first use.
    static WorkerPool& forAllCores();

  private:
    using PartFunction = void (*)(void* context, int part);

    void runParts(int parts, PartFunction function, void* context);
    void serve();
    bool takeSeat();
    void takeParts();

    std::vector<std::thread> workers;
    // A new job is announced by a new generation; stopping is announced the same way.
    std::atomic<unsigned> generation{0};
    std::atomic<bool> stopping{false};
    // A worker joins a job only by taking one of its seats, and the caller closes the seats once
    // its own share is done: a worker that wakes late finds them closed and leaves the job alone,
    // so the caller never waits for a thread that has not started.
    std::atomic<int> openSeats{0};
    std::atomic<int> leftWorkers{0};
    std::atomic<int> nextPart{0};
    PartFunction partFunction = nullptr;
    void* partContext = nullptr;
    int partCount = 0;
};

} // namespace velmorra
