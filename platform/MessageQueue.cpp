#include "platform/MessageQueue.h"

bool MessageQueue::Take(Message& out) {
  if (m_messages.empty()) return false;
  out = m_messages.front();
  m_messages.pop_front();
  return true;
}
