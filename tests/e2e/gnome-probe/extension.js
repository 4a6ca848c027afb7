// Tells the end-to-end tests what GNOME Shell shows, on the session bus as
// org.christmaspegs.Probe: where every window is and in what state, the
// work area, where the desktop's pointer is and whether the overview is
// open; and activates a window as a click in the dash would.
const {Gio, Meta} = imports.gi;
const Main = imports.ui.main;

const INTERFACE = `<node>
  <interface name="org.christmaspegs.Probe">
    <method name="Look"><arg type="s" direction="out"/></method>
    <method name="Activate"><arg type="s" name="wmClass" direction="in"/><arg type="b" direction="out"/></method>
  </interface>
</node>`;

function windows() {
    return global.get_window_actors().map(actor => actor.meta_window)
        .filter(w => w.get_window_type() === Meta.WindowType.NORMAL);
}

class Probe {
    Look() {
        const [x, y] = global.get_pointer();
        const area = Main.layoutManager.getWorkAreaForMonitor(Main.layoutManager.primaryIndex);
        const focus = global.display.get_focus_window();
        return JSON.stringify({
            pointer: [x, y],
            overview: Main.overview.visible,
            workArea: [area.x, area.y, area.width, area.height],
            windows: windows().map(w => {
                const frame = w.get_frame_rect();
                const buffer = w.get_buffer_rect();
                return {
                    wmClass: w.get_wm_class(), title: w.get_title(),
                    x11: w.get_client_type() === Meta.WindowClientType.X11,
                    frame: [frame.x, frame.y, frame.width, frame.height],
                    buffer: [buffer.x, buffer.y, buffer.width, buffer.height],
                    minimized: w.minimized, fullscreen: w.is_fullscreen(), focus: w === focus,
                };
            }),
        });
    }

    Activate(wmClass) {
        const window = windows().find(w => w.get_wm_class() === wmClass);
        if (window)
            window.activate(global.get_current_time());
        return window !== undefined;
    }
}

class Extension {
    enable() {
        this._object = Gio.DBusExportedObject.wrapJSObject(INTERFACE, new Probe());
        this._object.export(Gio.DBus.session, '/org/christmaspegs/Probe');
        this._name = Gio.bus_own_name_on_connection(Gio.DBus.session, 'org.christmaspegs.Probe',
            Gio.BusNameOwnerFlags.NONE, null, null);
    }

    disable() {
        Gio.bus_unown_name(this._name);
        this._object.unexport();
    }
}

function init() {
    return new Extension();
}
