"""End-to-end scenarios of the real game under Xvfb; one per ctest test.

usage: scenarios.py SCENARIO --binary PATH --root PROJECT_ROOT --out DIR
"""
import argparse
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

from desktops import (DESKTOP_SIZE, GnomeDesktop, I3Desktop, SwayDesktop, WestonDesktop, WindowManagerDesktop,
                      XWindow, is_active, run_x)
from harness import Failure, Game, Openbox, XServer, audio_levels, check

# A solution of the 33-hole board that ends with one peg in the centre.
SOLUTION = [((1, 3), (3, 3)), ((2, 1), (2, 3)), ((0, 2), (2, 2)), ((0, 4), (0, 2)), ((2, 3), (2, 1)),
            ((2, 0), (2, 2)), ((2, 4), (0, 4)), ((2, 6), (2, 4)), ((3, 2), (1, 2)), ((0, 2), (2, 2)),
            ((3, 0), (3, 2)), ((3, 2), (1, 2)), ((3, 4), (1, 4)), ((0, 4), (2, 4)), ((3, 6), (3, 4)),
            ((3, 4), (1, 4)), ((5, 2), (3, 2)), ((4, 0), (4, 2)), ((4, 2), (2, 2)), ((1, 2), (3, 2)),
            ((3, 2), (3, 4)), ((4, 4), (2, 4)), ((1, 4), (3, 4)), ((4, 6), (4, 4)), ((4, 3), (4, 5)),
            ((6, 4), (4, 4)), ((3, 4), (5, 4)), ((6, 2), (6, 4)), ((6, 4), (4, 4)), ((4, 5), (4, 3)),
            ((5, 3), (3, 3))]
# Six jumps to a position with no jump left: 26 pegs stay.
DEAD_END = [((1, 3), (3, 3)), ((4, 3), (2, 3)), ((3, 1), (3, 3)), ((3, 4), (3, 2)), ((3, 6), (3, 4)),
            ((6, 3), (4, 3))]

def tree_at(game, picture, column, row):
    """A tree's green needles around the projected tip of a hole (snowflakes are grey),
    the game's picture filling the whole of `picture`."""
    sx, sy = game.hole_on_screen(column, row, (picture.width, picture.height))
    green = picture.count(lambda r, g, b: g >= 20 and g >= r + 12 and g >= b + 12,
                          (int(sx) - 5, int(sy) - 5, int(sx) + 6, int(sy) + 6))
    return green >= 25


def is_light_grey(r, g, b):
    return r > 110 and abs(r - g) < 16 and abs(g - b) < 16


def park_cursor(game):
    """Moves the bottle cursor off the board so that it hides no hole."""
    game.move_cursor_to(4.5, -3.5)


def skip_intro(game):
    game.wait_for(r"^first-frame", after=0)
    game.key("Escape")
    game.wait_state("playing")


def play(game, moves):
    for number, ((c0, r0), (c1, r1)) in enumerate(moves):
        before = game.pegs()
        game.move_cursor_to(*game.hole_on_board(c0, r0))
        game.button(True)
        game.move_cursor_to(*game.hole_on_board(c1, r1))
        game.button(False)
        game.wait_for(rf"^pegs {before - 1} ", timeout=10, after=0)
        check(game.pegs() == before - 1, f"move {number + 1} {(c0, r0)}->{(c1, r1)} was not taken")


def shot(x, out, name):
    return x.screenshot(os.path.join(out, f"{name}.png"))


def scenario_smoke(x, args):
    game = Game(x, args.binary, args.root, args.out, "smoke")
    game.wait_for(r"^first-frame", after=0)
    game.wait_state("intro")
    shot(x, args.out, "smoke-intro")
    game.key("Escape")
    game.wait_state("playing")
    time.sleep(0.3)
    game.key("Escape")
    check(game.wait_exit(15) == 0, "exit code after Escape twice")
    check(unusable_assets(game) == [], f"every asset is used: {unusable_assets(game)}")


def scenario_full_game(x, args):
    game = Game(x, args.binary, args.root, args.out, "full-game")
    game.wait_for(r"^first-frame", after=0)
    game.drawn_after(1.0)
    intro = shot(x, args.out, "full-01-intro")
    check(intro.count(lambda r, g, b: r > 150 and g > 150 and b > 150, (200, 240, 440, 480)) > 2000,
          "the intro shows the snowman's white body")
    skip_intro(game)
    game.wait_for(r"^pegs 32 ", after=0)
    park_cursor(game)
    board = shot(x, args.out, "full-02-playing")
    check(len(game.holes) == 33, f"the game tells where its 33 holes are: {sorted(game.holes)}")
    for c, r in sorted(game.holes):
        tree = tree_at(game, board, c, r)
        if (c, r) == (3, 3):
            check(not tree, "the centre hole is empty at the start")
        else:
            check(tree, f"a tree stands in hole {(c, r)}")
    play(game, SOLUTION[:1])
    park_cursor(game)
    game.drawn_after(3.0)  # the jumped tree's leaving animation takes at most 2.5 s
    after = shot(x, args.out, "full-03-first-jump")
    check(not tree_at(game, after, 2, 3), "the jumped hole (2, 3) is empty")
    check(not tree_at(game, after, 1, 3), "the origin hole (1, 3) is empty")
    check(tree_at(game, after, 3, 3), "a tree stands in the centre")
    play(game, SOLUTION[1:])
    check(game.pegs() == 1, "one peg is left")
    game.wait_state("board-exit")
    game.drawn_after(2.0)
    shot(x, args.out, "full-04-board-exit")
    game.wait_state("finale", timeout=30)
    # The output restarts at the finale: what is captured from here on can
    # only be the finale's own music.
    finale_audio_at = os.path.getsize(game.audio_path)
    game.drawn_after(4.0)
    rating = shot(x, args.out, "full-05-rating")
    # White text under the scene's lights comes out light grey.
    check(rating.count(is_light_grey) > 3000, "the rating shows white text")
    # The greeting scrolls by in a few seconds: a frame tick (up to a hundred
    # frames) could come too late to wait for.
    time.sleep(10.0)
    greeting = shot(x, args.out, "full-06-greeting")
    check(greeting.count(is_light_grey) > 3000, "the greeting shows white text")
    greeting_audio_at = os.path.getsize(game.audio_path)
    check(game.wait_exit(90) == 0, "the game ends by itself with exit code 0")
    levels = audio_levels(game.audio_path)
    check(len(levels) > 4 and max(levels[:6]) > 300, f"music is audible at the start: {levels[:6]}")
    finale_levels = audio_levels(game.audio_path, start=finale_audio_at, end=greeting_audio_at)
    check(len(finale_levels) > 4 and max(finale_levels) > 300,
          f"the finale's music is audible up to the greeting: {finale_levels}")
    report_long_frames(game)


def report_long_frames(game):
    """Prints the frames that came more than 25 ms after the one before; a
    figure for the log, not a check (a loaded test machine stalls anyone)."""
    game.read_trace()
    long = [line.split() for line in game.lines if line.startswith("long-frame ")]
    if long:
        worst = max(long, key=lambda fields: float(fields[1]))
        print(f"{len(long)} frames over 25 ms; the longest {worst[1]} ms at frame {worst[3]}: "
              + ", ".join(f"{f[1]}@{f[3]}" for f in long[:20]))
    else:
        print("no frame over 25 ms")


def scenario_intro(x, args):
    game = Game(x, args.binary, args.root, args.out, "intro", audio="dummy")
    game.wait_for(r"^first-frame", after=0)
    started = time.time()
    time.sleep(3.5)
    shot(x, args.out, "intro-phase1")
    time.sleep(5.0)
    shot(x, args.out, "intro-phase3")
    game.wait_state("playing", timeout=40)
    took = time.time() - started
    check(15.0 < took < 25.0, f"the intro hands over to play by itself after about 17.5 s (took {took:.1f} s)")
    game.key("Escape")
    check(game.wait_exit(15) == 0, "exit code")


def scenario_escape(x, args):
    # A long press in the intro skips it and closes the game.
    game = Game(x, args.binary, args.root, args.out, "escape-long", audio="dummy")
    game.wait_for(r"^first-frame", after=0)
    x.xdotool("keydown", "Escape")
    time.sleep(1.0)
    x.xdotool("keyup", "Escape")
    check(game.wait_exit(15) == 0, "a long Escape in the intro closes with exit code 0")
    # Escape while playing, during the board's exit and in the finale.
    for stage in ("playing", "board-exit", "finale"):
        game = Game(x, args.binary, args.root, args.out, f"escape-{stage}", audio="dummy")
        skip_intro(game)
        if stage != "playing":
            play(game, DEAD_END)
            game.wait_state(stage, timeout=30)
        time.sleep(0.5)
        game.key("Escape")
        check(game.wait_exit(15) == 0, f"Escape in {stage} closes with exit code 0")


def scenario_window_modes(x, args):
    game = Game(x, args.binary, args.root, args.out, "window-modes", audio="dummy")
    skip_intro(game)
    frames = game.frame_count()
    game.key("F9")
    time.sleep(1.0)
    shot(x, args.out, "window-modes-windowed")
    game.key("F9")
    time.sleep(0.5)
    game.key("F7")
    time.sleep(0.5)
    check(game.proc.poll() is None, "the game keeps running after F9, F9 and F7")
    check(game.frame_count() > frames, "frames keep running")
    game.proc.send_signal(signal.SIGTERM)
    check(game.wait_exit(15) == 0, "SIGTERM ends with exit code 0")


def scenario_signals(x, args):
    for sig in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
        game = Game(x, args.binary, args.root, args.out, f"signal-{sig.name}", audio="dummy")
        game.wait_for(r"^first-frame", after=0)
        game.proc.send_signal(sig)
        check(game.wait_exit(15) == 0, f"{sig.name} ends with exit code 0")


# Every file the game loads, as it names them.
ASSETS = ("Data/BaumOben.bmp", "Data/BaumStamm.bmp", "Data/Snowflake.bmp", "Data/Flasche.bmp", "Data/Schneeman.bmp",
          "Data/Muetze.bmp", "Data/Icon.bmp", "Data/Absetzen.wav", "Data/Rudi.mp3", "Data/Jingle Bells.mp3")
NOT_A_PICTURE = "not a BMP picture the game can use"
NOT_A_SOUND = "not a sound the game can play"


def unusable_assets(game):
    """The files the game said it cannot use, with the reasons, in the order said."""
    with open(game.stderr_path) as f:
        return [m.groups() for m in re.finditer(r"^christmas-pegs: cannot use (.+): ([^:\n]+)$", f.read(), re.M)]


def scenario_bad_surroundings(x, args):
    """Missing, broken and hostile assets, no audio device, no font: the game runs and quits
    normally, and names each asset it cannot use once on stderr, with the reason."""
    work = tempfile.mkdtemp(prefix="pegs-bad-")
    try:
        # No Data/ anywhere the game looks: copy the binary somewhere bare.
        bare = os.path.join(work, "bare")
        os.makedirs(bare)
        binary = os.path.join(bare, "christmas-pegs")
        shutil.copy(args.binary, binary)
        cases = {"no-data": (binary, bare, {})}
        said = {"no-data": [(name, "no such file") for name in ASSETS]}
        # One texture truncated, the start-up music corrupt (bytes no decoder
        # takes for music, the same in every run).
        broken = os.path.join(work, "broken")
        shutil.copytree(os.path.join(args.root, "Data"), os.path.join(broken, "Data"))
        with open(os.path.join(broken, "Data", "BaumOben.bmp"), "r+b") as f:
            f.truncate(100)
        with open(os.path.join(broken, "Data", "Rudi.mp3"), "wb") as f:
            f.write(bytes(range(256)) * 20)
        cases["broken-files"] = (args.binary, broken, {})
        said["broken-files"] = [("Data/BaumOben.bmp", NOT_A_PICTURE), ("Data/Rudi.mp3", NOT_A_SOUND)]
        # Without a device the sounds are not even read.
        cases["no-audio-device"] = (args.binary, args.root, {"SDL_AUDIODRIVER": "nonexistent"})
        # Every asset replaced by a directory, or by a named pipe nobody
        # writes to: nothing may block, the game runs silent and untextured.
        for kind in ("directories", "pipes"):
            folder = os.path.join(work, kind, "Data")
            os.makedirs(folder)
            for name in os.listdir(os.path.join(args.root, "Data")):
                if kind == "directories":
                    os.makedirs(os.path.join(folder, name))
                else:
                    os.mkfifo(os.path.join(folder, name))
            cases[f"data-{kind}"] = (args.binary, os.path.dirname(folder), {})
            why = "a directory, not a file" if kind == "directories" else "not a regular file"
            said[f"data-{kind}"] = [(name, why) for name in ASSETS]
        # No font face at all: fontconfig is given a configuration without
        # any font folder. The words are missing; the game runs all the same.
        fontless = os.path.join(work, "no-fonts.conf")
        with open(fontless, "w") as f:
            f.write("<?xml version=\"1.0\"?>\n<fontconfig></fontconfig>\n")
        cases["no-font"] = (args.binary, args.root, {"FONTCONFIG_FILE": fontless})
        for name, (program, cwd, env) in cases.items():
            game = Game(x, program, args.root, args.out, f"bad-{name}", audio="dummy", extra_env=env, cwd=cwd)
            skip_intro(game)
            time.sleep(0.5)
            shot(x, args.out, f"bad-{name}")
            game.key("Escape")
            check(game.wait_exit(15) == 0, f"{name}: the game runs and quits with exit code 0")
            lines = unusable_assets(game)
            check(sorted(lines) == sorted(said.get(name, [])),
                  f"{name}: each unusable asset named once on stderr with its reason, not {lines}")
    finally:
        shutil.rmtree(work, ignore_errors=True)


BOARD_PICTURE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "board-picture.png")


def scenario_board_picture(x, args):
    """The board as the player sees it, against board-picture.png: the full board of
    standing trees and the parked cursor, with the snow taken out as the per-pixel median
    of nine screenshots a quarter of a second apart (a flake covers a pixel in few of
    them). How the scene is drawn may change; the picture may differ only at a few edge
    pixels. BOARD_PICTURE_WRITE=1 keeps this run's median as the new reference."""
    game = Game(x, args.binary, args.root, args.out, "board-picture", audio="dummy")
    skip_intro(game)
    park_cursor(game)
    game.drawn_after(0.7)  # past the skip's pause and the cursor's last move
    shots = []
    for i in range(9):
        path = os.path.join(args.out, f"board-picture-{i}.png")
        x.screenshot(path)
        shots.append(path)
        time.sleep(0.25)
    game.key("Escape")
    check(game.wait_exit(15) == 0, "exit code after Escape")
    median = os.path.join(args.out, "board-picture-median.png")
    subprocess.run(["convert", *shots, "-evaluate-sequence", "median", median], check=True)
    if os.environ.get("BOARD_PICTURE_WRITE") == "1":
        shutil.copyfile(median, BOARD_PICTURE)
        return
    # Pixels that differ by more than a tenth of the range in any channel.
    result = subprocess.run(["compare", "-metric", "AE", "-fuzz", "10%", median, BOARD_PICTURE,
                             os.path.join(args.out, "board-picture-diff.png")],
                            stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    differing = int(float(result.stderr.split()[0]))
    allowed = 640 * 480 // 500
    check(differing <= allowed, f"{differing} pixels of the board differ from {BOARD_PICTURE} "
                                f"(at most {allowed}); see board-picture-diff.png")


def scenario_jump_sound(x, args):
    """A jump plays the bell: with the start-up music missing, the captured
    output is silent until the first jump and audible right after it."""
    work = tempfile.mkdtemp(prefix="pegs-quiet-")
    try:
        data = os.path.join(work, "Data")
        os.makedirs(data)
        for name in os.listdir(os.path.join(args.root, "Data")):
            if name != "Rudi.mp3":
                os.symlink(os.path.join(args.root, "Data", name), os.path.join(data, name))
        game = Game(x, args.binary, args.root, args.out, "jump-sound", cwd=work)
        skip_intro(game)
        game.wait_for(r"^pegs 32 ", after=0)
        second = 44100 * 2 * 2
        # The output is captured at the pace it is played: half a second of it
        # before the jump, a second after it for the bell.
        wait_audio(game, second // 2)
        before_jump = os.path.getsize(game.audio_path)
        play(game, SOLUTION[:1])
        wait_audio(game, os.path.getsize(game.audio_path) + second)
        game.key("Escape")
        check(game.wait_exit(15) == 0, "exit code 0")
        window = 0.1
        levels = audio_levels(game.audio_path, window_s=window)
        quiet = before_jump // (second * window)
        check(quiet >= 5, f"output was captured before the jump ({before_jump} bytes)")
        check(max(levels[:int(quiet)]) < 50, f"silent before the jump: {max(levels[:int(quiet)]):.0f}")
        check(max(levels[int(quiet):]) > 300, f"the bell is heard after the jump: {levels[int(quiet):]}")
    finally:
        shutil.rmtree(work, ignore_errors=True)


def wait_audio(game, size, timeout=20.0):
    """Waits until the captured output holds `size` bytes."""
    def captured():
        return os.path.exists(game.audio_path) and os.path.getsize(game.audio_path) >= size
    game.poll_until(captured, f"{size} bytes of captured output", timeout)


# Signals of a crash and SIGKILL: the game cannot restore the mode itself;
# its mode guard process puts the desktop's configuration back.
CRASH_SIGNALS = ("SIGSEGV", "SIGABRT", "SIGKILL")


def wait_mode(x, wanted, timeout=5.0):
    """Polls xrandr until the screen runs in `wanted`; returns the last mode seen."""
    deadline = time.time() + timeout
    while True:
        mode = x.mode()
        if mode == wanted or time.time() > deadline:
            return mode
        time.sleep(0.05)


def crash_exit_codes(way):
    """Exit codes (as Popen reports them) that the game may end with after signal `way`."""
    codes = {-getattr(signal, way)}
    if way == "SIGSEGV" and os.environ.get("CP_E2E_GAME_PRELOAD"):
        codes.add(1)  # AddressSanitizer catches SIGSEGV itself, reports and exits with 1
    return codes


def scenario_mode_restore(x, args):
    """Every way out gives the desktop its mode back (Xorg with two real modes)."""
    before = x.mode()
    check(before == "1024x768", f"the test screen starts at 1024x768, not {before}")
    for way in ("escape", "SIGINT", "SIGTERM", "SIGHUP", "wm-close", "finale") + CRASH_SIGNALS:
        game = Game(x, args.binary, args.root, args.out, f"mode-{way}", audio="dummy")
        game.wait_for(r"^first-frame", after=0)
        check(x.mode() == "640x480", f"{way}: the game runs at 640x480, the screen is at {x.mode()}")
        if way == "escape":
            skip_intro(game)
            time.sleep(0.3)
            game.key("Escape")
        elif way.startswith("SIG"):
            game.proc.send_signal(getattr(signal, way))
        elif way == "wm-close":
            subprocess.run([args.wm_close, "Christmas Pegs"], env=x.env(), check=True)
        else:
            skip_intro(game)
            play(game, DEAD_END)
            game.wait_state("finale", timeout=30)
        if way in CRASH_SIGNALS:
            code = game.wait_exit(15)
            check(code in crash_exit_codes(way), f"{way}: exit code {code}")
            after = wait_mode(x, before)
            check(after == before, f"{way}: within 5 s the screen is back at {before}, not {after}")
        else:
            check(game.wait_exit(120) == 0, f"{way}: exit code 0")
            check(x.mode() == before, f"{way}: the screen is back at {before}, not {x.mode()}")


def scenario_display_lost(x, args):
    """The X server goes away under the running game: it leaves at once, nonzero, with one line."""
    game = Game(x, args.binary, args.root, args.out, "display-lost", audio="dummy")
    try:
        game.wait_for(r"^first-frame", after=0)
        x.proc.kill()
        x.proc.wait()
        lost = time.time()
        code = game.wait_exit(5)
        took = time.time() - lost
    finally:
        game.kill()
    check(code > 0, f"the game ends with a nonzero exit code of its own, not {code}")
    with open(game.stderr_path) as f:
        lines = [line for line in f.read().splitlines() if not line.startswith("SScreenmode : ")]
    check(lines == ["christmas-pegs: lost the connection to the display"],
          f"one line about the display on stderr, not {lines}")
    print(f"display-lost: the game left {took:.2f} s after the X server, exit code {code}")


def scenario_mode_refused(x, args):
    """An X server without 640x480: the game says so, runs, and leaves the screen's mode alone."""
    before = x.mode()
    check(before == "1024x768", f"the test screen starts at 1024x768, not {before}")
    listing = subprocess.run(["xrandr", "--current"], env=x.env(), stdout=subprocess.PIPE, text=True).stdout
    check("640x480" not in listing, "the test screen offers no 640x480 mode")
    game = Game(x, args.binary, args.root, args.out, "mode-refused", audio="dummy")
    skip_intro(game)
    check(x.mode() == before, f"the screen stays at {before} while the game runs, not {x.mode()}")
    # Fullscreen without the mode is still fullscreen: the whole screen, the
    # picture fitted into it, not left in a corner.
    def fitted():
        game.read_trace()
        fits = [line for line in game.lines if line.startswith("viewport ")]
        last = fits[-1] if fits else "no viewport line"
        return last.startswith("viewport 1024x768 at 0,0 in 1024x768 "), last
    wait_until("the picture fills the screen", fitted, timeout=10)
    x.screenshot(os.path.join(args.out, "mode-refused-board.png"), size=(1024, 768))
    time.sleep(0.3)
    game.key("Escape")
    check(game.wait_exit(15) == 0, "the game quits with exit code 0")
    with open(game.stderr_path) as f:
        check("SScreenmode" not in f.read(), "the player's terminal stays free of the developer's texts")
    game.read_trace()
    check("SScreenmode : Displaymode changing failed!" in game.lines, "the trace reports the refused mode change")
    check(x.mode() == before, f"the screen is still at {before}, not {x.mode()}")


def without_display(**extra):
    """The environment of a text console or an ssh session without X forwarding."""
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER")}
    env.update(extra)
    return env


def processes_in_session(session):
    """Ids of the processes whose session is `session`."""
    found = []
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            try:
                with open(f"/proc/{entry}/stat") as f:
                    fields = f.read().rsplit(")", 1)[1].split()
            except OSError:
                continue
            if int(fields[3]) == session:
                found.append(int(entry))
    return found


def scenario_command_line(x, args):
    """Each option and a wrong one, with no display at all: a display is never opened."""
    env = without_display(SDL_AUDIODRIVER="dummy")
    cases = [
        (["--help"], 0, r"^Usage: christmas-pegs [\s\S]*--windowed[\s\S]*F9", r"^$"),
        (["--version"], 0, r"^christmas-pegs 1\.[0-9]+\n$", r"^$"),
        (["--fullscreen"], 2, r"^$", r"^christmas-pegs: unrecognized option '--fullscreen'\nUsage: [^\n]*\n$"),
        (["extra"], 2, r"^$", r"^christmas-pegs: unexpected argument 'extra'\nUsage: [^\n]*\n$"),
        # --windowed ends nothing: without a display it gets as far as looking for one.
        (["--windowed"], 1, r"^$", r"^christmas-pegs: no display found "),
        # "--" ends the options; what follows is an argument, and none is taken.
        (["--windowed", "--"], 1, r"^$", r"^christmas-pegs: no display found "),
        (["--", "--help"], 2, r"^$", r"^christmas-pegs: unexpected argument '--help'\nUsage: [^\n]*\n$"),
    ]
    for arguments, code, out, err in cases:
        proc = subprocess.run([args.binary, *arguments], env=env, cwd=args.root, stdout=subprocess.PIPE,
                              stderr=subprocess.PIPE, text=True, timeout=15)
        check(proc.returncode == code, f"{arguments}: exit code {proc.returncode}, not {code}")
        check(re.search(out, proc.stdout), f"{arguments}: stdout {proc.stdout!r}")
        check(re.search(err, proc.stderr), f"{arguments}: stderr {proc.stderr!r}")


def scenario_no_display(x, args):
    """Without a display the game says so in one line and leaves at once, nonzero, alone."""
    # No DISPLAY at all; a DISPLAY no server answers on (the mode watcher is
    # started there and must go too); a server that refuses the connection.
    # Xlib adds its own words about a refusal around the game's one line.
    auth = tempfile.NamedTemporaryFile(prefix="pegs-auth-")
    # A cookie in the server's file (the server takes every entry, whatever
    # display it names): a client without it is refused.
    subprocess.run(["xauth", "-f", auth.name, "add", ":0", ".", os.urandom(16).hex()], check=True)
    refusing = XServer(extra_args=("-auth", auth.name))
    cases = (("unset", {}, r"christmas-pegs: no display found \(is DISPLAY set\? run it inside a desktop session\)\n"),
             ("unanswered", {"DISPLAY": ":64999"}, r"christmas-pegs: cannot open display :64999: [^\n]+\n"),
             ("refusing", {"DISPLAY": refusing.display, "XAUTHORITY": os.devnull},
              rf"(?:(?!christmas-pegs).*\n)*christmas-pegs: cannot open display {refusing.display}: the X server"
              r" refused the connection \(not authorised\?\)\n(?:(?!christmas-pegs).*\n)*"))
    try:
        for name, extra, line in cases:
            no_display_case(args, name, extra, line)
    finally:
        refusing.close()
        auth.close()


def no_display_case(args, name, extra, line):
    """The game started with `extra` in a display-less environment: `line` on stderr, exit 1, at once, alone."""
    env = without_display(SDL_AUDIODRIVER="dummy", **extra)
    started = time.time()
    proc = subprocess.Popen([args.binary], env=env, cwd=args.root, stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE, text=True, start_new_session=True)
    try:
        out, err = proc.communicate(timeout=15)
    except subprocess.TimeoutExpired:
        os.killpg(proc.pid, signal.SIGKILL)
        raise Failure(f"DISPLAY {name}: the game was still running after 15 s")
    took = time.time() - started
    time.sleep(0.2)
    left = processes_in_session(proc.pid)
    if left:
        os.killpg(proc.pid, signal.SIGKILL)
    print(f"no-display ({name}): exit code {proc.returncode} after {took:.2f} s")
    check(proc.returncode == 1, f"DISPLAY {name}: exit code {proc.returncode}, not 1")
    check(re.fullmatch(line, err) and out == "", f"DISPLAY {name}: stdout {out!r}, stderr {err!r}")
    check(took < 3.0, f"DISPLAY {name}: it took {took:.2f} s to leave")
    check(not left, f"DISPLAY {name}: processes {left} are left behind")


def scenario_windowed(x, args):
    """--windowed starts in the captioned window without touching the screen's mode; F9 goes
    fullscreen at 640x480 and back."""
    before = x.mode()
    check(before == "1024x768", f"the test screen starts at 1024x768, not {before}")
    game = Game(x, args.binary, args.root, args.out, "windowed", audio="dummy", arguments=["--windowed"])
    skip_intro(game)
    check(x.mode() == before, f"the screen stays at {before} in the window, not {x.mode()}")
    geometry = window_geometry(x)
    check(geometry == (50, 50, 590, 430), f"the window stands at (50, 50), 590 x 430: {geometry}")
    game.key("F9")
    check(wait_mode(x, "640x480") == "640x480", f"F9 switches the screen to 640x480, not {x.mode()}")
    game.key("F9")
    check(wait_mode(x, before) == before, f"F9 again gives {before} back, not {x.mode()}")
    game.key("Escape")
    check(game.wait_exit(15) == 0, "exit code 0")


def window_geometry(x):
    """Position and size of the game's window, by its title."""
    out = subprocess.run(["xdotool", "search", "--name", "^Christmas Pegs$", "getwindowgeometry", "--shell"],
                         env=x.env(), stdout=subprocess.PIPE, text=True).stdout
    values = dict(line.split("=", 1) for line in out.split() if "=" in line)
    return tuple(int(values.get(k, -1)) for k in ("X", "Y", "WIDTH", "HEIGHT"))


def window_property(x, name):
    return subprocess.run(["xprop", "-name", "Christmas Pegs", "-notype", name], env=x.env(),
                          stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True).stdout


def check_installed_game(x, args, prefix, name):
    """The game installed under `prefix` runs from a folder without data, finds its
    pictures, and shows itself to the desktop as its menu entry says."""
    binary = os.path.join(prefix, "games", "christmas-pegs")
    elsewhere = tempfile.mkdtemp(prefix="pegs-elsewhere-")
    try:
        game = Game(x, binary, args.root, args.out, name, audio="dummy", cwd=elsewhere)
        skip_intro(game)
        game.wait_for(r"^pegs 32 ", after=0)
        park_cursor(game)
        board = shot(x, args.out, f"{name}-board")
        missing = [hole for hole in sorted(game.holes) if hole != (3, 3) and not tree_at(game, board, *hole)]
        check(not missing, f"textured trees stand in every hole but the centre; not in {missing}")
        with open(os.path.join(prefix, "share", "applications", "christmas-pegs.desktop")) as f:
            wm_class = re.search(r"^StartupWMClass=(.*)$", f.read(), re.M).group(1)
        found = window_property(x, "WM_CLASS")
        check(f'WM_CLASS = "{wm_class}", "{wm_class}"' in found, f"the window's class is {wm_class}: {found!r}")
        check("_NET_WM_ICON = " in window_property(x, "_NET_WM_ICON"), "the window has the game's icon")
        game.key("Escape")
        check(game.wait_exit(15) == 0, "exit code 0")
        check(unusable_assets(game) == [], f"the installed game uses every asset: {unusable_assets(game)}")
    finally:
        shutil.rmtree(elsewhere, ignore_errors=True)


def scenario_installed_tree(x, args):
    """A DESTDIR install into a temporary folder runs from another working directory."""
    destdir = tempfile.mkdtemp(prefix="pegs-destdir-")
    try:
        subprocess.run(["cmake", "--install", args.build_dir, "--prefix", "/opt/pegs"],
                       env=dict(os.environ, DESTDIR=destdir), check=True, stdout=subprocess.DEVNULL)
        check_installed_game(x, args, os.path.join(destdir, "opt", "pegs"), "installed-tree")
    finally:
        shutil.rmtree(destdir, ignore_errors=True)


def scenario_installed_package(x, args):
    """The installed Debian package (run by the package check, not by ctest)."""
    check_installed_game(x, args, "/usr", "installed-package")


def wait_until(what, look, timeout=15.0):
    """Polls `look` (which returns (ok, what was seen)) until ok; fails with what was seen."""
    deadline = time.time() + timeout
    while True:
        ok, seen = look()
        if ok:
            return seen
        if time.time() > deadline:
            raise Failure(f"{what}: not within {timeout} s; seen {seen}")
        time.sleep(0.1)


def window_facts(desk, window):
    display = desk.display
    facts = {"geometry": window.geometry(), "state": window.net_wm_state(), "decorated": window.decorated(),
             "active": is_active(desk, window), "mode": display.mode()}
    if desk.stacking:
        facts["on top"] = window.on_top()
    return facts


def expect_fullscreen(desk, window, step):
    """Fullscreen, on top and active, without decorations; the screen in the game's mode."""
    size = (640, 480) if desk.real_modes else (1024, 768)

    def look():
        f = window_facts(desk, window)
        ok = (f["geometry"] == (0, 0, *size, "IsViewable")
              and ("_NET_WM_STATE_FULLSCREEN" in f["state"] or not desk.keeps_fullscreen_state)
              and not f["decorated"] and f["active"] and f.get("on top", True)
              and f["mode"] == ("640x480" if desk.real_modes else "1024x768"))
        return ok, f
    wait_until(f"{step}: the game is fullscreen and active", look)


def expect_windowed(desk, window, step):
    """The captioned 590 x 430 window, active, whole on the screen where an X window
    manager places it (weston places X windows by its own rule); the desktop's mode."""
    def look():
        f = window_facts(desk, window)
        g = f["geometry"]
        placed = not desk.honours_position or (g is not None and 0 <= g[0] and g[0] + 590 <= 1024
                                         and 0 <= g[1] and g[1] + 430 <= 768)
        ok = (g is not None and g[2:] == (590, 430, "IsViewable") and placed
              and "_NET_WM_STATE_FULLSCREEN" not in f["state"]
              and f["decorated"] and f["active"] and f["mode"] == "1024x768")
        return ok, f
    wait_until(f"{step}: the game is a captioned window", look)


def expect_away(desk, window, other, step):
    """The game minimised (or, where the window manager cannot minimise, the captioned
    window), `other` active unless None, the desktop's mode back and the pointer free."""
    def look():
        f = window_facts(desk, window)
        g = f["geometry"]
        if desk.minimizes:
            f["iconic"] = window.iconic()
            # A compositing window manager (mutter) keeps a minimised window
            # mapped, marked hidden.
            put_away = f["iconic"] and g is not None and (g[4] != "IsViewable"
                                                          or "_NET_WM_STATE_HIDDEN" in f["state"])
        else:
            put_away = (g is not None and g[2:4] == (590, 430) and f["decorated"]
                        and "_NET_WM_STATE_FULLSCREEN" not in f["state"])
        f["other active"] = other is None or is_active(desk, other)
        return put_away and f["other active"] and f["mode"] == "1024x768", f
    wait_until(f"{step}: the game is out of the way", look)
    # A refused minimise leaves the game in use, its pointer taken at once.
    if not desk.outer_pointer and (desk.minimizes or not is_active(desk, window)):
        # A pointer still confined to the game's window would stop at its edge.
        for spot in ((1000, 700), (700, 600)):
            desk.display.xdotool("mousemove", *spot)

            def look():
                where = run_x(desk.display.env(), "xdotool", "getmouselocation")
                return where.startswith(f"x:{spot[0]} y:{spot[1]} "), where.strip()
            wait_until(f"{step}: the pointer moves freely to {spot}", look, timeout=5)


def expect_picture_fits(game, window, step):
    """The game last fitted its picture to a drawable of the window's real size."""
    def look():
        game.read_trace()
        fits = [line for line in game.lines if line.startswith("viewport ")]
        g = window.geometry()
        m = re.match(r"viewport (\d+)x(\d+) at (\d+),(\d+) in (\d+)x(\d+) ", fits[-1]) if fits else None
        ok = (m is not None and g is not None and (int(m.group(5)), int(m.group(6))) == g[2:4])
        return ok, f"window {g}, {fits[-1] if fits else 'no viewport line'}"
    wait_until(f"{step}: the picture is fitted to the window's real size", look, timeout=10)


def expect_board(desk, game, path, empty):
    """The board on the screen (saved to `path`): a tree in every hole but those in `empty`."""
    park_cursor(game)

    def look():
        picture = desk.screenshot(path)
        wrong = [hole for hole in sorted(game.holes) if tree_at(game, picture, *hole) == (hole in empty)]
        return not wrong, f"holes shown wrong: {wrong}"
    wait_until(f"{os.path.basename(path)}: the board shows the pegs", look, timeout=20)


def expect_frames(game, since, step):
    """Frames keep coming, none held up for seconds."""
    game.wait_for(r"^tick frame", timeout=20, after=since)
    game.wait_for(r"^tick frame", timeout=20)
    stalls = [line for line in game.lines[since:] if line.startswith("long-frame ")
              and float(line.split()[1]) > 2000]
    check(not stalls, f"{step}: frames held up: {stalls}")


def desktop_session(desk, args):
    """One player's session: start, a jump, another window and back, F9 twice, F7 and
    back, the window manager's close; then a second start closed with Escape."""
    env = desk.display.env()
    other_proc = subprocess.Popen(["xmessage", "-geometry", "300x100+650+550", "another window"], env=env,
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        other = XWindow.of_class(env, "xmessage")
        name = f"desktop-{desk.name}"
        shot_path = lambda step: os.path.join(args.out, f"{name}-{step}.png")
        if desk.outer_pointer:
            desk.display.centre_pointer()
        game = Game(desk.display, args.binary, args.root, args.out, name, audio="dummy")
        game.wait_for(r"^first-frame", after=0)
        window = XWindow.of_pid(env, game.proc.pid)
        skip_intro(game)
        expect_fullscreen(desk, window, "start")
        expect_board(desk, game, shot_path("1-start"), {(3, 3)})

        play(game, SOLUTION[:1])
        after_jump = {(1, 3), (2, 3)}

        desk.activate(other)
        expect_away(desk, window, other, "another window active")
        desk.activate(window)
        # Back with the focus: fullscreen as the player chose it, whether the
        # window manager minimised the game or refused to and left it in its
        # captioned window meanwhile.
        expect_fullscreen(desk, window, "back to the game")
        game.move_cursor_to(1.0, 1.0)  # the game reads the pointer again

        game.key("F9")
        expect_windowed(desk, window, "F9")
        expect_picture_fits(game, window, "F9")
        if not desk.outer_pointer:
            for _ in range(4):  # the pointer pushed against the window's edge
                # Pushed while the game has it, or it would leave the window for the desktop.
                game.wait_capture()
                desk.display.xdotool("mousemove_relative", "--", 400, 300)
            # Back to the middle: xdotool's moves stop at the screen's edge
            # (a mouse's do not), and fullscreen makes the screen smaller.
            game.wait_capture()
            desk.display.xdotool("mousemove_relative", "--", -295, -215)
            wait_until("the game's cursor back in its rectangle", lambda: (
                game.read_trace() or (abs(game.cursor[0]) <= 5 and abs(game.cursor[1]) <= 4), game.cursor))
        game.key("F9")
        expect_fullscreen(desk, window, "F9 twice")
        expect_picture_fits(game, window, "F9 twice")
        expect_board(desk, game, shot_path("2-f9-twice"), after_jump)

        game.read_trace()
        f7 = len(game.lines)
        game.key("F7")
        if desk.minimizes:
            expect_away(desk, window, other, "F7")
            desk.activate(window)
            expect_fullscreen(desk, window, "back after F7")
        else:
            # Refused: the game goes on at once in the captioned window, the
            # mouse moves its cursor, and one F9 gives fullscreen back.
            expect_away(desk, window, None, "F7")
            shot(desk, args.out, f"{name}-3-f7-refused")
            game.wait_for(r"^window border on", timeout=10, after=f7)
            if is_active(desk, window):
                if not desk.outer_pointer:
                    game.move_cursor_to(1.0, 1.0)
                game.key("F9")
                expect_fullscreen(desk, window, "one F9 after a refused F7")
            else:
                # The screen's mode given back made the window manager move
                # the focus (i3): the focus given back to the game brings the
                # player's choice back.
                desk.activate(window)
                expect_fullscreen(desk, window, "back after a refused F7")
        expect_frames(game, f7, "F7 and back")
        expect_board(desk, game, shot_path("3-f7-back"), after_jump)

        if desk.minimizes:
            # Back at once after F7: the focus leaves and comes back within the
            # time in which SDL merges the two changes into none.
            game.key("F7")
            wait_until("F7 again: the game is minimised", lambda: (window.iconic(), window.geometry()), timeout=10)
            desk.activate(window)
            expect_fullscreen(desk, window, "back at once after F7")

        # A second start while the game runs, fullscreen and then put away where
        # the window manager can: the running game comes to the front, the second
        # leaves with exit code 0, and the screen stays in the game's mode.
        for away in ([False, True] if desk.minimizes else [False]):
            if away:
                game.key("F7")
                expect_away(desk, window, other, "F7 before a second start")
            second = Game(desk.display, args.binary, args.root, args.out, f"{name}-second", audio="dummy")
            check(second.wait_exit(15) == 0, "a second start leaves with exit code 0")
            expect_fullscreen(desk, window, "after a second start" + (" with the game minimised" if away else ""))
        expect_picture_fits(game, window, "after a second start")
        expect_board(desk, game, shot_path("4-after-second-start"), after_jump)

        desk.close(window, args.wm_close)
        check(game.wait_exit(15) == 0, "the window manager's close ends the game with exit code 0")
        check(desk.display.mode() == "1024x768", f"after the close the screen is at {desk.display.mode()}")

        if desk.outer_pointer:
            desk.display.centre_pointer()
        game = Game(desk.display, args.binary, args.root, args.out, f"{name}-escape", audio="dummy")
        skip_intro(game)
        expect_fullscreen(desk, XWindow.of_pid(env, game.proc.pid), "second start")
        game.key("Escape")
        check(game.wait_exit(15) == 0, "Escape ends the game with exit code 0")
        check(desk.display.mode() == "1024x768", f"after Escape the screen is at {desk.display.mode()}")
        desk.screenshot(shot_path("5-after-quit"))
    finally:
        other_proc.terminate()
        other_proc.wait()


APP_ID = "christmas-pegs"


def expect_view(desk, game, fullscreen, step):
    """The game's view under sway focused, fullscreen on the whole output or not,
    and its picture fitted to the view: drawn at the view's size in the output's
    pixels, or, fullscreen in
    a mode the compositor emulates, at the mode's size scaled to the output (the
    same shape)."""
    def look():
        view = desk.window(APP_ID)
        game.read_trace()
        fits = [line for line in game.lines if line.startswith("viewport ")]
        m = re.match(r"viewport \d+x\d+ at \d+,\d+ in (\d+)x(\d+) ", fits[-1]) if fits else None
        fitted = False
        if view is not None and m is not None:
            drawn = (int(m.group(1)), int(m.group(2)))
            shown = tuple(side * desk.scale for side in view["rect"][2:])  # in the output's pixels
            fitted = drawn == shown or (fullscreen and abs(drawn[0] * shown[1] - drawn[1] * shown[0])
                                        <= 0.005 * drawn[0] * shown[1])
        ok = (fitted and view["focused"] and view["fullscreen"] == fullscreen
              and (view["rect"] == desk.player_output[1]) == fullscreen)
        return ok, f"view {view}, {fits[-1] if fits else 'no viewport line'}"
    wait_until(f"{step}: the game's view is {'fullscreen' if fullscreen else 'a window'} and fitted", look)


def sway_session(desk, args):
    """A player's session under sway, the game a native Wayland client: a jump with
    the pointer; F7, which sway refuses (it keeps every view shown), so the game
    goes on at once in its captioned window with the pointer taken and one F9
    gives fullscreen back; F9 twice."""
    def steps(game, shot_path):
        play(game, SOLUTION[:1])
        after_jump = {(1, 3), (2, 3)}

        game.read_trace()
        f7 = len(game.lines)
        game.key("F7")
        expect_view(desk, game, False, "F7 refused")
        desk.point_at_view(APP_ID)  # the player's mouse onto the window
        game.wait_capture(10)
        game.move_cursor_to(1.0, 1.0)  # the mouse works at once
        game.key("F9")
        expect_view(desk, game, True, "one F9 after a refused F7")
        expect_frames(game, f7, "F7 and back")
        expect_board(desk, game, shot_path("2-f7-back"), after_jump)

        game.key("F9")
        expect_view(desk, game, False, "F9")
        game.key("F9")
        expect_view(desk, game, True, "F9 twice")
        expect_board(desk, game, shot_path("3-f9-twice"), after_jump)

        # One game a Wayland display: a second start, without an X display,
        # leaves with exit code 0 and the first plays on.
        second = Game(desk.display, args.binary, args.root, args.out, "desktop-sway-second", audio="dummy")
        check(second.wait_exit(15) == 0, "a second start leaves with exit code 0")
        expect_view(desk, game, True, "after a second start")
    sway_game(desk, args, "desktop-sway", steps)


def sway_xwayland_session(desk, args):
    """The game as an X client on sway's Xwayland, the view's size sway's to choose:
    F9 to a tiled window with the picture fitted to it whole, F9 back; F7, which
    sway refuses, so the game goes on in its window, and one F9 gives fullscreen
    back."""
    def steps(game, shot_path):
        game.key("F9")
        expect_view(desk, game, False, "F9")
        game.drawn_after(0.5)
        desk.screenshot(shot_path("2-f9"))
        game.key("F9")
        expect_view(desk, game, True, "F9 twice")
        game.key("F7")
        expect_view(desk, game, False, "F7 refused")
        game.drawn_after(0.5)
        desk.screenshot(shot_path("3-f7-refused"))
        game.key("F9")
        expect_view(desk, game, True, "one F9 after a refused F7")
        expect_board(desk, game, shot_path("4-f7-back"), {(3, 3)})
    sway_game(desk, args, "desktop-sway-xwayland", steps)


def sway_hidpi_session(desk, args):
    """The game a native Wayland client of sway on an output at scale 2: drawn in
    the output's own pixels, sharp, and whole, fullscreen and in a tile after F9."""
    def sharp_and_whole(game, step):
        def look():
            game.read_trace()
            fits = [line for line in game.lines if line.startswith("viewport ")]
            m = re.match(r"viewport (\d+)x(\d+) at (\d+),(\d+) in (\d+)x(\d+) ", fits[-1]) if fits else None
            view = desk.window(APP_ID)
            ok = (m is not None and view is not None
                  and (int(m.group(5)), int(m.group(6))) == (view["rect"][2] * 2, view["rect"][3] * 2)
                  and (int(m.group(1)) >= int(m.group(5)) - 1 or int(m.group(2)) >= int(m.group(6)) - 1))
            return ok, f"view {view}, {fits[-1] if fits else 'no viewport line'}"
        wait_until(f"{step}: the picture is drawn in the output's pixels and fitted whole", look)

    def steps(game, shot_path):
        sharp_and_whole(game, "fullscreen")
        desk.screenshot(shot_path("2-fullscreen"))
        game.key("F9")
        expect_view(desk, game, False, "F9")
        sharp_and_whole(game, "F9")
        time.sleep(1.5)  # past the second in which a window's size is looked at again
        sharp_and_whole(game, "a second after F9")
        desk.screenshot(shot_path("3-tiled"))
        game.key("F9")
        expect_view(desk, game, True, "F9 twice")
    sway_game(desk, args, "desktop-sway-hidpi", steps)


def sway_two_outputs_session(desk, args):
    """The game a native Wayland client of sway with two outputs side by side, the
    player on the second: fullscreen there, with the focus (Escape skips the
    intro), a window there after F9 and fullscreen there again after F9."""
    def steps(game, shot_path):
        game.key("F9")
        expect_view(desk, game, False, "F9")
        x = desk.window(APP_ID)["rect"][0]
        check(x >= desk.player_output[1][0], f"the window stays on the player's output, at x = {x}")
        game.key("F9")
        expect_view(desk, game, True, "F9 twice")
        expect_board(desk, game, shot_path("2-f9-twice"), {(3, 3)})
    sway_game(desk, args, "desktop-sway-two-outputs", steps)


def sway_game(desk, args, name, steps):
    """A game under sway from its start, fullscreen with its board shown, through
    `steps(game, shot_path)` to Escape: exit code 0 and its view gone."""
    shot_path = lambda step: os.path.join(args.out, f"{name}-{step}.png")
    game = Game(desk.display, args.binary, args.root, args.out, name, audio="dummy")
    try:
        skip_intro(game)
        expect_view(desk, game, True, "start")
        desk.point_at_view(APP_ID)  # the player's mouse onto the game
        game.wait_capture(10)
        expect_board(desk, game, shot_path("1-start"), {(3, 3)})
        steps(game, shot_path)
        game.key("Escape")
        check(game.wait_exit(15) == 0, "Escape ends the game with exit code 0")
        wait_until("after Escape the game's view is gone", lambda: (desk.window(APP_ID) is None, desk.window(APP_ID)),
                   timeout=5)
        desk.screenshot(shot_path("after-quit"))
    except Failure:
        picture_at_failure(desk, shot_path("game-at-failure"))  # before the game is ended
        raise
    finally:
        game.kill()


def gnome_session(desk, args):
    """A player's session under GNOME Shell, the game its native Wayland client or
    a client of its Xwayland: fullscreen, a jump, the mouse swept far toward the
    top-left corner while the game has it (GNOME's own pointer stays where it
    was, so its hot corner never opens the overview); F9 to a whole captioned
    window inside the work area, F9 back; F7, and Alt+Tab back to fullscreen;
    Escape."""
    name = f"desktop-{desk.name}"
    shot_path = lambda step: os.path.join(args.out, f"{name}-{step}.png")
    game = Game(desk.display, args.binary, args.root, args.out, name, audio="dummy")
    try:
        skip_intro(game)
        expect_gnome_window(desk, game, True, "start")
        desk.point_at_view(APP_ID)
        game.wait_capture(10)
        expect_board(desk, game, shot_path("1-fullscreen"), {(3, 3)})
        play(game, SOLUTION[:1])
        after_jump = {(1, 3), (2, 3)}
        expect_pointer_held(desk, game, "fullscreen")

        game.key("F9")
        expect_gnome_window(desk, game, False, "F9")
        desk.point_at_view(APP_ID)
        game.wait_capture(10)
        expect_pointer_held(desk, game, "windowed")
        game.drawn_after(0.5)
        expect_title_bar(desk, desk.screenshot(shot_path("2-windowed")), "F9")

        game.key("F9")
        expect_gnome_window(desk, game, True, "F9 twice")
        expect_board(desk, game, shot_path("3-f9-twice"), after_jump)

        game.read_trace()
        f7 = len(game.lines)
        game.key("F7")
        wait_until("F7: the game is minimised", lambda: (desk.window(APP_ID)["minimized"], desk.window(APP_ID)))
        game.key("alt+Tab")
        expect_gnome_window(desk, game, True, "Alt+Tab after F7")
        expect_frames(game, f7, "F7 and back")
        expect_board(desk, game, shot_path("4-f7-back"), after_jump)
        check(not desk.look()["overview"], "the overview stays closed")

        game.key("Escape")
        check(game.wait_exit(15) == 0, "Escape ends the game with exit code 0")
        wait_until("after Escape the game's window is gone",
                   lambda: (desk.window(APP_ID) is None, desk.window(APP_ID)), timeout=5)
    except Failure:
        picture_at_failure(desk, shot_path("game-at-failure"))
        raise
    finally:
        game.kill()


def expect_gnome_window(desk, game, fullscreen, step):
    """The game's window focused and not minimised, the overview closed; fullscreen
    on the whole output, or a captioned window whole inside the work area (below
    the top bar) with its title bar above the picture; the picture fitted to the
    window's drawable."""
    def look():
        seen = desk.look()
        window = next((w for w in seen["windows"] if w["wmClass"] == APP_ID), None)
        game.read_trace()
        fits = [line for line in game.lines if line.startswith("viewport ")]
        seen = {"window": window, "overview": seen["overview"], "work area": seen["workArea"],
                "viewport": fits[-1] if fits else None}
        if window is None or seen["overview"] or window["minimized"] or not window["focus"]:
            return False, seen
        x, y, width, height = window["frame"]
        if fullscreen:
            # Xwayland emulates the game's mode for its window alone: the window
            # has the mode's size, shown scaled to the whole output.
            sizes = ([*DESKTOP_SIZE], [640, 480]) if window["x11"] else ([*DESKTOP_SIZE],)
            return window["fullscreen"] and window["frame"][:2] == [0, 0] and window["frame"][2:] in sizes, seen
        ax, ay, aw, ah = seen["work area"]
        inside = ax <= x and ay <= y and x + width <= ax + aw and y + height <= ay + ah
        # The frame holds the 590 x 430 picture and, above it, the title bar.
        captioned = width >= 590 and height >= 430 + 20
        fitted = seen["viewport"] is not None and " in 590x430 " in seen["viewport"]
        return not window["fullscreen"] and inside and captioned and fitted, seen
    wait_until(f"{step}: the game's window is {'fullscreen' if fullscreen else 'whole and captioned'}", look)


def expect_pointer_held(desk, game, step):
    """Relative motion toward every corner, the top-left most, while the game has the
    pointer: the game reads it all, GNOME's own pointer stays where it was and the
    overview stays closed."""
    game.drawn_after(0.5)  # motion sent before (pointing at the window) read first
    before = desk.look()["pointer"]
    sweep = [(-100, -100)] * 12 + [(100, 0)] * 3 + [(0, 100)] * 3 + [(-100, 0)] * 3 + [(0, -100)] * 3
    for dx, dy in sweep:
        # One step at a time, each read before the next: SDL takes two equal
        # steps within the same millisecond for one.
        game.wait_capture(10)
        game.read_trace()
        motion = game.motion
        desk.display.xdotool("mousemove_relative", "--", dx, dy)
        game.poll_until(lambda: game.motion == (motion[0] + dx, motion[1] + dy), f"{step}: motion {dx} {dy} read", 10)
    seen = desk.look()
    # GNOME keeps the pointer's place in fractions of a pixel and tells it in
    # whole ones: a pixel either way is the same place.
    held = all(abs(a - b) <= 1 for a, b in zip(seen["pointer"], before))
    check(held and not seen["overview"],
          f"{step}: GNOME's pointer stays at {before} and the overview closed: {seen['pointer']}, "
          f"overview {'open' if seen['overview'] else 'closed'}")
    game.move_cursor_to(1.0, 1.0)  # back on the board


def expect_title_bar(desk, picture, step):
    """The window's title bar in the picture: the rows of the frame above the picture
    are neither the desktop's blue nor the game's, but a bar of greys."""
    x, y, width, height = desk.window(APP_ID)["frame"]
    bar = (x + 10, y + 4, x + width - 10, y + height - 430 - 4)
    grey = picture.count(lambda r, g, b: abs(r - g) < 12 and abs(g - b) < 12, bar)
    area = (bar[2] - bar[0]) * (bar[3] - bar[1])
    check(grey > 0.9 * area, f"{step}: a title bar over the window in {bar}: {grey} of {area} pixels grey")


def scenario_power(x, args):
    """Under openbox on a 60 Hz screen: no more frames than the display shows while
    playing, and almost no CPU while minimised; drawing comes back with the window."""
    wm = Openbox(x)
    game = Game(x, args.binary, args.root, args.out, "power", audio="dummy")
    try:
        skip_intro(game)
        time.sleep(1.0)  # past the skip's half-second pause
        fps, cpu = game.rate(6.0)
        print(f"power: playing {fps:.1f} frames per second, {cpu:.1f} % CPU")
        check(0 < fps <= 66, f"at most the display's 60 frames per second and a margin, not {fps:.1f}")
        game.key("F7")
        game.wait_for(r"^rest frame ", timeout=10)
        time.sleep(1.0)
        rest_fps, rest_cpu = game.rate(6.0)
        print(f"power: minimised {rest_fps:.1f} frames per second, {rest_cpu:.1f} % CPU")
        check(rest_fps == 0, f"nothing is drawn while minimised: {rest_fps:.1f} frames per second")
        check(rest_cpu < 10 and rest_cpu < cpu / 2, f"CPU drops while minimised: {cpu:.1f} % to {rest_cpu:.1f} %")
        x.xdotool("search", "--name", "^Christmas Pegs$", "windowactivate")
        game.wait_for(r"^wake frame ", timeout=10)
        frames = game.frame_count()
        game.next_tick(timeout=10)
        check(game.frame_count() > frames, "frames are drawn again once the window is back")
        # The screen may still be the desktop's size: a plain picture, not checked by size.
        subprocess.run(["import", "-window", "root", os.path.join(args.out, "power-back.png")], env=x.env(),
                       check=True)
        game.key("Escape")
        check(game.wait_exit(15) == 0, "exit code 0")
    finally:
        game.kill()
        wm.close()


def scenario_unseen_end(x, args):
    """Under openbox: a game minimised with F7 right after its last jump flies its board
    off, plays its finale and exits 0 unseen, as long after the jump as the same game
    watched."""
    wm = Openbox(x)
    taken = {}
    try:
        for way in ("watched", "minimised"):
            game = Game(x, args.binary, args.root, args.out, f"unseen-end-{way}", audio="dummy")
            try:
                skip_intro(game)
                time.sleep(1.0)  # past the skip's half-second pause
                play(game, DEAD_END)
                last_jump = time.time()
                if way == "minimised":
                    game.key("F7")
                code = game.wait_exit(120)
                taken[way] = time.time() - last_jump
                print(f"unseen-end: {way}: exit code {code}, {taken[way]:.2f} s from the last jump to the exit")
                check(code == 0, f"{way}: the game ends by itself with exit code 0, not {code}")
                game.read_trace()
                if way == "minimised":
                    check(any(line.startswith("rest frame ") for line in game.lines), "the game rested")
                    check(not any(line.startswith("state finale ") for line in game.lines),
                          "no finale frame was drawn: the finale ran unseen")
            finally:
                game.kill()
    finally:
        wm.close()
    difference = taken["minimised"] - taken["watched"]
    print(f"unseen-end: minimised minus watched {difference:+.2f} s")
    check(abs(difference) < 1.0, f"unseen, the game ends when it would have watched: {taken}")


# One hole's step in each direction, as (column, row), on the cursor keys and on W A S D.
ARROWS = {(-1, 0): "Left", (1, 0): "Right", (0, -1): "Up", (0, 1): "Down"}
WASD = {(-1, 0): "a", (1, 0): "d", (0, -1): "w", (0, 1): "s"}
HOLES = {(c, r) for c in range(7) for r in range(7) if 2 <= c <= 4 or 2 <= r <= 4}


def key_path(start, goal):
    """The steps of one hole each, along rows and columns of the cross, from hole
    `start` to hole `goal`; found breadth first."""
    came = {start: None}
    frontier = [start]
    while goal not in came:
        check(frontier, f"no way from {start} to {goal}")
        following = []
        for c, r in frontier:
            for dc, dr in ARROWS:
                nxt = (c + dc, r + dr)
                if nxt in HOLES and nxt not in came:
                    came[nxt] = (c, r)
                    following.append(nxt)
        frontier = following
    steps = []
    at = goal
    while came[at] is not None:
        before = came[at]
        steps.append((at[0] - before[0], at[1] - before[1]))
        at = before
    return steps[::-1]


def steer(game, start, goal, keys):
    """Presses the keys that take the bottle from hole `start` to hole `goal`, and waits
    until the game's cursor has glided onto `goal`'s centre."""
    steps = key_path(start, goal)
    if steps:
        game.x.xdotool("key", *(keys[step] for step in steps))
    gx, gy = game.hole_on_board(*goal)
    game.poll_until(lambda: abs(game.cursor[0] - gx) < 0.005 and abs(game.cursor[1] - gy) < 0.005,
                    f"the bottle on hole {goal}", 10)


def play_by_keys(game, moves, at):
    """Plays `moves` with the keys alone, the bottle starting on hole `at`: the cursor
    keys to a tree, Space to lift it, W A S D to carry it, Return to drop it."""
    for number, (start, goal) in enumerate(moves):
        before = game.pegs()
        steer(game, at, start, ARROWS)
        game.key("space")
        steer(game, start, goal, WASD)
        game.key("Return")
        game.wait_for(rf"^pegs {before - 1} ", timeout=10, after=0)
        check(game.pegs() == before - 1, f"move {number + 1} {start}->{goal} was not taken")
        at = goal


def scenario_keys(x, args):
    """A whole game with the keys alone under openbox: a key skips the intro, a tree
    carried by the keys goes back with Escape (which quits nothing), the solution is
    played, and the game ends by itself with exit code 0."""
    wm = Openbox(x)
    game = Game(x, args.binary, args.root, args.out, "keys", audio="dummy")
    try:
        game.wait_for(r"^first-frame", after=0)
        game.key("space")
        game.wait_state("playing")
        game.wait_for(r"^pegs 32 ", after=0)
        check(game.cursor == (0.0, 0.0), f"the bottle starts on the centre hole, not at {game.cursor}")

        steer(game, (3, 3), (3, 1), ARROWS)
        game.key("space")
        steer(game, (3, 1), (3, 3), WASD)
        game.drawn_after(0.5)  # the tree's swing settles
        carried = shot(x, args.out, "keys-1-carried")
        check(not tree_at(game, carried, 3, 1), "the lifted tree has left its hole (3, 1)")
        game.key("Escape")

        def back():
            picture = shot(x, args.out, "keys-2-put-back")
            return tree_at(game, picture, 3, 1) and not tree_at(game, picture, 3, 3), "the board"
        wait_until("Escape puts the carried tree back into (3, 1)", back)
        time.sleep(1.0)
        check(game.proc.poll() is None, "Escape with a tree lifted does not quit")
        check(game.pegs() == 32, f"no jump was made: {game.pegs()} pegs")

        play_by_keys(game, SOLUTION, (3, 3))
        check(game.pegs() == 1, "one peg is left")
        game.wait_state("board-exit")
        game.wait_state("finale", timeout=30)
        check(game.wait_exit(90) == 0, "the game ends by itself with exit code 0")
    finally:
        game.kill()
        wm.close()


# Scenarios that need real display modes run on Xorg's dummy driver with
# these configurations; the others run on Xvfb, but for those that need no
# X server at all.
XORG_CONFIGS = {"mode-restore": "xorg-dummy.conf", "mode-refused": "xorg-dummy-no-vga.conf",
                "windowed": "xorg-dummy.conf", "power": "xorg-dummy.conf", "unseen-end": "xorg-dummy.conf"}
NO_X_SERVER = {"command-line", "no-display"}


def picture_at_failure(x, path):
    """The whole screen as the scenario failed (on a desktop, the outer server's), to look at."""
    if isinstance(x, GnomeDesktop):
        if x.seat is not None and x.seat.ask(f"shot {os.path.abspath(path)}") == "ok":
            print(f"the screen at the failure: {path}", file=sys.stderr)
        return
    if isinstance(x, SwayDesktop):
        subprocess.run(["grim", path], env=x.seat.env() if x.seat else None, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)
        print(f"the screen at the failure: {path}", file=sys.stderr)
        return
    server = getattr(x, "x", x)
    if subprocess.run(["import", "-window", "root", path], env=server.env(), stdout=subprocess.DEVNULL,
                      stderr=subprocess.DEVNULL).returncode == 0:
        print(f"the screen at the failure: {path}", file=sys.stderr)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("scenario")
    parser.add_argument("--binary", required=True)
    parser.add_argument("--root", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--wm-close", default="wm_close")
    parser.add_argument("--wl-input", default="wl_input")
    parser.add_argument("--build-dir", help="the build to install, for installed-tree")
    args = parser.parse_args()
    os.makedirs(args.out, exist_ok=True)
    here = os.path.dirname(os.path.abspath(__file__))
    started = time.time()
    if args.scenario.startswith("desktop-"):
        # desktop-NAME: the player's session under that window manager or weston.
        wm = args.scenario[len("desktop-"):]
        xorg_config = os.path.join(here, "xorg-dummy.conf")
        make = lambda: (WestonDesktop(args.out) if wm == "weston"
                        else SwayDesktop(args.out, args.wl_input) if wm == "sway"
                        else SwayDesktop(args.out, args.wl_input, xwayland=True) if wm == "sway-xwayland"
                        else SwayDesktop(args.out, args.wl_input, scale=2) if wm == "sway-hidpi"
                        else SwayDesktop(args.out, args.wl_input, outputs=2) if wm == "sway-two-outputs"
                        else GnomeDesktop(args.out) if wm == "gnome"
                        else GnomeDesktop(args.out, xwayland=True) if wm == "gnome-xwayland"
                        else I3Desktop(xorg_config, args.out) if wm == "i3"
                        else WindowManagerDesktop(wm, xorg_config, args.out))
        run = {"sway": sway_session, "sway-xwayland": sway_xwayland_session,
               "sway-hidpi": sway_hidpi_session, "sway-two-outputs": sway_two_outputs_session,
               "gnome": gnome_session,
               "gnome-xwayland": gnome_session}.get(wm, desktop_session)
        end = lambda desk: desk.end()
    else:
        config = XORG_CONFIGS.get(args.scenario)
        make = lambda: (None if args.scenario in NO_X_SERVER
                        else XServer(os.path.join(here, config) if config else None))
        run, end = globals()["scenario_" + args.scenario.replace("-", "_")], lambda x: x.close()
    x = None
    try:
        x = make()
        run(x, args)
    except Failure as failure:
        print(f"FAILED {args.scenario}: {failure}", file=sys.stderr)
        if x is not None:
            picture_at_failure(x, os.path.join(args.out, f"{args.scenario}-failed.png"))
        return 1
    finally:
        if x is not None:
            end(x)
    print(f"passed {args.scenario} in {time.time() - started:.1f} s")
    return 0


if __name__ == "__main__":
    sys.exit(main())
