#pragma once

#include <cstdint>

#include "platform/MessageQueue.h"

// Where desktop events come from. Only Wait blocks.
class EventSource {
 public:
  virtual ~EventSource() = default;
  // True when at least one desktop event waits.
  virtual bool Pending() = 0;
  // Returns when an event waits or after `milliseconds`, whichever is first;
  // removes nothing.
  virtual void Wait(std::uint32_t milliseconds) = 0;
  // Removes one waiting event and posts the messages it stands for (none,
  // one or more) to `queue`. Does nothing when no event waits.
  virtual void TranslateOne(MessageQueue& queue) = 0;
};
