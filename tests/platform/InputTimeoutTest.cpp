#include "platform/InputTimeout.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "support/VirtualTimers.h"

namespace pictavo {
namespace {

// Records when each action ran and for whom.
struct Runs {
    testing::VirtualTimers& clock;
    std::vector<std::pair<uint64_t, std::string>> log;
    TInputTimeout::Action Save(const std::string& what) {
        return [this, what](TInputTimeout::Sender) { log.emplace_back(clock.Now(), what); };
    }
};

class InputTimeoutTest : public ::testing::Test {
protected:
    testing::VirtualTimers clock;
    Runs runs{clock, {}};
    int checkBox = 0, otherBox = 0;  // two senders
};

TEST_F(InputTimeoutTest, BurstFromOneSenderRunsOnceAfterTheLastRequest) {
    TInputTimeout timeout(clock, 2250);
    for (int i = 0; i < 10; ++i) {
        timeout.Schedule(&checkBox, runs.Save("settings"));
        clock.Advance(200);
    }
    // The last request came at 1800 ms.
    clock.Advance(2250 - 200 - 1);
    EXPECT_TRUE(runs.log.empty());
    clock.Advance(1);
    ASSERT_EQ(runs.log.size(), 1u);
    EXPECT_EQ(runs.log[0].first, 1800u + 2250u);
    clock.Advance(10000);
    EXPECT_EQ(runs.log.size(), 1u);
}

TEST_F(InputTimeoutTest, ADifferentSenderRunsThePendingActionFirst) {
    TInputTimeout timeout(clock, 2250);
    timeout.Schedule(&checkBox, runs.Save("first"));
    clock.Advance(1000);
    timeout.Schedule(&otherBox, runs.Save("second"));
    ASSERT_EQ(runs.log.size(), 1u);
    EXPECT_EQ(runs.log[0], std::make_pair(uint64_t{1000}, std::string("first")));
    clock.Advance(2250);
    ASSERT_EQ(runs.log.size(), 2u);
    EXPECT_EQ(runs.log[1], std::make_pair(uint64_t{3250}, std::string("second")));
}

TEST_F(InputTimeoutTest, FlushRunsNowAndTheLaterTickFindsNothing) {
    TInputTimeout timeout(clock, 2250);
    timeout.Flush();  // nothing pending: nothing happens
    EXPECT_TRUE(runs.log.empty());
    timeout.Schedule(&checkBox, runs.Save("save"));
    clock.Advance(100);
    timeout.Flush();
    ASSERT_EQ(runs.log.size(), 1u);
    EXPECT_EQ(runs.log[0].first, 100u);
    clock.Advance(5000);
    EXPECT_EQ(runs.log.size(), 1u);
}

TEST_F(InputTimeoutTest, CloseRunsThePendingActionAndDropsLaterRequests) {
    TInputTimeout timeout(clock, 2250);
    timeout.Schedule(&checkBox, runs.Save("settings"));
    timeout.Close();
    ASSERT_EQ(runs.log.size(), 1u);
    // What a closed component's actions would work on is gone: nothing more runs.
    timeout.Schedule(&otherBox, runs.Save("late"));
    clock.Advance(10000);
    timeout.Flush();
    EXPECT_EQ(runs.log.size(), 1u);
    EXPECT_FALSE(timeout.Pending());
}

TEST_F(InputTimeoutTest, DisabledRunsEveryRequestAtOnce) {
    TInputTimeout timeout(clock, 2250);
    timeout.SetEnabled(false);
    timeout.Schedule(&checkBox, runs.Save("a"));
    timeout.Schedule(&checkBox, runs.Save("b"));
    ASSERT_EQ(runs.log.size(), 2u);
    EXPECT_EQ(runs.log[1].first, 0u);
}

TEST_F(InputTimeoutTest, DestructionRunsThePendingAction) {
    {
        TInputTimeout timeout(clock, 2250);
        timeout.Schedule(&checkBox, runs.Save("save"));
    }
    EXPECT_EQ(runs.log.size(), 1u);
}

TEST_F(InputTimeoutTest, AFailingActionIsNotRetriedAndTheComponentIsIdleAgain) {
    TInputTimeout timeout(clock, 2250);
    int calls = 0;
    timeout.Schedule(&checkBox, [&](TInputTimeout::Sender) {
        ++calls;
        throw std::runtime_error("Unable to save db");
    });
    EXPECT_THROW(timeout.Flush(), std::runtime_error);
    EXPECT_FALSE(timeout.Pending());
    timeout.Flush();
    clock.Advance(5000);
    EXPECT_EQ(calls, 1);
}

TEST_F(InputTimeoutTest, AnActionMayScheduleTheNextOne) {
    TInputTimeout timeout(clock, 2250);
    timeout.Schedule(&checkBox, [&](TInputTimeout::Sender) {
        runs.log.emplace_back(clock.Now(), "first");
        timeout.Schedule(&otherBox, runs.Save("follow-up"));
    });
    clock.Advance(2250);
    clock.Advance(2250);
    ASSERT_EQ(runs.log.size(), 2u);
    EXPECT_EQ(runs.log[1], std::make_pair(uint64_t{4500}, std::string("follow-up")));
}

}  // namespace
}  // namespace pictavo
