#pragma once

#include <deque>

#include "platform/Message.h"

// The thread's message queue: first in, first out. Messages are taken one
// at a time by the application's run loop.
class MessageQueue {
 public:
  void Post(const Message& message) { m_messages.push_back(message); }
  void PostQuit(int exitCode) { Post({MessageKind::Quit, exitCode, 0}); }
  bool Empty() const { return m_messages.empty(); }
  // Removes the oldest message into `out`; false when the queue is empty.
  bool Take(Message& out);
  // Drops every message; used when the application ends.
  void Clear() { m_messages.clear(); }

 private:
  std::deque<Message> m_messages;
};
