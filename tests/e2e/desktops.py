"""Desktops for the end-to-end runs: an X window manager on Xorg's dummy driver
(1024 x 768, 640 x 480 offered), or weston nested in Xvfb with the game on its
Xwayland display; and a look at the game's window from outside (xprop, xwininfo).
"""
import json
import os
import re
import shutil
import signal
import subprocess
import tempfile
import time

from harness import Failure, Picture, XServer, display_env, screen_mode, wait_for_display

DESKTOP_SIZE = (1024, 768)


def run_x(env, *command):
    """Runs an X client and returns its standard output ("" when it fails)."""
    result = subprocess.run(list(map(str, command)), env=env, stdout=subprocess.PIPE,
                            stderr=subprocess.DEVNULL, text=True)
    return result.stdout if result.returncode == 0 else ""


def start_group(command, env, log):
    """Starts a program in a process group of its own, so that it ends with all it started."""
    return subprocess.Popen(command, env=env, stdout=log, stderr=subprocess.STDOUT, start_new_session=True)


def end_group(proc):
    if proc.poll() is None:
        os.killpg(proc.pid, signal.SIGTERM)
        try:
            proc.wait(10)
        except subprocess.TimeoutExpired:
            os.killpg(proc.pid, signal.SIGKILL)
            proc.wait()


class WindowManagerDesktop:
    """Xorg's dummy driver at 1024 x 768 with an X window manager."""

    COMMANDS = {
        "openbox": ["openbox", "--sm-disable"],
        "xfwm4": ["dbus-run-session", "--", "xfwm4", "--compositor=off", "--replace"],
        "metacity": ["dbus-run-session", "--", "metacity", "--replace", "--sm-disable", "--no-composite"],
        "kwin": ["dbus-run-session", "--", "kwin_x11", "--replace"],
        "mutter": ["dbus-run-session", "--", "mutter", "--x11", "--replace", "--sm-disable"],
    }
    # A root property the window manager sets last as it starts: it names itself
    # (_NET_SUPPORTING_WM_CHECK) before it manages windows, and a window mapped in
    # between may stay unmapped for good (seen with openbox on a busy machine).
    READY_PROPERTIES = {"openbox": "_NET_WORKAREA", "xfwm4": "_NET_WORKAREA", "metacity": "_NET_WORKAREA"}
    real_modes = True  # xrandr shows the game's mode change
    stacking = True  # the window manager keeps _NET_CLIENT_LIST_STACKING
    minimizes = True
    honours_position = True  # a window asked to be whole on the screen is
    outer_pointer = False  # the pointer is this server's own
    keeps_fullscreen_state = True

    def __init__(self, name, xorg_config, out):
        # KWin drops _NET_WM_STATE_FULLSCREEN from a window that asks for it
        # again while already covering the screen in the game's mode; the
        # window stays as fullscreen as before (whole screen, no border, on top).
        self.keeps_fullscreen_state = name != "kwin"
        self.name = name
        self.x = XServer(xorg_config)
        self.display = self.x  # where the game runs
        self.log = open(os.path.join(out, f"desktop-{name}.log"), "w")
        # First-run files land in a throwaway home, not in the user's.
        self.home = tempfile.mkdtemp(prefix=f"pegs-{name}-")
        env = self.x.env()
        env.update(HOME=self.home, XDG_CONFIG_HOME=os.path.join(self.home, ".config"))
        self.wm = start_group(self.command(), env, self.log)
        ready = self.READY_PROPERTIES.get(name)
        deadline = time.time() + 20
        while run_x(self.x.env(), "wmctrl", "-m") == "" or (
                ready and "=" not in run_x(self.x.env(), "xprop", "-root", ready)):
            if self.wm.poll() is not None or time.time() > deadline:
                self.end()
                raise Failure(f"{name} did not start (see desktop-{name}.log)")
            time.sleep(0.1)

    def command(self):
        return self.COMMANDS[self.name]

    def activate(self, window):
        """Activates a window as a pager or task bar would, and, as a player clicks
        the task bar once more, again while it stays minimised: on a busy machine
        xfwm4 can drop a request that comes while it is still minimising the window."""
        for _ in range(3):
            self.x.xdotool("windowactivate", window.id)
            give_up = time.time() + 3
            while time.time() < give_up:
                if not window.iconic():
                    return
                time.sleep(0.1)

    def close(self, window, wm_close):
        """The window manager's close (the title bar's button or its key)."""
        subprocess.run(["wmctrl", "-i", "-c", hex(window.id)], env=self.x.env(), check=True)

    def screenshot(self, path):
        """What the monitor shows: the top-left part of the screen in the mode it runs in."""
        mode = self.x.mode() or "1024x768"
        return self.x.screenshot(path, crop=tuple(int(v) for v in mode.split("x")))

    def end(self):
        end_group(self.wm)
        self.x.close()
        self.log.close()
        shutil.rmtree(self.home, ignore_errors=True)


class I3Desktop(WindowManagerDesktop):
    """i3, a tiling window manager that never minimises: a minimise is refused and
    the window keeps the focus. Debian's configuration without its autostart
    programs and its bar."""

    stacking = False  # i3 keeps no _NET_CLIENT_LIST_STACKING
    minimizes = False

    def __init__(self, xorg_config, out):
        super().__init__("i3", xorg_config, out)

    def command(self):
        config = os.path.join(self.home, "i3.config")
        with open("/etc/i3/config") as f:
            text = re.sub(r"^bar \{.*?^\}", "", f.read(), flags=re.S | re.M)
        with open(config, "w") as f:
            f.write("\n".join(line for line in text.splitlines() if not line.startswith("exec")) + "\n")
        return ["i3", "-c", config]

    def close(self, window, wm_close):
        subprocess.run([wm_close, hex(window.id)], env=self.x.env(), check=True)

    def focused_window(self):
        """The window i3 has focused, from its own tree. i3's _NET_ACTIVE_WINDOW can
        lag behind: rebuilding its outputs when the screen's mode comes back may
        clear it while the focus, and the focused title bar, stay with the window."""
        try:
            tree = json.loads(run_x(self.x.env(), "i3-msg", "-t", "get_tree") or "{}")
        except json.JSONDecodeError:
            return None
        nodes = [tree]
        while nodes:
            node = nodes.pop()
            if node.get("focused"):
                return node.get("window")
            nodes.extend(node.get("nodes", []) + node.get("floating_nodes", []))
        return None


def is_active(desk, window):
    """Whether the window has the desktop's focus, as the desktop itself tells."""
    focused_window = getattr(desk, "focused_window", None)
    return focused_window() == window.id if focused_window else window.active()


class XwaylandDisplay:
    """The Xwayland display of a weston session. X clients run on it; keys and the
    pointer come in through the outer X server, whose window weston draws into."""

    def __init__(self, display, outer):
        self.display = display
        self.outer = outer

    def env(self):
        return display_env(self.display)

    def xdotool(self, *args):
        if args[0] == "mousemove_relative":
            # The outer pointer stops at the outer screen's edges, and with it
            # the motion weston passes on: a move that would reach an edge
            # starts from the middle instead (the game sees that move too;
            # callers read where the game's cursor went).
            dx, dy = int(args[-2]), int(args[-1])
            m = re.match(r"x:(\d+) y:(\d+)", run_x(self.outer.env(), "xdotool", "getmouselocation"))
            if m and not (0 < int(m.group(1)) + dx < DESKTOP_SIZE[0] - 1
                          and 0 < int(m.group(2)) + dy < DESKTOP_SIZE[1] - 1):
                self.outer.xdotool("mousemove", DESKTOP_SIZE[0] // 2, DESKTOP_SIZE[1] // 2)
        self.outer.xdotool(*args)

    def take_back_lost_move(self, dx, dy):
        """The outer pointer went on without the game: it goes back, so that where
        it stands still matches the game's cursor and every target stays in reach."""
        self.outer.xdotool("mousemove_relative", "--", -dx, -dy)

    def centre_pointer(self):
        """Before a game starts: the pointer in the middle, with room to every side."""
        self.outer.xdotool("mousemove", DESKTOP_SIZE[0] // 2, DESKTOP_SIZE[1] // 2)

    def mode(self):
        return screen_mode(self.env())


class WestonDesktop:
    """weston's X11 backend nested in a 1024 x 768 Xvfb, with Xwayland."""

    real_modes = False  # Xwayland emulates a mode change for the fullscreen window alone
    stacking = False  # weston keeps no _NET_CLIENT_LIST_STACKING
    minimizes = False  # weston offers no minimise for X windows
    honours_position = False  # weston places X windows by its own rule
    outer_pointer = True  # the pointer comes through the outer server and stops at its edges
    keeps_fullscreen_state = True

    def __init__(self, out):
        self.name = "weston"
        self.x = XServer(size=DESKTOP_SIZE, depth=24)
        self.runtime = tempfile.mkdtemp(prefix="pegs-weston-")
        os.chmod(self.runtime, 0o700)
        log_path = os.path.join(out, "desktop-weston.log")
        # weston appends to its log: an earlier run's would name an earlier display.
        if os.path.exists(log_path):
            os.remove(log_path)
        env = self.x.env()
        env["XDG_RUNTIME_DIR"] = self.runtime
        self.log = open(log_path + ".out", "w")
        self.wm = start_group(["weston", "--backend=x11-backend.so", "--use-pixman", "--xwayland",
                               f"--socket=pegs-{os.getpid()}", f"--width={DESKTOP_SIZE[0]}",
                               f"--height={DESKTOP_SIZE[1]}", f"--log={log_path}"], env, self.log)
        try:
            deadline = time.time() + 20
            number = None
            while number is None:
                if self.wm.poll() is not None or time.time() > deadline:
                    raise Failure("weston did not start its Xwayland display (see desktop-weston.log)")
                time.sleep(0.1)
                try:
                    with open(log_path) as f:
                        m = re.search(r"xserver listening on display (:\d+)", f.read())
                except FileNotFoundError:
                    m = None
                number = m.group(1) if m else None
            wait_for_display(number)  # the first client starts Xwayland
        except Failure:
            self.end()  # nothing of a desktop that never came up stays behind
            raise
        self.display = XwaylandDisplay(number, self.x)

    def activate(self, window):
        """weston has no activation request for X windows: its switcher (Super+Tab)
        is pressed until the window is the active one, for at most 20 s."""
        give_up = time.time() + 20
        while time.time() < give_up:
            self.x.xdotool("key", "super+Tab")
            deadline = time.time() + 2
            while time.time() < deadline:
                if active_window(self.display.env()) == window.id:
                    return
                time.sleep(0.05)
        raise Failure(f"weston's switcher did not activate window {hex(window.id)}")

    def close(self, window, wm_close):
        """weston ignores _NET_CLOSE_WINDOW; its close button sends WM_DELETE_WINDOW."""
        subprocess.run([wm_close, hex(window.id)], env=self.display.env(), check=True)

    def screenshot(self, path):
        return self.x.screenshot(path, DESKTOP_SIZE)

    def end(self):
        end_group(self.wm)
        self.x.close()
        self.log.close()
        shutil.rmtree(self.runtime, ignore_errors=True)


def active_window(env):
    m = re.search(r"window id # (0x[0-9a-f]+)", run_x(env, "xprop", "-root", "_NET_ACTIVE_WINDOW"))
    return int(m.group(1), 16) if m else None


class XWindow:
    """A top-level client window on a display, looked at from outside."""

    def __init__(self, env, window_id):
        self.env = env
        self.id = window_id

    @staticmethod
    def of_pid(env, pid, timeout=20.0):
        return XWindow.find(env, ["--pid", pid], timeout)

    @staticmethod
    def of_class(env, name, timeout=20.0):
        return XWindow.find(env, ["--class", name], timeout)

    @staticmethod
    def find(env, how, timeout):
        deadline = time.time() + timeout
        while time.time() < deadline:
            ids = run_x(env, "xdotool", "search", "--onlyvisible", *how).split()
            if ids:
                return XWindow(env, int(ids[0]))
            time.sleep(0.1)
        raise Failure(f"no window found by {' '.join(map(str, how))}")

    def geometry(self):
        """(x, y, width, height, map state) of the client area, in root coordinates."""
        info = run_x(self.env, "xwininfo", "-id", self.id)
        field = lambda name: re.search(rf"{name}:\s+(\S+)", info)
        if not field("Width"):
            return None
        return (int(field("Absolute upper-left X").group(1)), int(field("Absolute upper-left Y").group(1)),
                int(field("Width").group(1)), int(field("Height").group(1)), field("Map State").group(1))

    def iconic(self):
        """The window manager has minimised the window (ICCCM WM_STATE Iconic)."""
        return "Iconic" in run_x(self.env, "xprop", "-id", self.id, "WM_STATE")

    def net_wm_state(self):
        return re.findall(r"_NET_WM_STATE_\w+", run_x(self.env, "xprop", "-id", self.id, "_NET_WM_STATE"))

    def decorated(self):
        """Whether the window asks for decorations: no _MOTIF_WM_HINTS, or hints whose
        decorations field (flag 0x2) is not 0."""
        out = run_x(self.env, "xprop", "-id", self.id, "_MOTIF_WM_HINTS")
        values = [int(v, 16) for v in re.findall(r"0x[0-9a-f]+", out)]
        if len(values) < 3 or not values[0] & 0x2:
            return True
        return values[2] != 0

    def on_top(self):
        """The window is the topmost client in the window manager's stacking order."""
        ids = [int(v, 16) for v in re.findall(r"0x[0-9a-f]+", run_x(self.env, "xprop", "-root",
                                                                      "_NET_CLIENT_LIST_STACKING"))]
        return bool(ids) and ids[-1] == self.id

    def active(self):
        return active_window(self.env) == self.id


class WaylandSeat:
    """The input of a Wayland compositor whose seat has no devices of its own:
    the virtual pointer and keyboard of the wl_input client, spoken to in the
    words of xdotool so that the harness's Game drives it as it drives X."""

    # evdev codes of the keys the scenarios press
    KEYS = {"Escape": 1, "Tab": 15, "Return": 28, "alt": 56, "space": 57, "F7": 65, "F9": 67}

    def __init__(self, client, env, log):
        """`client`: the command line of the input client (wl_input, gnome_remote)."""
        self.wayland_env = env
        self.proc = subprocess.Popen(client, env=env, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                     stderr=log, text=True)
        answer = self.proc.stdout.readline().strip()
        if answer != "ready":
            self.proc.wait()
            raise Failure(f"{client[-1]} did not start ({answer or 'no answer'}, exit code {self.proc.returncode})")

    def env(self):
        """The environment of a client of the compositor, the game forced onto its
        native Wayland path (a DISPLAY would take it to Xwayland)."""
        e = dict(os.environ)
        e.pop("DISPLAY", None)
        e.update(self.wayland_env)
        e["SDL_VIDEODRIVER"] = "wayland"
        return e

    def ask(self, command):
        self.proc.stdin.write(command + "\n")
        self.proc.stdin.flush()
        return self.proc.stdout.readline().strip()

    def send(self, command):
        answer = self.ask(command)
        if answer != "ok":
            raise Failure(f"input client: {command!r} answered {answer!r}")

    def xdotool(self, *args):
        args = [str(a) for a in args if a != "--"]
        if args[0] == "mousemove_relative":
            self.send(f"move {int(args[1])} {int(args[2])}")
        elif args[0] in ("mousedown", "mouseup") and args[1] == "1":
            self.send(f"button {1 if args[0] == 'mousedown' else 0}")
        elif args[0] == "key" and all(name in self.KEYS for name in args[1].split("+")):
            self.send(f"key {'+'.join(str(self.KEYS[name]) for name in args[1].split('+'))}")
        else:
            raise Failure(f"no virtual input for xdotool {' '.join(args)}")

    def point_at(self, x, y, layout=DESKTOP_SIZE):
        """The pointer to (x, y) in the compositor's layout of outputs (of `layout`'s
        size), as a player moves the mouse onto a window."""
        self.send(f"to {x} {y} {layout[0]} {layout[1]}")

    def take_back_lost_move(self, dx, dy):
        """Motion the game did not read moved only the compositor's pointer, which
        the game reads only as motion: nothing to undo."""

    def close(self):
        self.proc.stdin.close()
        try:
            self.proc.wait(5)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            self.proc.wait()


class SeatXwaylandDisplay:
    """The Xwayland display of a Wayland compositor's session: X clients run on
    it, and keys and the pointer come in through the compositor's seat."""

    def __init__(self, display, seat):
        self.display = display
        self.seat = seat

    def env(self):
        e = display_env(self.display)
        e.pop("WAYLAND_DISPLAY", None)
        return e

    def xdotool(self, *args):
        self.seat.xdotool(*args)

    def take_back_lost_move(self, dx, dy):
        self.seat.take_back_lost_move(dx, dy)

    def mode(self):
        return screen_mode(self.env())


class SwayDesktop:
    """sway on its headless backend at 1024 x 768, the game its native Wayland
    client or, with `xwayland`, a client of its Xwayland; input through virtual
    devices, pictures with grim. sway refuses to
    run as root: it runs as nobody, in a runtime folder of that user's, which
    the root game and tools reach as root may."""

    NOBODY = 65534

    def __init__(self, out, wl_input, xwayland=False, scale=1, outputs=1):
        self.name = "sway-xwayland" if xwayland else "sway"
        self.scale = scale
        # The outputs side by side; the player's is the last, where fullscreen
        # must go.
        self.layout = (DESKTOP_SIZE[0] * outputs, DESKTOP_SIZE[1])
        self.player_output = (f"HEADLESS-{outputs}", (DESKTOP_SIZE[0] * (outputs - 1), 0, *DESKTOP_SIZE))
        self.runtime = tempfile.mkdtemp(prefix="pegs-sway-")
        os.chown(self.runtime, self.NOBODY, self.NOBODY)
        os.chmod(self.runtime, 0o700)
        config = os.path.join(self.runtime, "config")
        with open(config, "w") as f:
            # No bar: the desktop is the game's window alone. Without a seat
            # line sway 1.7 never grants a pointer lock: the pointer would
            # wander off a windowed game over its title bar.
            f.write(f"xwayland {'force' if xwayland else 'disable'}\n"
                    f"output HEADLESS-1 mode {DESKTOP_SIZE[0] * scale}x{DESKTOP_SIZE[1] * scale} scale {scale}"
                    " position 0 0\n"
                    "focus_follows_mouse no\n"
                    "seat * pointer_constraint enable\n")
            if outputs == 2:  # a second monitor to the right of the first
                f.write(f"output HEADLESS-2 mode {DESKTOP_SIZE[0]}x{DESKTOP_SIZE[1]} position {DESKTOP_SIZE[0]} 0\n")
            if xwayland:  # sway tells its clients the Xwayland display, and no one else
                f.write(f"exec echo \"$DISPLAY\" > {self.runtime}/xwayland-display\n")
        os.chown(config, self.NOBODY, self.NOBODY)
        self.log_path = os.path.join(out, f"desktop-{self.name}.log")
        self.log = open(self.log_path, "w")
        env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "HOME": self.runtime,
               "XDG_RUNTIME_DIR": self.runtime, "WLR_BACKENDS": "headless",
               "WLR_LIBINPUT_NO_DEVICES": "1", "WLR_RENDERER": "pixman", "WLR_HEADLESS_OUTPUTS": str(outputs)}
        self.wm = start_group(["setpriv", f"--reuid={self.NOBODY}", f"--regid={self.NOBODY}", "--clear-groups",
                               "sway", "--config", config], env, self.log)
        self.seat = None
        try:
            self.start_seat(wl_input, xwayland)
        except Failure:
            self.end()  # nothing of a desktop that never came up stays behind
            raise

    def start_seat(self, wl_input, xwayland):
        """Waits for sway and its IPC, then gives it a seat (and finds its Xwayland)."""
        deadline = time.time() + 20
        while True:
            sockets = [n for n in os.listdir(self.runtime) if re.fullmatch(r"wayland-\d+", n)]
            ipc = [n for n in os.listdir(self.runtime) if n.startswith("sway-ipc.")]
            if sockets and ipc:
                break
            if self.wm.poll() is not None or time.time() > deadline:
                raise Failure("sway did not start (see desktop-sway.log)")
            time.sleep(0.1)
        self.swaysock = os.path.join(self.runtime, ipc[0])
        wayland_env = {"WAYLAND_DISPLAY": sockets[0], "XDG_RUNTIME_DIR": self.runtime}
        while not self.outputs():  # the IPC socket may exist before it answers
            if self.wm.poll() is not None or time.time() > deadline:
                raise Failure("sway's IPC did not answer (see desktop-sway.log)")
            time.sleep(0.1)
        self.swaymsg("focus", "output", self.player_output[0])  # the player is there
        self.seat = WaylandSeat([wl_input], wayland_env, self.log)
        self.display = self.seat  # where the game runs and what drives it
        if xwayland:
            self.display = SeatXwaylandDisplay(self.xwayland_display(deadline), self.seat)

    def xwayland_display(self, deadline):
        """The display of sway's Xwayland, once it answers; root, whose game and
        tools are its clients, let in by the user sway runs as."""
        while True:
            try:
                with open(os.path.join(self.runtime, "xwayland-display")) as f:
                    m = re.fullmatch(r"(:\d+)\n", f.read())
            except FileNotFoundError:
                m = None
            if m:
                break
            if self.wm.poll() is not None or time.time() > deadline:
                raise Failure(f"sway did not start its Xwayland (see {self.log_path})")
            time.sleep(0.1)
        subprocess.run(["setpriv", f"--reuid={self.NOBODY}", f"--regid={self.NOBODY}", "--clear-groups",
                        "xhost", "+si:localuser:root"], env={"DISPLAY": m.group(1), "PATH": os.environ["PATH"]},
                       stdout=subprocess.DEVNULL, stderr=self.log, check=True)
        wait_for_display(m.group(1))
        return m.group(1)

    def swaymsg(self, *args):
        result = subprocess.run(["swaymsg", "-s", self.swaysock, *args], stdout=subprocess.PIPE,
                                stderr=subprocess.DEVNULL, text=True)
        return result.stdout if result.returncode == 0 else ""

    def outputs(self):
        text = self.swaymsg("-t", "get_outputs", "-r")
        return json.loads(text) if text else []

    def window(self, app_id):
        """The view of the client with `app_id` in sway's tree: its content rectangle
        (x, y, width, height), fullscreen or not, focused or not; None when absent."""
        text = self.swaymsg("-t", "get_tree", "-r")
        if not text:
            return None
        nodes = [json.loads(text)]
        while nodes:
            node = nodes.pop()
            if app_id in (node.get("app_id"), node.get("window_properties", {}).get("class")):
                r, w = node["rect"], node["window_rect"]
                return {"rect": (r["x"] + w["x"], r["y"] + w["y"], w["width"], w["height"]),
                        "fullscreen": node.get("fullscreen_mode", 0) != 0, "focused": node.get("focused", False)}
            nodes += node.get("nodes", []) + node.get("floating_nodes", [])
        return None

    def point_at_view(self, app_id):
        """The pointer to the middle of a view: the compositor sends pointer motion,
        and lets a view lock the pointer, only over it."""
        x, y, width, height = self.window(app_id)["rect"]
        self.seat.point_at(x + width // 2, y + height // 2, self.layout)

    def focus(self, app_id):
        """Focuses a view, as a click on it or sway's focus key would."""
        self.swaymsg(f"[app_id={app_id}]", "focus")

    def screenshot(self, path):
        """What the player's output shows."""
        subprocess.run(["grim", "-o", self.player_output[0], path], env=self.seat.env(), check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        raw = subprocess.run(["convert", path, "-depth", "8", "rgb:-"], check=True,
                             stdout=subprocess.PIPE).stdout
        width, height = DESKTOP_SIZE[0] * self.scale, DESKTOP_SIZE[1] * self.scale
        if len(raw) != width * height * 3:
            raise Failure(f"screenshot {path} has {len(raw)} bytes")
        return Picture(raw, width, height)

    def end(self):
        if self.seat is not None:
            self.seat.close()
        end_group(self.wm)
        self.log.close()
        shutil.rmtree(self.runtime, ignore_errors=True)


class GnomeXwaylandDisplay(SeatXwaylandDisplay):
    """The Xwayland display of a GNOME Shell session, reached as a GNOME player's
    programs reach it: DISPLAY and WAYLAND_DISPLAY both set (SDL picks X11 then),
    with mutter's X authority."""

    def __init__(self, display, authority, seat):
        super().__init__(display, seat)
        self.authority = authority

    def env(self):
        e = display_env(self.display)
        e.update(self.seat.wayland_env, XAUTHORITY=self.authority)
        e.pop("SDL_VIDEODRIVER", None)
        return e


class GnomeDesktop:
    """GNOME Shell 43 headless at 1024 x 768 on a bus of its own (a second one
    stands in for the system bus), settings in memory; the game its native
    Wayland client or, with `xwayland`, a client of its Xwayland. Input through
    mutter's remote desktop API, pictures through the shell's screenshot API and
    the look at windows through the probe extension in gnome-probe/, all spoken
    to by gnome_remote.py."""

    PROBE = "probe@christmas-pegs"

    def __init__(self, out, xwayland=False):
        self.name = "gnome-xwayland" if xwayland else "gnome"
        self.scale = 1
        self.home = tempfile.mkdtemp(prefix="pegs-gnome-")
        self.runtime = os.path.join(self.home, "runtime")
        os.mkdir(self.runtime, 0o700)
        here = os.path.dirname(os.path.abspath(__file__))
        shutil.copytree(os.path.join(here, "gnome-probe"),
                        os.path.join(self.home, "data", "gnome-shell", "extensions", self.PROBE))
        self.log_path = os.path.join(out, f"desktop-{self.name}.log")
        self.log = open(self.log_path, "w")
        self.buses = [self.start_bus(), self.start_bus()]
        socket = f"pegs-gnome-{os.getpid()}"
        env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "HOME": self.home,
               "XDG_RUNTIME_DIR": self.runtime, "XDG_DATA_HOME": os.path.join(self.home, "data"),
               "XDG_CONFIG_HOME": os.path.join(self.home, "config"),
               "DBUS_SESSION_BUS_ADDRESS": self.buses[0][1], "DBUS_SYSTEM_BUS_ADDRESS": self.buses[1][1],
               "GSETTINGS_BACKEND": "memory", "XDG_SESSION_TYPE": "wayland", "XDG_CURRENT_DESKTOP": "GNOME"}
        self.wm = start_group(["gnome-shell", "--headless", "--wayland", "--virtual-monitor",
                               f"{DESKTOP_SIZE[0]}x{DESKTOP_SIZE[1]}", f"--wayland-display={socket}"], env, self.log)
        self.seat = None
        deadline = time.time() + 60  # a busy machine takes long over the shell's first start
        x_display = self.wait_log(r"Using public X11 display (:\d+)", deadline)
        wayland_env = {"WAYLAND_DISPLAY": socket, "XDG_RUNTIME_DIR": self.runtime,
                       "DBUS_SESSION_BUS_ADDRESS": self.buses[0][1]}
        remote = ["/usr/bin/python3", os.path.join(here, "gnome_remote.py"), self.PROBE]
        while self.seat is None:
            try:
                self.seat = WaylandSeat(remote, wayland_env, self.log)
            except Failure:  # the shell's D-Bus services are not there yet
                if self.wm.poll() is not None or time.time() > deadline:
                    raise
                time.sleep(0.5)
        # The shell opens its overview as a session starts: the player closes it.
        wait_until_true("the overview open at start", lambda: self.look()["overview"], deadline)
        self.seat.xdotool("key", "Escape")
        wait_until_true("the overview closed", lambda: not self.look()["overview"], time.time() + 10)
        self.display = self.seat
        if xwayland:
            authority = [n for n in os.listdir(self.runtime) if n.startswith(".mutter-Xwaylandauth")]
            self.display = GnomeXwaylandDisplay(x_display, os.path.join(self.runtime, authority[0]), self.seat)
            # The first client starts Xwayland.
            wait_until_true("answer from Xwayland", lambda: run_x(self.display.env(), "xdpyinfo") != "",
                            time.time() + 20)

    def start_bus(self):
        bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                               stdout=subprocess.PIPE, stderr=self.log, text=True, start_new_session=True)
        return bus, bus.stdout.readline().strip()

    def wait_log(self, pattern, deadline):
        while True:
            with open(self.log_path) as f:
                m = re.search(pattern, f.read())
            if m:
                return m.group(1)
            if self.wm.poll() is not None or time.time() > deadline:
                raise Failure(f"gnome-shell did not start (see {self.log_path})")
            time.sleep(0.1)

    def look(self):
        """What the shell shows: {"pointer": [x, y], "overview": bool, "workArea": [x, y, w, h],
        "windows": [{"wmClass", "title", "x11", "frame": [x, y, w, h], "buffer", "minimized",
        "fullscreen", "focus"}]}."""
        answer = self.seat.ask("look")
        try:
            return json.loads(answer)
        except ValueError:
            raise Failure(f"the probe answered {answer!r}")

    def window(self, wm_class):
        """The window of `wm_class` as look() tells it, or None."""
        return next((w for w in self.look()["windows"] if w["wmClass"] == wm_class), None)

    def point_at_view(self, wm_class):
        """The pointer moved onto the middle of a window, as a player moves the
        mouse: GNOME gives a window the pointer only with motion over it."""
        seen = self.look()
        x, y, width, height = next(w for w in seen["windows"] if w["wmClass"] == wm_class)["frame"]
        px, py = seen["pointer"]
        self.seat.send(f"move {x + width // 2 - px + 1} {y + height // 2 - py + 1}")

    def screenshot(self, path):
        self.seat.send(f"shot {os.path.abspath(path)}")  # the shell's own folder is not ours
        raw = subprocess.run(["convert", path, "-depth", "8", "rgb:-"], check=True,
                             stdout=subprocess.PIPE).stdout
        if len(raw) != DESKTOP_SIZE[0] * DESKTOP_SIZE[1] * 3:
            raise Failure(f"screenshot {path} has {len(raw)} bytes")
        return Picture(raw, *DESKTOP_SIZE)

    def end(self):
        if self.seat is not None:
            self.seat.close()
        end_group(self.wm)
        for bus, _ in self.buses:
            end_group(bus)
        self.log.close()
        shutil.rmtree(self.home, ignore_errors=True)


def wait_until_true(what, look, deadline):
    while not look():
        if time.time() > deadline:
            raise Failure(f"GNOME Shell: no {what}")
        time.sleep(0.2)
