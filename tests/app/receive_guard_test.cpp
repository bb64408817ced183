#include "app/receive_guard.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using app::ReceiveEntry;
using app::ReceiveGuard;

TEST(ReceiveGuard, NothingRunsInsideAnotherAndANotificationIsNotLost) {
  for (ReceiveEntry outer : {ReceiveEntry::PortNotification, ReceiveEntry::Flush, ReceiveEntry::ReplayTick}) {
    ReceiveGuard guard;
    ASSERT_TRUE(guard.Enter(outer));
    EXPECT_TRUE(guard.Busy());
    EXPECT_FALSE(guard.Enter(ReceiveEntry::ReplayTick));
    EXPECT_FALSE(guard.Enter(ReceiveEntry::Flush));
    EXPECT_FALSE(guard.TakeMissedNotification());  // timer ticks are dropped
    EXPECT_FALSE(guard.Enter(ReceiveEntry::PortNotification));
    EXPECT_FALSE(guard.Enter(ReceiveEntry::PortNotification));
    EXPECT_FALSE(guard.TakeMissedNotification());  // not while busy
    guard.Leave();
    EXPECT_FALSE(guard.Busy());
    EXPECT_TRUE(guard.TakeMissedNotification());  // once for both
    EXPECT_FALSE(guard.TakeMissedNotification());
    EXPECT_TRUE(guard.Enter(ReceiveEntry::PortNotification));
    guard.Leave();
  }
}

TEST(ReceiveGuard, MessagesWaitUntilThePathIsIdle) {
  ReceiveGuard guard;
  ASSERT_TRUE(guard.Enter(ReceiveEntry::ReplayTick));
  guard.DeferMessage("first");
  guard.DeferMessage("second");
  EXPECT_TRUE(guard.HasMessages());
  EXPECT_TRUE(guard.TakeMessages().empty());
  guard.Leave();
  EXPECT_EQ(guard.TakeMessages(), (std::vector<std::string>{"first", "second"}));
  EXPECT_FALSE(guard.HasMessages());
}

}  // namespace
