// The window-message registry the watcher posts through.

#include "platform/window_messages.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "serial_test_support.h"

namespace {

using namespace platform;

TEST(SerialWindowMessages, NamesRegisterOnceAndPostsReachLiveWindowsOnly) {
  const MessageId a = RegisterWindowMessage("gpsdesk.test.A");
  EXPECT_GE(a, kFirstRegisteredMessage);
  EXPECT_NE(RegisterWindowMessage("gpsdesk.test.B"), a);
  EXPECT_EQ(RegisterWindowMessage("gpsdesk.test.A"), a);

  serial_test::RecordingWindow window;
  EXPECT_TRUE(PostWindowMessage(window.Handle(), a, 7, -1));
  ASSERT_EQ(window.Messages().size(), 1u);
  EXPECT_EQ(window.Messages()[0].first, 7u);
  EXPECT_EQ(window.Messages()[0].second, -1);
  EXPECT_FALSE(PostWindowMessage(WindowHandle::None, a, 0, 0));
  window.Remove();
  EXPECT_FALSE(PostWindowMessage(window.Handle(), a, 0, 0));
  serial_test::RecordingWindow next;
  EXPECT_NE(next.Handle(), window.Handle());  // handles are not reused
}

// Once RemoveWindow has returned, the sink is never called again, however
// busily another thread posts to it.
TEST(SerialWindowMessages, RemovalWinsAgainstAConcurrentPoster) {
  struct Sink : WindowMessageSink {
    void Deliver(MessageId, std::uintptr_t, std::intptr_t) override { delivered.fetch_add(1); }
    std::atomic<int> delivered{0};
  } sink;
  const WindowHandle handle = AddWindow(sink);
  std::atomic<bool> stop{false};
  std::atomic<int> attempts{0};
  std::thread poster([&] {
    while (!stop.load()) {
      PostWindowMessage(handle, 1, 0, 0);
      attempts.fetch_add(1);
    }
  });
  while (sink.delivered.load() < 100) std::this_thread::yield();
  RemoveWindow(handle);
  const int delivered = sink.delivered.load();
  const int tried = attempts.load();
  while (attempts.load() < tried + 1000) std::this_thread::yield();
  stop.store(true);
  poster.join();
  EXPECT_EQ(sink.delivered.load(), delivered);
}

}  // namespace
