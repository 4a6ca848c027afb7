#pragma once

#include "platform/MessageQueue.h"

// Where desktop events come from. Never blocks.
class EventSource {
 public:
  virtual ~EventSource() = default;
  // True when at least one desktop event waits.
  virtual bool Pending() = 0;
  // Removes one waiting event and posts the messages it stands for (none,
  // one or more) to `queue`. Does nothing when no event waits.
  virtual void TranslateOne(MessageQueue& queue) = 0;
};
