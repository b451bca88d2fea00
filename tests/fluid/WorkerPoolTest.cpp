#include "fluid/WorkerPool.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace velmorra {
namespace {

TEST(WorkerPool, RunsEveryPartExactlyOnceJobAfterJob) {
    for (int threads : {1, 2, 5}) {
        WorkerPool pool(threads);
        EXPECT_EQ(pool.getThreadCount(), threads);
        for (int parts : {0, 1, 3, 64}) {
            // Many short jobs in a row, as one per frame, each seeing the previous one finished.
            for (int job = 0; job < 200; ++job) {
                std::vector<std::atomic<int>> runs(parts);
                pool.run(parts, [&](int part) { runs[part].fetch_add(1); });
                for (int part = 0; part < parts; ++part) {
                    ASSERT_EQ(runs[part].load(), 1) << threads << " threads, part " << part
                                                    << " of " << parts << ", job " << job;
                }
            }
        }
    }
}

TEST(WorkerPool, SharesTheWorkOutAmongItsThreads) {
    WorkerPool pool(2);
    std::atomic<bool> otherThreadRan{false};
    const auto caller = std::this_thread::get_id();
    // Parts that wait for each other can only finish when a second thread takes one.
    std::atomic<int> started{0};
    pool.run(2, [&](int) {
        started.fetch_add(1);
        while (started.load() < 2) {
            std::this_thread::yield();
        }
        if (std::this_thread::get_id() != caller) {
            otherThreadRan = true;
        }
    });
    EXPECT_TRUE(otherThreadRan);
}

// From one job to the next the same thread tends to get the same parts: the caller a run from
// the first part on, the pool's threads the rest, from the last part down.
TEST(WorkerPool, CallerTakesTheFirstPartsAndWorkersTheLastOnes) {
    for (int threads : {2, 3}) {
        WorkerPool pool(threads);
        for (int job = 0; job < 50; ++job) {
            constexpr int parts = 16;
            std::mutex guard;
            std::vector<std::pair<std::thread::id, int>> order;
            pool.run(parts, [&](int part) {
                const std::lock_guard lock(guard);
                order.emplace_back(std::this_thread::get_id(), part);
            });
            std::vector<int> callerParts;
            std::map<std::thread::id, std::vector<int>> workerParts;
            for (const auto& [thread, part] : order) {
                (thread == std::this_thread::get_id() ? callerParts : workerParts[thread])
                    .push_back(part);
            }
            for (std::size_t i = 0; i < callerParts.size(); ++i) {
                ASSERT_EQ(callerParts[i], static_cast<int>(i)) << threads << " threads";
            }
            for (const auto& [thread, taken] : workerParts) {
                ASSERT_TRUE(std::is_sorted(taken.rbegin(), taken.rend())) << threads << " threads";
                ASSERT_GE(taken.back(), static_cast<int>(callerParts.size()));
            }
            ASSERT_EQ(order.size(), static_cast<std::size_t>(parts));
        }
    }
}

} // namespace
} // namespace velmorra
