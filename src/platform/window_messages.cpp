#include "platform/window_messages.h"

#include <mutex>
#include <string>
#include <unordered_map>

namespace platform {
namespace {

struct Registry {
  std::mutex lock;
  std::unordered_map<std::uintptr_t, WindowMessageSink*> windows;
  std::uintptr_t nextHandle = 1;
  std::unordered_map<std::string, MessageId> messages;
  MessageId nextMessage = kFirstRegisteredMessage;
};

Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

}  // namespace

MessageId RegisterWindowMessage(std::string_view name) {
  if (name.empty()) return 0;
  Registry& r = TheRegistry();
  std::lock_guard guard(r.lock);
  auto it = r.messages.find(std::string(name));
  if (it != r.messages.end()) return it->second;
  if (r.nextMessage > kLastRegisteredMessage) return 0;
  const MessageId id = r.nextMessage++;
  r.messages.emplace(std::string(name), id);
  return id;
}

WindowHandle AddWindow(WindowMessageSink& sink) {
  Registry& r = TheRegistry();
  std::lock_guard guard(r.lock);
  const std::uintptr_t handle = r.nextHandle++;
  r.windows.emplace(handle, &sink);
  return static_cast<WindowHandle>(handle);
}

void RemoveWindow(WindowHandle window) {
  Registry& r = TheRegistry();
  std::lock_guard guard(r.lock);
  r.windows.erase(static_cast<std::uintptr_t>(window));
}

bool PostWindowMessage(WindowHandle window, MessageId message, std::uintptr_t first, std::intptr_t second) {
  if (window == WindowHandle::None) return false;
  Registry& r = TheRegistry();
  std::lock_guard guard(r.lock);
  auto it = r.windows.find(static_cast<std::uintptr_t>(window));
  if (it == r.windows.end()) return false;
  it->second->Deliver(message, first, second);
  return true;
}

}  // namespace platform
