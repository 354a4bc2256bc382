#include "platform/ProgressThrottle.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

using vellumar::ProgressThrottle;

TEST(ProgressThrottle, ReportsFirstThenOnlyAfterMoreThanTheInterval) {
    std::int64_t now = 10'000;
    ProgressThrottle throttle(std::chrono::milliseconds(500), [&] { return now; });
    EXPECT_TRUE(throttle.due());
    now += 500;
    EXPECT_FALSE(throttle.due()) << "exactly the interval is not yet more than it";
    now += 1;
    EXPECT_TRUE(throttle.due());
    EXPECT_FALSE(throttle.due());
    throttle.reset();
    EXPECT_TRUE(throttle.due());
}

TEST(ProgressThrottle, ConcurrentCallersReportOncePerInterval) {
    std::atomic<std::int64_t> now{0};
    ProgressThrottle throttle(std::chrono::milliseconds(500), [&] { return now.load(); });
    ASSERT_TRUE(throttle.due());
    now = 1000;
    std::atomic<int> reports{0};
    std::vector<std::thread> threads;
    for (int i = 0; i < 8; ++i)
        threads.emplace_back([&] {
            for (int k = 0; k < 1000; ++k)
                if (throttle.due()) ++reports;
        });
    for (auto& t : threads) t.join();
    EXPECT_EQ(reports.load(), 1);
}
