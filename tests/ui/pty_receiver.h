#pragma once
// A pseudo-terminal standing in for the receiver: the window opens its
// device; the test writes and reads the other end.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <QCoreApplication>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace uitest {

class Receiver {
 public:
  Receiver(const Receiver&) = delete;
  Receiver& operator=(const Receiver&) = delete;
  Receiver() {
    if (openpty(&master_, &slave_, name_, nullptr, nullptr) != 0) {
      master_ = slave_ = -1;
      return;
    }
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
    // Keep the slave open so the line stays up between opens of the tool.
  }
  ~Receiver() {
    if (master_ >= 0) close(master_);
    if (slave_ >= 0) close(slave_);
  }
  bool Ok() const { return master_ >= 0; }
  // The device goes away, as an unplugged USB receiver does.
  void Unplug() {
    close(master_);
    close(slave_);
    master_ = slave_ = -1;
  }
  std::string Device() const { return name_; }
  // Writes all of `bytes`; while the terminal's buffer is full the window
  // keeps running, so it can read what it has been sent.
  void Send(std::string_view bytes) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!bytes.empty() && std::chrono::steady_clock::now() < deadline) {
      const ssize_t n = write(master_, bytes.data(), bytes.size());
      if (n > 0) {
        bytes.remove_prefix(static_cast<std::size_t>(n));
      } else {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        pollfd p{master_, POLLOUT, 0};
        poll(&p, 1, 10);
      }
    }
    ASSERT_TRUE(bytes.empty()) << "the window stopped reading";
  }
  // The output speed the window set on the line (B4800 and so on).
  speed_t Speed() const {
    termios t{};
    return tcgetattr(slave_, &t) == 0 ? cfgetospeed(&t) : B0;
  }
  // What the window wrote, and when it arrived.
  struct Piece {
    std::chrono::steady_clock::time_point at;
    std::string bytes;
  };
  // Runs `action` on this thread while another reads the line, and keeps
  // reading for `after` once it returned; so the window may block in it.
  std::vector<Piece> Record(const std::function<void()>& action, std::chrono::milliseconds after) {
    std::vector<Piece> pieces;
    std::atomic<bool> stop{false};
    std::thread reader([&] {
      while (!stop.load()) {
        pollfd p{master_, POLLIN, 0};
        if (poll(&p, 1, 10) <= 0) continue;
        const auto at = std::chrono::steady_clock::now();
        char buf[256];
        const ssize_t n = read(master_, buf, sizeof buf);
        if (n > 0) pieces.push_back({at, std::string(buf, static_cast<std::size_t>(n))});
      }
    });
    action();
    std::this_thread::sleep_for(after);
    stop = true;
    reader.join();
    return pieces;
  }
  // Whatever has arrived, without waiting.
  std::string Pending() {
    std::string got;
    char buf[256];
    for (ssize_t n; (n = read(master_, buf, sizeof buf)) > 0;) got.append(buf, static_cast<std::size_t>(n));
    return got;
  }
  // Reads until `count` bytes came or five seconds passed.
  std::string Receive(std::size_t count) {
    std::string got;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (got.size() < count && std::chrono::steady_clock::now() < deadline) {
      pollfd p{master_, POLLIN, 0};
      if (poll(&p, 1, 50) > 0) {
        char buf[256];
        const ssize_t n = read(master_, buf, std::min(sizeof buf, count - got.size()));
        if (n > 0) got.append(buf, static_cast<std::size_t>(n));
      }
    }
    return got;
  }

 private:
  int master_ = -1, slave_ = -1;
  char name_[128] = {};
};

}  // namespace uitest
