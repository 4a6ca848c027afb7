#pragma once

// Keeps the game alive through X protocol errors about windows that went
// away. A window manager may destroy a frame or unmap a window between SDL's
// request and the server's answer (a border change, a minimise): the request
// then fails with BadWindow or BadDrawable, or a focus request with BadMatch.
// Xlib's default handler would end the process for that. Such an error is
// written to the trace and otherwise ignored; any other error goes on to the
// handler that was in force before (SDL's, which gives the desktop's mode
// back before Xlib's default ends the game).
//
// SDL puts handlers of its own in place around some calls and restores
// whatever was there after them, so this one stays in force in between.
class XErrorFilter {
 public:
  // Installs the handler; the previous one comes back on destruction.
  XErrorFilter();
  ~XErrorFilter();
  XErrorFilter(const XErrorFilter&) = delete;
  XErrorFilter& operator=(const XErrorFilter&) = delete;
};
