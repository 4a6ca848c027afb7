"""Runs the real game under Xvfb and drives it like a player with xdotool.

The game writes progress lines to a trace file when CHRISTMAS_PEGS_TRACE is
set (first frame, state changes, cursor moves, button messages, pegs left);
the harness waits on those lines instead of sleeping for fixed times.
"""
import math
import os
import re
import signal
import struct
import subprocess
import time

SCREEN_W, SCREEN_H = 640, 480
UNITS_PER_PIXEL = 0.01  # the game moves its cursor 0.01 board units per pointer pixel


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def free_display():
    for n in range(90, 200):
        if not os.path.exists(f"/tmp/.X{n}-lock") and not os.path.exists(f"/tmp/.X11-unix/X{n}"):
            return n
    raise Failure("no free X display number")


class XServer:
    """Xvfb with one 640 x 480 x 16 screen, or, given a configuration, Xorg with the
    dummy video driver, whose screen offers real modes to switch between. Pointer
    acceleration off."""

    def __init__(self, xorg_config=None):
        self.number = free_display()
        self.display = f":{self.number}"
        if xorg_config:
            command = ["Xorg", self.display, "-config", xorg_config, "-noreset", "-nolisten", "tcp",
                       "-logfile", f"/tmp/pegs-xorg-{self.number}.log"]
        else:
            command = ["Xvfb", self.display, "-screen", "0", f"{SCREEN_W}x{SCREEN_H}x16", "-nolisten", "tcp"]
        self.proc = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        deadline = time.time() + 15
        while time.time() < deadline:
            if subprocess.run(["xdpyinfo"], env=self.env(), stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL).returncode == 0:
                break
            time.sleep(0.05)
        else:
            raise Failure("Xvfb did not start")
        subprocess.run(["xset", "m", "1", "1"], env=self.env(), check=False)

    def env(self):
        e = dict(os.environ)
        e["DISPLAY"] = self.display
        return e

    def xdotool(self, *args):
        subprocess.run(["xdotool", *map(str, args)], env=self.env(), check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def mode(self):
        """The screen's current mode as xrandr reports it, e.g. "1024x768"."""
        out = subprocess.run(["xrandr", "--current"], env=self.env(), stdout=subprocess.PIPE,
                             text=True).stdout
        for line in out.splitlines():
            if "*" in line:
                return line.split()[0]
        return None

    def screenshot(self, path):
        subprocess.run(["import", "-window", "root", path], env=self.env(), check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        raw = subprocess.run(["convert", path, "-depth", "8", "rgb:-"], check=True,
                             stdout=subprocess.PIPE).stdout
        check(len(raw) == SCREEN_W * SCREEN_H * 3, f"screenshot {path} has {len(raw)} bytes")
        return Picture(raw)

    def close(self):
        self.proc.terminate()
        try:
            self.proc.wait(10)
        except subprocess.TimeoutExpired:
            self.proc.kill()


class Openbox:
    """The openbox window manager on an X server, ready once it has claimed the screen."""

    def __init__(self, xserver):
        self.proc = subprocess.Popen(["openbox", "--sm-disable"], env=xserver.env(),
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        deadline = time.time() + 15
        while time.time() < deadline:
            out = subprocess.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], env=xserver.env(),
                                 stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True).stdout
            if "window id" in out:
                return
            time.sleep(0.05)
        self.close()
        raise Failure("openbox did not start")

    def close(self):
        self.proc.terminate()
        try:
            self.proc.wait(10)
        except subprocess.TimeoutExpired:
            self.proc.kill()


class Picture:
    def __init__(self, raw):
        self.raw = raw

    def pixel(self, x, y):
        i = (int(y) * SCREEN_W + int(x)) * 3
        return self.raw[i], self.raw[i + 1], self.raw[i + 2]

    def brightest(self, cx, cy, radius):
        best = 0
        for y in range(int(cy) - radius, int(cy) + radius + 1):
            for x in range(int(cx) - radius, int(cx) + radius + 1):
                if 0 <= x < SCREEN_W and 0 <= y < SCREEN_H:
                    best = max(best, sum(self.pixel(x, y)))
        return best

    def count(self, predicate, box=(0, 0, SCREEN_W, SCREEN_H)):
        x0, y0, x1, y1 = box
        return sum(1 for y in range(y0, y1) for x in range(x0, x1) if predicate(*self.pixel(x, y)))


def hole_on_screen(column, row):
    """Screen pixel of a hole's tree tip: board frame 8 units in front of the eye."""
    f = 1.0 / math.tan(math.radians(22.5))
    x, y = column - 3, 3 - row
    ndc_x = x * f / (SCREEN_W / SCREEN_H) / 8.0
    ndc_y = y * f / 8.0
    return 320 + ndc_x * 320, 240 - ndc_y * 240


class Game:
    def __init__(self, xserver, binary, root, out_dir, name, audio="disk", extra_env=None, cwd=None):
        self.x = xserver
        self.trace_path = os.path.join(out_dir, f"{name}.trace")
        self.audio_path = os.path.join(out_dir, f"{name}.raw")
        self.stderr_path = os.path.join(out_dir, f"{name}.stderr")
        env = xserver.env()
        env["CHRISTMAS_PEGS_TRACE"] = self.trace_path
        env["SDL_AUDIODRIVER"] = audio
        env["SDL_DISKAUDIOFILE"] = self.audio_path
        # Libraries to preload into the game alone (the sanitizer build uses
        # it), never into the X server or the tools.
        if os.environ.get("CP_E2E_GAME_PRELOAD"):
            env["LD_PRELOAD"] = os.environ["CP_E2E_GAME_PRELOAD"]
        env.update(extra_env or {})
        for path in (self.trace_path, self.audio_path):
            if os.path.exists(path):
                os.remove(path)
        self.started = time.time()
        self.proc = subprocess.Popen([binary], cwd=cwd or root, env=env,
                                     stdout=subprocess.DEVNULL, stderr=open(self.stderr_path, "w"))
        self.offset = 0
        self.lines = []
        self.mark = 0  # where the next default wait starts: after the last line matched
        self.cursor = (0.0, 0.0)

    def read_trace(self):
        try:
            with open(self.trace_path) as f:
                f.seek(self.offset)
                data = f.read()
        except FileNotFoundError:
            return
        complete = data[: data.rfind("\n") + 1]
        self.offset += len(complete.encode())
        for line in complete.splitlines():
            self.lines.append(line)
            m = re.match(r"cursor (\S+) (\S+)", line)
            if m:
                self.cursor = (float(m.group(1)), float(m.group(2)))

    def wait_for(self, pattern, timeout=20.0, after=None):
        """Waits for a trace line matching `pattern` at index `after` or later (by default after
        the line the previous wait matched); returns its index."""
        start = self.mark if after is None else after
        deadline = time.time() + timeout
        while True:
            exited = self.proc.poll() is not None
            self.read_trace()
            for i in range(start, len(self.lines)):
                if re.search(pattern, self.lines[i]):
                    self.mark = i + 1
                    return i
            if exited:
                raise Failure(f"game exited ({self.proc.returncode}) before trace line /{pattern}/")
            if time.time() > deadline:
                raise Failure(f"no trace line /{pattern}/ within {timeout} s; last: {self.lines[-3:]}")
            time.sleep(0.01)

    def wait_state(self, name, timeout=20.0):
        """Waits until the game has entered state `name` (at any time since it started)."""
        return self.wait_for(rf"^state {name} ", timeout, after=0)

    def frame_count(self):
        self.read_trace()
        for line in reversed(self.lines):
            m = re.search(r"(?:^| )frame (\d+)$", line)
            if m:
                return int(m.group(1))
        return 0

    def next_tick(self, timeout=3.0):
        """Waits for the next hundredth drawn frame; returns its number and the time it was seen.
        When none comes (the game is not drawing) returns the last frame number and now."""
        self.read_trace()
        try:
            i = self.wait_for(r"^tick frame ", timeout, after=len(self.lines))
            return int(self.lines[i].split()[2]), time.time()
        except Failure:
            if self.proc.poll() is not None:
                raise
            return self.frame_count(), time.time()

    def rate(self, seconds):
        """Frames drawn per second and CPU of the game, all threads, in percent of one core,
        over about `seconds`; the window starts and ends on a frame tick while frames flow."""
        frame0, wall0 = self.next_tick()
        cpu0 = cpu_seconds(self.proc.pid)
        time.sleep(seconds)
        frame1, wall1 = self.next_tick()
        cpu1 = cpu_seconds(self.proc.pid)
        wall = wall1 - wall0
        return (frame1 - frame0) / wall, 100.0 * (cpu1 - cpu0) / wall

    def move_cursor_to(self, x, y, timeout=20.0):
        """Moves the pointer until the game's cursor reaches (x, y) within half a pixel step."""
        for _ in range(40):
            self.read_trace()
            dx = round((x - self.cursor[0]) / UNITS_PER_PIXEL)
            dy = round((self.cursor[1] - y) / UNITS_PER_PIXEL)
            if dx == 0 and dy == 0:
                return
            # Small steps keep the X pointer away from the screen edges.
            step_x = max(-100, min(100, dx))
            step_y = max(-100, min(100, dy))
            mark = len(self.lines)
            self.x.xdotool("mousemove_relative", "--", step_x, step_y)
            # A move made before the game captured the pointer is lost: try again.
            try:
                self.wait_for(r"^cursor ", 2.0, after=mark)
            except Failure:
                if self.proc.poll() is not None:
                    raise
        raise Failure(f"cursor did not reach ({x}, {y}); it is at {self.cursor}")

    def button(self, down):
        mark = len(self.lines)
        self.x.xdotool("mousedown" if down else "mouseup", 1)
        self.wait_for(r"^button " + ("down" if down else "up"), after=mark)

    def key(self, name):
        self.x.xdotool("key", name)

    def wait_exit(self, timeout):
        try:
            return self.proc.wait(timeout)
        except subprocess.TimeoutExpired:
            raise Failure(f"game still running after {timeout} s")

    def kill(self):
        if self.proc.poll() is None:
            self.proc.send_signal(signal.SIGKILL)
            self.proc.wait()

    def pegs(self):
        self.read_trace()
        for line in reversed(self.lines):
            m = re.match(r"pegs (\d+)", line)
            if m:
                return int(m.group(1))
        return None


def cpu_seconds(pid):
    """User and system time of a process, all its threads (fields 14 and 15 of /proc/PID/stat)."""
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def audio_levels(path, rate=44100, channels=2, window_s=0.5):
    """RMS of signed 16-bit PCM per window, in sample units."""
    with open(path, "rb") as f:
        data = f.read()
    count = len(data) // 2
    samples = struct.unpack(f"<{count}h", data[: count * 2])
    per = int(rate * channels * window_s)
    levels = []
    for i in range(0, len(samples) - per + 1, per):
        chunk = samples[i:i + per]
        levels.append(math.sqrt(sum(s * s for s in chunk) / per))
    return levels
