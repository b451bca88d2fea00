#include "fluid/WorkerPool.h"

#include <chrono>
#include <system_error>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace velmorra {

namespace {

using SpinClock = std::chrono::steady_clock;

// Waking a sleeping thread takes tens of microseconds, and on a virtual machine sometimes
// longer than a whole field pass; a thread that has just finished a job therefore watches for
// the next one this long before it sleeps. Jobs come in bursts, a few per frame.
constexpr auto spinBeforeSleep = std::chrono::microseconds(500);

void relax() {
#if defined(__x86_64__) || defined(__i386__)
    _mm_pause();
#endif
}

// Watches value until it differs from old or the spin time is up; returns what it last read.
template <typename T> T spinWhileEqual(const std::atomic<T>& value, T old) {
    const auto deadline = SpinClock::now() + spinBeforeSleep;
    T seen = value.load(std::memory_order_acquire);
    for (int polls = 0; seen == old; seen = value.load(std::memory_order_acquire)) {
        relax();
        // The clock costs more than a poll; look at it now and then.
        if (++polls % 64 == 0 && SpinClock::now() > deadline) {
            break;
        }
    }
    return seen;
}

} // namespace

WorkerPool::WorkerPool(int threadCount) {
    for (int t = 1; t < threadCount; ++t) {
        try {
            workers.emplace_back([this] { serve(); });
        } catch (const std::system_error&) {
            break;
        }
    }
}

WorkerPool::~WorkerPool() {
    stopping.store(true, std::memory_order_relaxed);
    generation.fetch_add(1, std::memory_order_release);
    generation.notify_all();
    for (std::thread& worker : workers) {
        worker.join();
    }
}

int WorkerPool::coreCount() {
    return std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
}

void WorkerPool::runParts(int parts, PartFunction function, void* context) {
    if (workers.empty() || parts <= 1) {
        for (int p = 0; p < parts; ++p) {
            function(context, p);
        }
        return;
    }
    partFunction = function;
    partContext = context;
    partsLeft.store(packedRange(0, parts), std::memory_order_relaxed);
    leftWorkers.store(0, std::memory_order_relaxed);
    const int seats = static_cast<int>(workers.size());
    openSeats.store(seats, std::memory_order_release);
    generation.fetch_add(1, std::memory_order_release);
    generation.notify_all();
    takeParts(true);
    const int joined = seats - openSeats.exchange(0, std::memory_order_acq_rel);
    // The workers that joined are on their last parts and finish soon.
    for (int left = leftWorkers.load(std::memory_order_acquire); left != joined;
         left = leftWorkers.load(std::memory_order_acquire)) {
        if (spinWhileEqual(leftWorkers, left) == left) {
            leftWorkers.wait(left, std::memory_order_acquire);
        }
    }
}

void WorkerPool::serve() {
    unsigned seen = 0;
    for (;;) {
        if (spinWhileEqual(generation, seen) == seen) {
            generation.wait(seen, std::memory_order_acquire);
        }
        seen = generation.load(std::memory_order_acquire);
        if (stopping.load(std::memory_order_relaxed)) {
            return;
        }
        if (takeSeat()) {
            takeParts(false);
            leftWorkers.fetch_add(1, std::memory_order_release);
            leftWorkers.notify_one();
        }
    }
}

bool WorkerPool::takeSeat() {
    int seats = openSeats.load(std::memory_order_acquire);
    while (seats > 0) {
        if (openSeats.compare_exchange_weak(seats, seats - 1, std::memory_order_acquire)) {
            return true;
        }
    }
    return false;
}

// The caller takes parts from the front and the workers from the back, so that from one job to
// the next of the same shape each thread tends to get the same parts, whose memory its cache
// still holds.
void WorkerPool::takeParts(bool fromFront) {
    for (std::uint64_t range = partsLeft.load(std::memory_order_relaxed);;) {
        const int first = firstOf(range);
        const int end = endOf(range);
        if (first >= end) {
            return;
        }
        const int part = fromFront ? first : end - 1;
        const std::uint64_t rest = fromFront ? packedRange(first + 1, end) : packedRange(first, end - 1);
        if (partsLeft.compare_exchange_weak(range, rest, std::memory_order_relaxed)) {
            partFunction(partContext, part);
            range = partsLeft.load(std::memory_order_relaxed);
        }
    }
}

} // namespace velmorra
