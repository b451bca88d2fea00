#include "fluid/WorkerPool.h"

#include <gtest/gtest.h>

#include <atomic>
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

} // namespace
} // namespace velmorra
