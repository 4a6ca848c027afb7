/* Asks a top-level window, found by its title or given by its id, to close
 * the way a window manager does: a WM_DELETE_WINDOW client message.
 * usage: wm_close TITLE|0xID   (DISPLAY from the environment) */
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static Window find(Display* display, Window window, const char* title) {
  char* name = NULL;
  if (XFetchName(display, window, &name) && name != NULL) {
    const int same = strcmp(name, title) == 0;
    XFree(name);
    if (same) return window;
  }
  Window root, parent, *children = NULL;
  unsigned int count = 0;
  Window found = 0;
  if (XQueryTree(display, window, &root, &parent, &children, &count)) {
    for (unsigned int i = 0; i < count && found == 0; ++i) found = find(display, children[i], title);
    if (children != NULL) XFree(children);
  }
  return found;
}

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: wm_close TITLE|0xID\n");
    return 2;
  }
  Display* display = XOpenDisplay(NULL);
  if (display == NULL) return 1;
  const Window window = strncmp(argv[1], "0x", 2) == 0 ? (Window)strtoul(argv[1], NULL, 16)
                                                      : find(display, DefaultRootWindow(display), argv[1]);
  if (window == 0) {
    fprintf(stderr, "wm_close: no window titled %s\n", argv[1]);
    return 1;
  }
  XEvent event;
  memset(&event, 0, sizeof event);
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = (long)XInternAtom(display, "WM_DELETE_WINDOW", False);
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display, window, False, NoEventMask, &event);
  XCloseDisplay(display);
  return 0;
}
