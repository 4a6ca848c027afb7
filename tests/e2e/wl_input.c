/* A pointer and a keyboard for a Wayland compositor whose seat has no devices
 * of its own: virtual ones, driven by commands read one a line from stdin.
 *
 *   move DX DY    relative pointer motion in pixels
 *   to X Y W H    the pointer to (X, Y) on an output of W x H pixels
 *   button 1|0    the left button down or up
 *   key CODE      a key pressed and released, by its evdev code
 *
 * Each command is answered with "ok" on stdout once the compositor has
 * received it (after a round trip), or "error ..." for a line not understood.
 * usage: wl_input   (WAYLAND_DISPLAY and XDG_RUNTIME_DIR from the environment) */
#define _GNU_SOURCE
#include <linux/input-event-codes.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mman.h>
#include <time.h>
#include <unistd.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include "virtual-keyboard-client-protocol.h"
#include "virtual-pointer-client-protocol.h"

struct globals {
  struct wl_seat* seat;
  struct zwlr_virtual_pointer_manager_v1* pointers;
  struct zwp_virtual_keyboard_manager_v1* keyboards;
};

static void global(void* data, struct wl_registry* registry, uint32_t name, const char* interface,
                   uint32_t version) {
  struct globals* g = data;
  (void)version;
  if (strcmp(interface, wl_seat_interface.name) == 0 && g->seat == NULL) {
    g->seat = wl_registry_bind(registry, name, &wl_seat_interface, 1);
  } else if (strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0) {
    g->pointers = wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1);
  } else if (strcmp(interface, zwp_virtual_keyboard_manager_v1_interface.name) == 0) {
    g->keyboards = wl_registry_bind(registry, name, &zwp_virtual_keyboard_manager_v1_interface, 1);
  }
}

static void global_remove(void* data, struct wl_registry* registry, uint32_t name) {
  (void)data;
  (void)registry;
  (void)name;
}

static const struct wl_registry_listener registry_listener = {global, global_remove};

static uint32_t now_ms(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return (uint32_t)(t.tv_sec * 1000 + t.tv_nsec / 1000000);
}

/* A keyboard sends no key before it has a keymap: the default one (US
 * layout), in a memory file the compositor maps. */
static int send_keymap(struct zwp_virtual_keyboard_v1* keyboard) {
  struct xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
  struct xkb_rule_names names = {0};
  struct xkb_keymap* keymap = context ? xkb_keymap_new_from_names(context, &names, XKB_KEYMAP_COMPILE_NO_FLAGS) : NULL;
  char* text = keymap ? xkb_keymap_get_as_string(keymap, XKB_KEYMAP_FORMAT_TEXT_V1) : NULL;
  int ok = 0;
  if (text != NULL) {
    const size_t size = strlen(text) + 1;
    const int fd = memfd_create("keymap", MFD_CLOEXEC);
    if (fd >= 0 && write(fd, text, size) == (ssize_t)size) {
      zwp_virtual_keyboard_v1_keymap(keyboard, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd, (uint32_t)size);
      ok = 1;
    }
    if (fd >= 0) close(fd);
    free(text);
  }
  xkb_keymap_unref(keymap);
  xkb_context_unref(context);
  return ok;
}

int main(void) {
  struct wl_display* display = wl_display_connect(NULL);
  if (display == NULL) {
    fprintf(stderr, "wl_input: cannot connect to the Wayland display\n");
    return 1;
  }
  struct globals g = {0};
  struct wl_registry* registry = wl_display_get_registry(display);
  wl_registry_add_listener(registry, &registry_listener, &g);
  wl_display_roundtrip(display);
  if (g.seat == NULL || g.pointers == NULL || g.keyboards == NULL) {
    fprintf(stderr, "wl_input: the compositor offers no seat, virtual pointer or virtual keyboard\n");
    return 1;
  }
  struct zwlr_virtual_pointer_v1* pointer = zwlr_virtual_pointer_manager_v1_create_virtual_pointer(g.pointers, g.seat);
  struct zwp_virtual_keyboard_v1* keyboard = zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(g.keyboards, g.seat);
  if (!send_keymap(keyboard)) {
    fprintf(stderr, "wl_input: no keymap\n");
    return 1;
  }
  if (wl_display_roundtrip(display) < 0) {
    fprintf(stderr, "wl_input: the compositor refused the virtual devices\n");
    return 1;
  }
  printf("ready\n");
  fflush(stdout);

  char line[128];
  while (fgets(line, sizeof line, stdin) != NULL) {
    int a = 0, b = 0;
    unsigned int code = 0, x = 0, y = 0, width = 0, height = 0;
    if (sscanf(line, "to %u %u %u %u", &x, &y, &width, &height) == 4 && x <= width && y <= height) {
      zwlr_virtual_pointer_v1_motion_absolute(pointer, now_ms(), x, y, width, height);
      zwlr_virtual_pointer_v1_frame(pointer);
    } else if (sscanf(line, "move %d %d", &a, &b) == 2) {
      zwlr_virtual_pointer_v1_motion(pointer, now_ms(), wl_fixed_from_int(a), wl_fixed_from_int(b));
      zwlr_virtual_pointer_v1_frame(pointer);
    } else if (sscanf(line, "button %d", &a) == 1 && (a == 0 || a == 1)) {
      zwlr_virtual_pointer_v1_button(pointer, now_ms(), BTN_LEFT,
                                     a ? WL_POINTER_BUTTON_STATE_PRESSED : WL_POINTER_BUTTON_STATE_RELEASED);
      zwlr_virtual_pointer_v1_frame(pointer);
    } else if (sscanf(line, "key %u", &code) == 1) {
      zwp_virtual_keyboard_v1_key(keyboard, now_ms(), code, WL_KEYBOARD_KEY_STATE_PRESSED);
      zwp_virtual_keyboard_v1_key(keyboard, now_ms(), code, WL_KEYBOARD_KEY_STATE_RELEASED);
    } else {
      printf("error: not understood: %s", line);
      fflush(stdout);
      continue;
    }
    if (wl_display_roundtrip(display) < 0) {
      fprintf(stderr, "wl_input: the connection to the compositor is lost\n");
      return 1;
    }
    printf("ok\n");
    fflush(stdout);
  }
  zwlr_virtual_pointer_v1_destroy(pointer);
  zwp_virtual_keyboard_v1_destroy(keyboard);
  wl_display_roundtrip(display);
  wl_display_disconnect(display);
  return 0;
}
