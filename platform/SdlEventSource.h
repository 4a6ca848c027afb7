#pragma once

#include "platform/EventSource.h"
#include "platform/HangupWatch.h"
#include "platform/SdlGamepads.h"
#include "platform/SdlInput.h"
#include "platform/SdlWindow.h"

// Turns SDL events into the window's messages, those of game pads through
// the pads.
class SdlEventSource final : public EventSource {
 public:
  SdlEventSource(SdlWindow& window, SdlInput& input, SdlGamepads& pads);
  bool Pending() override;
  void Wait(std::uint32_t milliseconds) override;
  void TranslateOne(MessageQueue& queue) override;

 private:
  SdlWindow& m_window;
  SdlInput& m_input;
  SdlGamepads& m_pads;
  HangupWatch m_hangup;
  bool m_hangupPending = false;
};
