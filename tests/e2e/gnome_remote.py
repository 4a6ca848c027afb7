"""One player's hands and eyes on a GNOME Shell session, over its session bus
(DBUS_SESSION_BUS_ADDRESS): a remote desktop session's relative pointer motion,
buttons and keys, screenshots, and the test probe extension's look at the
windows. A remote desktop session lives as long as the connection that made it,
so this runs as one long process, reading commands on stdin and answering each
with one line ("ok", or the answer itself):

    move DX DY | button 1|0 | key CODE[+CODE...] (evdev codes, pressed in
    order, released in reverse) | shot PATH | look | activate WM_CLASS

The argument names the probe extension, enabled before "ready". Runs under
the system's python3, which has GObject introspection."""
import sys
import time

from gi.repository import Gio, GLib

BTN_LEFT = 0x110


class Remote:
    def __init__(self, probe):
        self.bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)
        shell = "org.gnome.Shell.Extensions"
        self.call("org.gnome.Shell", "/org/gnome/Shell", shell, "EnableExtension", GLib.Variant("(s)", (probe,)))
        deadline = time.time() + 20
        while True:  # the extension is enabled while the call returns, or soon after
            try:
                self.probe("Look")
                break
            except GLib.Error:
                if time.time() > deadline:
                    raise
                time.sleep(0.2)
        # GNOME Shell takes screenshots only for the screenshot tool.
        self.call("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "RequestName",
                  GLib.Variant("(su)", ("org.gnome.Screenshot", 4)))
        remote = "org.gnome.Mutter.RemoteDesktop"
        path = self.call(remote, "/org/gnome/Mutter/RemoteDesktop", remote, "CreateSession", None)[0]
        self.session = lambda method, args=None: self.call(remote, path, remote + ".Session", method, args)
        self.session("Start")

    def call(self, name, path, interface, method, args):
        return self.bus.call_sync(name, path, interface, method, args, None, Gio.DBusCallFlags.NONE,
                                  10000, None).unpack()

    def probe(self, method, args=None):
        return self.call("org.christmaspegs.Probe", "/org/christmaspegs/Probe", "org.christmaspegs.Probe",
                         method, args)[0]

    def run(self, words):
        command = words[0]
        if command == "move":
            self.session("NotifyPointerMotionRelative", GLib.Variant("(dd)", (float(words[1]), float(words[2]))))
        elif command == "button":
            self.session("NotifyPointerButton", GLib.Variant("(ib)", (BTN_LEFT, words[1] == "1")))
        elif command == "key":
            codes = [int(code) for code in words[1].split("+")]
            for code in codes:
                self.session("NotifyKeyboardKeycode", GLib.Variant("(ub)", (code, True)))
            for code in reversed(codes):
                self.session("NotifyKeyboardKeycode", GLib.Variant("(ub)", (code, False)))
        elif command == "shot":
            shell = "org.gnome.Shell.Screenshot"
            ok, _ = self.call(shell, "/org/gnome/Shell/Screenshot", shell, "Screenshot",
                              GLib.Variant("(bbs)", (False, False, words[1])))
            return "ok" if ok else "screenshot refused"
        elif command == "look":
            return self.probe("Look")
        elif command == "activate":
            return "ok" if self.probe("Activate", GLib.Variant("(s)", (words[1],))) else "no such window"
        else:
            return f"unknown command {command}"
        return "ok"


def main():
    try:
        remote = Remote(sys.argv[1])
    except GLib.Error as error:
        print(f"failed: {error.message}", flush=True)
        return 1
    print("ready", flush=True)
    for line in sys.stdin:
        try:
            answer = remote.run(line.split())
        except GLib.Error as error:
            answer = f"failed: {error.message}"
        print(answer, flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
