#pragma once

#include "platform/EventSource.h"
#include "platform/HangupWatch.h"
#include "platform/SdlInput.h"

// Turns SDL events into the window's messages.
class SdlEventSource final : public EventSource {
 public:
  explicit SdlEventSource(SdlInput& input);
  bool Pending() override;
  void Wait(std::uint32_t milliseconds) override;
  void TranslateOne(MessageQueue& queue) override;

 private:
  SdlInput& m_input;
  HangupWatch m_hangup;
  bool m_hangupPending = false;
};
