#include "platform/XErrorFilter.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tests/support/StderrCapture.h"

// Xlib's macros (None, Bool, ...) come after gtest, which uses such names.
#include <X11/Xlib.h>
#include <X11/Xproto.h>

namespace {

// Stands for the handler in force before the filter (SDL's or Xlib's).
int g_previousCalls = 0;
int CountingHandler(Display*, XErrorEvent*) {
  ++g_previousCalls;
  return 0;
}

// The handler Xlib would call now.
XErrorHandler Current() {
  const XErrorHandler current = XSetErrorHandler(CountingHandler);
  XSetErrorHandler(current);
  return current;
}

XErrorEvent Error(unsigned char code, unsigned char request) {
  XErrorEvent error{};
  error.type = 0;
  error.error_code = code;
  error.request_code = request;
  error.resourceid = 0x1a00007;
  return error;
}

TEST(XErrorFilter, WindowsThatWentAwayAreTracedOthersGoToThePreviousHandler) {
  struct Case {
    const char* name;
    unsigned char code;
    unsigned char request;
    bool ignored;
    const char* traced;
  };
  const Case cases[] = {
      {"a frame the window manager destroyed", BadWindow, X_TranslateCoords, true,
       "x-error BadWindow request 40 resource 0x1a00007 ignored\n"},
      {"a drawable gone", BadDrawable, X_GetGeometry, true, "x-error BadDrawable request 14 resource 0x1a00007 ignored\n"},
      {"focus on a window just unmapped", BadMatch, X_SetInputFocus, true,
       "x-error BadMatch request 42 resource 0x1a00007 ignored\n"},
      {"a mismatch elsewhere", BadMatch, X_CreateWindow, false, ""},
      {"out of memory", BadAlloc, X_CreatePixmap, false, ""},
      {"a bad value", BadValue, X_ConfigureWindow, false, ""},
  };
  XSetErrorHandler(CountingHandler);
  setenv("CHRISTMAS_PEGS_TRACE", "-", 1);
  {
    XErrorFilter filter;
    const XErrorHandler handler = Current();
    ASSERT_NE(handler, CountingHandler);
    for (const Case& c : cases) {
      SCOPED_TRACE(c.name);
      g_previousCalls = 0;
      XErrorEvent error = Error(c.code, c.request);
      StderrCapture capture;
      EXPECT_EQ(handler(nullptr, &error), 0);
      EXPECT_EQ(capture.Text(), c.traced);
      EXPECT_EQ(g_previousCalls, c.ignored ? 0 : 1);
    }

    // Without a trace asked for, an ignored error says nothing at all.
    unsetenv("CHRISTMAS_PEGS_TRACE");
    XErrorEvent error = Error(BadWindow, X_TranslateCoords);
    StderrCapture capture;
    handler(nullptr, &error);
    EXPECT_EQ(capture.Text(), "");
  }
  EXPECT_EQ(Current(), CountingHandler) << "the previous handler is back";
  XSetErrorHandler(nullptr);
}

}  // namespace
