#include "platform/HangupWatch.h"

#include <csignal>

namespace {
// A signal handler can only reach state of static storage duration.
volatile std::sig_atomic_t g_hangup = 0;

void OnHangup(int) { g_hangup = 1; }
}  // namespace

HangupWatch::HangupWatch() { std::signal(SIGHUP, OnHangup); }

HangupWatch::~HangupWatch() { std::signal(SIGHUP, SIG_DFL); }

bool HangupWatch::Take() {
  if (g_hangup == 0) return false;
  g_hangup = 0;
  return true;
}
