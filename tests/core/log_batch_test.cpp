#include "core/log_batch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

namespace vantaro {
namespace {

TEST(LogBatchChannel, OutputJoinsTheBatchOnItsWayUntilItIsClaimed) {
    LogBatchChannel channel(1000);
    LogBatch* first = channel.Offer(true, "");
    ASSERT_NE(first, nullptr);                          // the reader's clear: a batch to post
    EXPECT_EQ(channel.Offer(false, "a\r\n"), nullptr);  // joins it: no second message
    EXPECT_EQ(channel.Offer(false, "b\r\n"), nullptr);
    std::unique_ptr<LogBatch> claimed = channel.Claim(first);
    ASSERT_NE(claimed, nullptr);
    EXPECT_TRUE(claimed->clearFirst);
    EXPECT_EQ(claimed->text, "a\r\nb\r\n");
    LogBatch* second = channel.Offer(false, "c");  // after the claim: a new batch, a new message
    ASSERT_NE(second, nullptr);
    std::unique_ptr<LogBatch> next = channel.Claim(second);
    EXPECT_FALSE(next->clearFirst);
    EXPECT_EQ(next->text, "c");
}

TEST(LogBatchChannel, ClearDropsWhatTheBatchHeldAndStaleClaimsYieldNothing) {
    LogBatchChannel channel(1000);
    LogBatch* batch = channel.Offer(false, "old output");
    EXPECT_EQ(channel.Offer(true, ""), nullptr);  // the next start's reader begins before the GUI caught up
    EXPECT_EQ(channel.Offer(false, "new"), nullptr);
    LogBatch stranger;
    EXPECT_EQ(channel.Claim(&stranger), nullptr);
    EXPECT_EQ(channel.Claim(nullptr), nullptr);
    std::unique_ptr<LogBatch> claimed = channel.Claim(batch);
    ASSERT_NE(claimed, nullptr);
    EXPECT_TRUE(claimed->clearFirst);
    EXPECT_EQ(claimed->text, "new");
    EXPECT_EQ(channel.Claim(batch), nullptr);  // the same message twice: already taken
}

TEST(LogBatchChannel, WithdrawnBatchLetsTheNextOutputPostAgain) {
    LogBatchChannel channel(1000);
    LogBatch* batch = channel.Offer(false, "x");
    channel.Withdraw(batch);  // the post failed
    LogBatch* again = channel.Offer(false, "y");
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(channel.Claim(again)->text, "y");
}

TEST(LogBatchChannel, AnUnclaimedBatchStaysWithinTheCap) {
    LogBatchChannel channel(100);
    LogBatch* batch = channel.Offer(false, "");
    std::string last;
    for (int i = 0; i < 1000; ++i) {
        last = "line " + std::to_string(i) + "\r\n";
        channel.Offer(false, last);
    }
    std::unique_ptr<LogBatch> claimed = channel.Claim(batch);
    EXPECT_TRUE(claimed->clearFirst);  // output was dropped: the older log must not stay before the gap
    EXPECT_LE(claimed->text.size(), 100u);
    EXPECT_EQ(claimed->text.substr(0, 5), "line ");
    EXPECT_EQ(claimed->text.substr(claimed->text.size() - last.size()), last);
    LogBatch* single = channel.Offer(false, std::string(500, 'z'));  // a single offer too is bounded
    ASSERT_NE(single, nullptr);
    std::unique_ptr<LogBatch> big = channel.Claim(single);
    EXPECT_EQ(big->text, std::string(100, 'z'));
    EXPECT_TRUE(big->clearFirst);
}

TEST(LogBatchChannel, ConcurrentReadersLoseNothingAndPostOnlyWhenNothingIsOnItsWay) {
    LogBatchChannel channel(1 << 20);
    std::mutex postedMutex;
    std::vector<LogBatch*> posted;
    auto reader = [&](char letter) {
        for (int i = 0; i < 2000; ++i) {
            if (LogBatch* batch = channel.Offer(false, std::string(1, letter))) {
                std::lock_guard<std::mutex> lock(postedMutex);
                posted.push_back(batch);
            }
        }
    };
    std::string received;
    std::thread a(reader, 'a'), b(reader, 'b');
    size_t next = 0;
    auto drain = [&] {
        std::lock_guard<std::mutex> lock(postedMutex);
        for (; next < posted.size(); ++next) {
            std::unique_ptr<LogBatch> batch = channel.Claim(posted[next]);
            ASSERT_NE(batch, nullptr);
            received += batch->text;
        }
    };
    for (int i = 0; i < 200; ++i) drain();
    a.join();
    b.join();
    drain();
    EXPECT_EQ(received.size(), 4000u);
    EXPECT_EQ(std::count(received.begin(), received.end(), 'a'), 2000);
}

}  // namespace
}  // namespace vantaro
