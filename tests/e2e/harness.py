"""Runs the real game under Xvfb and drives it like a player with xdotool.

The game writes progress lines to a trace file when CHRISTMAS_PEGS_TRACE is
set (first frame, state changes, cursor moves, pointer capture and the motion
the game read, button messages, pegs left); the harness waits on those lines
instead of sleeping for fixed times.
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
# The game's cursor stays inside -5 < x < 5, -4 < y < 4: a move that takes it
# out throws it through the middle to the opposite side.
CURSOR_BOUNDS = (5.0, 4.0)
CURSOR_MARGIN = 0.05  # how far inside those bounds the harness keeps the cursor and its targets
MAX_STEP = 100  # pixels per pointer move and axis
FRAME_NUMBER = re.compile(r"(?:^| )frame (\d+)$")  # how trace lines end


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def display_env(display):
    """The environment for an X client of `display` (never a Wayland one)."""
    e = dict(os.environ)
    e["DISPLAY"] = display
    e.pop("WAYLAND_DISPLAY", None)
    return e


def wait_for_display(display, timeout=15.0):
    env = display_env(display)
    deadline = time.time() + timeout
    while time.time() < deadline:
        if subprocess.run(["xdpyinfo"], env=env, stdout=subprocess.DEVNULL,
                          stderr=subprocess.DEVNULL).returncode == 0:
            return
        time.sleep(0.05)
    raise Failure(f"the X display {display} did not come up")


def screen_mode(env):
    """The current mode of the screen of DISPLAY in `env`, as xrandr reports it."""
    out = subprocess.run(["xrandr", "--current"], env=env, stdout=subprocess.PIPE, text=True).stdout
    for line in out.splitlines():
        if "*" in line:
            return line.split()[0]
    return None


def stop(proc):
    """Ends a server the harness started: asked first, killed after 10 s."""
    proc.terminate()
    try:
        proc.wait(10)
    except subprocess.TimeoutExpired:
        proc.kill()


class XServer:
    """Xvfb with one screen (640 x 480 x 16 unless told), or, given a configuration,
    Xorg with the dummy video driver, whose screen offers real modes to switch
    between. Pointer acceleration off."""

    def __init__(self, xorg_config=None, size=(SCREEN_W, SCREEN_H), depth=16, extra_args=()):
        # A number whose lock file is missing may be taken by a server started at
        # the same moment; the server says on a pipe whether it got the number
        # (it writes it once it accepts clients; it ends without a word when not).
        # One that ends without a word while no lock file is left may have lost
        # the number to a server that has ended since (another test run on the
        # machine): the next number is tried, and the third such end is a fault.
        failures = 0
        for number in range(90, 200):
            if os.path.exists(f"/tmp/.X{number}-lock") or os.path.exists(f"/tmp/.X11-unix/X{number}"):
                continue
            read_end, write_end = os.pipe()
            common = [f":{number}", "-displayfd", str(write_end), "-nolisten", "tcp", *extra_args]
            if xorg_config:
                command = ["Xorg", *common, "-config", xorg_config, "-noreset",
                           "-logfile", f"/tmp/pegs-xorg-{number}.log"]
            else:
                command = ["Xvfb", *common, "-screen", "0", f"{size[0]}x{size[1]}x{depth}"]
            self.proc = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                         pass_fds=(write_end,))
            os.close(write_end)
            with os.fdopen(read_end) as announced:
                got = announced.readline().strip() == str(number)
            if got:
                break
            self.proc.wait()
            if not os.path.exists(f"/tmp/.X{number}-lock"):
                failures += 1
                if failures == 3:
                    raise Failure(f"{command[0]} did not start on :{number} (exit code {self.proc.returncode})")
        else:
            raise Failure("no free X display number")
        self.number = number
        self.display = f":{number}"
        subprocess.run(["xset", "m", "1", "1"], env=self.env(), check=False)

    def env(self):
        return display_env(self.display)

    def xdotool(self, *args):
        subprocess.run(["xdotool", *map(str, args)], env=self.env(), check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def take_back_lost_move(self, dx, dy):
        """A move the game did not see: here the server's own pointer, which the
        game reads only as motion, needs nothing undone."""

    def mode(self):
        """The screen's current mode as xrandr reports it, e.g. "1024x768"."""
        return screen_mode(self.env())

    def screenshot(self, path, size=(SCREEN_W, SCREEN_H), crop=None):
        """The screen, which must be `size` (width, height) pixels, or its top-left
        `crop` (width, height) pixels when given."""
        command = ["import", "-window", "root"]
        if crop:
            size = crop
            command += ["-crop", f"{crop[0]}x{crop[1]}+0+0", "+repage"]
        subprocess.run(command + [path], env=self.env(), check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        raw = subprocess.run(["convert", path, "-depth", "8", "rgb:-"], check=True,
                             stdout=subprocess.PIPE).stdout
        check(len(raw) == size[0] * size[1] * 3, f"screenshot {path} has {len(raw)} bytes")
        return Picture(raw, *size)

    def close(self):
        stop(self.proc)


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
        stop(self.proc)


class Picture:
    def __init__(self, raw, width=SCREEN_W, height=SCREEN_H):
        self.raw = raw
        self.width = width
        self.height = height

    def pixel(self, x, y):
        i = (int(y) * self.width + int(x)) * 3
        return self.raw[i], self.raw[i + 1], self.raw[i + 2]

    def brightest(self, cx, cy, radius):
        best = 0
        for y in range(int(cy) - radius, int(cy) + radius + 1):
            for x in range(int(cx) - radius, int(cx) + radius + 1):
                if 0 <= x < self.width and 0 <= y < self.height:
                    best = max(best, sum(self.pixel(x, y)))
        return best

    def count(self, predicate, box=None):
        x0, y0, x1, y1 = box or (0, 0, self.width, self.height)
        return sum(1 for y in range(y0, y1) for x in range(x0, x1) if predicate(*self.pixel(x, y)))


class Game:
    def __init__(self, xserver, binary, root, out_dir, name, audio="disk", extra_env=None, cwd=None, arguments=()):
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
        self.proc = subprocess.Popen([binary, *arguments], cwd=cwd or root, env=env,
                                     stdout=subprocess.DEVNULL, stderr=open(self.stderr_path, "w"))
        self.offset = 0
        self.lines = []
        self.mark = 0  # where the next default wait starts: after the last line matched
        self.cursor = (0.0, 0.0)
        self.holes = {}  # (column, row): (board x, board y, picture x, picture y), as the game tells
        # What the trace said about the pointer: captured or not, how often the
        # capture changed, the sum of the motion the game read, and the
        # highest frame number any line named.
        self.captured = False
        self.capture_changes = 0
        self.motion = (0, 0)
        self.motion_frame = 0  # the frame number of the last motion line
        self.frame = 0

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
            m = FRAME_NUMBER.search(line)
            if m:
                self.frame = max(self.frame, int(m.group(1)))
            m = re.match(r"cursor (\S+) (\S+)", line)
            if m:
                self.cursor = (float(m.group(1)), float(m.group(2)))
            m = re.match(r"motion (-?\d+) (-?\d+)", line)
            if m:
                self.motion = (self.motion[0] + int(m.group(1)), self.motion[1] + int(m.group(2)))
                self.motion_frame = self.frame
            m = re.match(r"capture (on|off)", line)
            if m:
                self.captured = m.group(1) == "on"
                self.capture_changes += 1
            m = re.match(r"hole (\d+) (\d+) board (\S+) (\S+) picture (\S+) (\S+)$", line)
            if m:
                self.holes[(int(m.group(1)), int(m.group(2)))] = tuple(float(v) for v in m.groups()[2:])

    def hole_on_screen(self, column, row, screen=(SCREEN_W, SCREEN_H)):
        """Screen pixel of a hole's tree tip, the game's picture filling a screen of `screen`
        (width, height) pixels."""
        _, _, x, y = self.holes[(column, row)]
        return x * screen[0], y * screen[1]

    def hole_on_board(self, column, row):
        """Board point (the virtual cursor's frame) of a hole's centre."""
        return self.holes[(column, row)][:2]

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
        return self.frame

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

    def drawn_after(self, seconds, timeout=20.0):
        """Waits `seconds`, then until the game has drawn a frame it began after them: the
        frame of the first trace line written later may have begun before, the one after it
        not. For a screenshot of what time-driven scenes show by then, on a busy machine too."""
        time.sleep(seconds)
        self.read_trace()
        mark = len(self.lines)

        def drawn():
            first = first_frame(self.lines[mark:])
            return first is not None and self.frame > first
        self.poll_until(drawn, "frame drawn after the wait", timeout)

    def poll_until(self, done, what, timeout):
        """Reads the trace until `done()` holds; fails when the game exits or after `timeout` s."""
        deadline = time.time() + timeout
        while True:
            self.read_trace()
            if done():
                return
            if self.proc.poll() is not None:
                raise Failure(f"game exited ({self.proc.returncode}) before {what}")
            if time.time() > deadline:
                raise Failure(f"no {what} within {timeout} s; last: {self.lines[-3:]}")
            time.sleep(0.01)

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

    def wait_capture(self, timeout=20.0):
        """Waits until the game has the pointer captured (it reads mouse motion)."""
        self.poll_until(lambda: self.captured, "capture of the pointer", timeout)

    def move_cursor_to(self, x, y, timeout=20.0):
        """Moves the pointer until the game's cursor reaches (x, y) within half a pixel step.

        Moves go out only while the game has the pointer captured, one at a time.
        A move counts as taken once `motion` lines add up to it and a later
        frame has drawn the cursor; as lost only on evidence: the capture changed
        after it, or two frames began after it was sent without its motion. Fails
        when `timeout` seconds pass without the cursor coming closer."""
        bx, by = (b - CURSOR_MARGIN for b in CURSOR_BOUNDS)
        check(abs(x) <= bx and abs(y) <= by, f"cursor target ({x}, {y}) is outside the game's rectangle")
        progress_deadline = time.time() + timeout
        best = None
        sent = None  # the move in flight: what the game should read and when it must have read it
        while True:
            self.read_trace()
            if self.proc.poll() is not None:
                raise Failure(f"game exited ({self.proc.returncode}) while the harness moved the cursor")
            if sent is not None:
                seen = (self.motion[0] - sent["motion"][0], self.motion[1] - sent["motion"][1])
                if self.capture_changes != sent["capture_changes"]:
                    # The game let the pointer go (or took it anew, starting afresh): what it
                    # did not read is gone.
                    if not self.captured and seen != sent["step"]:
                        self.x.take_back_lost_move(sent["step"][0] - seen[0], sent["step"][1] - seen[1])
                    sent = None
                elif sent["evidence"] is None and first_frame(self.lines[sent["lines"]:]) is not None:
                    # The frame that wrote the first line after the move may have read the
                    # mouse before it; every frame after that one reads after it.
                    sent["evidence"] = first_frame(self.lines[sent["lines"]:]) + 2
                # A motion line names the frames drawn before its read; the cursor line of
                # the frame that read it comes next.
                if sent is not None and seen == sent["step"] and self.frame > self.motion_frame:
                    sent = None  # taken
                elif sent is not None and sent["evidence"] is not None and self.frame >= sent["evidence"]:
                    sent = None  # frames went by: the rest of it will not come; the cursor says where it went
            distance = math.hypot(x - self.cursor[0], y - self.cursor[1])
            if best is None or distance < best - UNITS_PER_PIXEL / 2:
                best = distance
                progress_deadline = time.time() + timeout
            if sent is None and self.captured:
                dx = round((x - self.cursor[0]) / UNITS_PER_PIXEL)
                dy = round((self.cursor[1] - y) / UNITS_PER_PIXEL)
                if dx == 0 and dy == 0:
                    return
                # A cursor beyond the rectangle is thrown back in by the game's next frame: wait
                # for that. One shown on its edge (two decimals) may be just inside, where the game
                # leaves it; a step toward the target, inside, is taken either way.
                inside = abs(self.cursor[0]) <= CURSOR_BOUNDS[0] and abs(self.cursor[1]) <= CURSOR_BOUNDS[1]
                if inside:
                    # Steps toward a target inside the rectangle from a cursor inside it stay inside.
                    step = (max(-MAX_STEP, min(MAX_STEP, dx)), max(-MAX_STEP, min(MAX_STEP, dy)))
                    sent = {"step": step, "motion": self.motion, "capture_changes": self.capture_changes,
                            "evidence": None}
                    self.x.xdotool("mousemove_relative", "--", *step)
                    self.read_trace()
                    sent["lines"] = len(self.lines)
                    continue
            if time.time() > progress_deadline:
                state = "captured" if self.captured else "not captured"
                raise Failure(f"cursor did not reach ({x}, {y}); it is at {self.cursor}, pointer {state}, "
                              f"no progress in {timeout} s")
            time.sleep(0.005)

    def button(self, down):
        self.read_trace()  # so that the answer to an earlier press is not taken for this one's
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


def first_frame(lines):
    """The frame number the first of `lines` that names one names."""
    for line in lines:
        m = FRAME_NUMBER.search(line)
        if m:
            return int(m.group(1))
    return None


def cpu_seconds(pid):
    """User and system time of a process, all its threads (fields 14 and 15 of /proc/PID/stat)."""
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def audio_levels(path, rate=44100, channels=2, window_s=0.5, start=0, end=None):
    """RMS of signed 16-bit PCM per window, in sample units, of the bytes
    from start to end (to the end of the file when None)."""
    with open(path, "rb") as f:
        data = f.read()
    start -= start % (2 * channels)  # whole frames only
    data = data[start:end]
    count = len(data) // 2
    samples = struct.unpack(f"<{count}h", data[: count * 2])
    per = int(rate * channels * window_s)
    levels = []
    for i in range(0, len(samples) - per + 1, per):
        chunk = samples[i:i + per]
        levels.append(math.sqrt(sum(s * s for s in chunk) / per))
    return levels
