#include "platform/XErrorFilter.h"

#include <X11/Xlib.h>
#include <X11/Xproto.h>

#include <cstdio>

#include "platform/Diagnostics.h"

namespace {
using Handler = int (*)(Display*, XErrorEvent*);

// Xlib calls its error handler without any pointer of ours: the handler to
// chain to can only be kept here. One filter is in force at a time.
Handler g_previous = nullptr;

const char* ErrorName(unsigned char code) {
  switch (code) {
    case BadWindow: return "BadWindow";
    case BadDrawable: return "BadDrawable";
    case BadMatch: return "BadMatch";
    default: return "error";
  }
}

// An error a request can meet when its window was destroyed or unmapped by
// someone else between the asking and the answer. A BadMatch counts only
// for a focus request: it means the window is no longer viewable.
bool WindowWentAway(const XErrorEvent& error) {
  if (error.error_code == BadWindow || error.error_code == BadDrawable) return true;
  return error.error_code == BadMatch && error.request_code == X_SetInputFocus;
}

int FilterError(Display* display, XErrorEvent* error) {
  if (!WindowWentAway(*error)) return g_previous != nullptr ? g_previous(display, error) : 0;
  char line[128];
  std::snprintf(line, sizeof line, "x-error %s request %u resource 0x%lx ignored\n", ErrorName(error->error_code),
                static_cast<unsigned>(error->request_code), error->resourceid);
  Diagnostics::Trace(line);
  return 0;
}
}  // namespace

XErrorFilter::XErrorFilter() { g_previous = XSetErrorHandler(FilterError); }

XErrorFilter::~XErrorFilter() {
  XSetErrorHandler(g_previous);
  g_previous = nullptr;
}
