#pragma once

#include "platform/AudioLayer.h"
#include "platform/Clock.h"
#include "platform/DisplaySettings.h"
#include "platform/EventSource.h"
#include "platform/InputDevice.h"
#include "platform/MessageQueue.h"
#include "platform/NativeWindow.h"

// Everything the game needs from the machine it runs on, handed in at start.
// The real one is SdlDesktop; tests assemble their own.
struct Desktop {
  NativeWindow& window;
  DisplaySettings& display;
  InputDevice& input;
  const Clock& clock;
  AudioLayer& audio;
  EventSource& events;
  MessageQueue& queue;
};
