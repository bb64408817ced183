#pragma once
// Registered window messages and posting them to a window from any thread,
// without Qt. A window takes part by adding a sink for itself; a post finds the
// sink by the window's handle under one lock and hands the message to it. A
// window removes its sink before it goes away, under the same lock, so a post
// to a window that no longer exists simply fails.
//
// The Qt side (qt_window_messages.h) turns a QObject into such a window and
// delivers each message as a posted QEvent.

#include <cstdint>
#include <string_view>

namespace platform {

// Identifies a window for posting; None is no window. Handles are never
// reused within a run, so a stale handle cannot reach a newer window.
enum class WindowHandle : std::uintptr_t { None = 0 };

// A message id. Registered ids lie in 0xC000..0xFFFF; 0 is no message.
using MessageId = std::uint32_t;

inline constexpr MessageId kFirstRegisteredMessage = 0xC000;
inline constexpr MessageId kLastRegisteredMessage = 0xFFFF;

// Receives the messages posted to one window. Deliver runs on the posting
// thread while the registry's lock is held: it must only queue the message
// (never block, never post or remove windows itself).
class WindowMessageSink {
 public:
  virtual void Deliver(MessageId message, std::uintptr_t first, std::intptr_t second) = 0;

 protected:
  ~WindowMessageSink() = default;
};

// The id registered under `name`: the same name gives the same id for the
// whole run. 0 for an empty name or when the id range is used up.
MessageId RegisterWindowMessage(std::string_view name);

// Makes `sink` reachable under a new handle.
WindowHandle AddWindow(WindowMessageSink& sink);
// After this returns, no delivery to the window's sink is running or will
// start. Harmless for None or a handle already removed.
void RemoveWindow(WindowHandle window);

// Hands the message to the window's sink. False when the window does not (or
// no longer) exist; never blocks on the receiving window.
bool PostWindowMessage(WindowHandle window, MessageId message, std::uintptr_t first, std::intptr_t second);

}  // namespace platform
