"""Drops files on a point of an X display the way a file manager does, by the
XDND protocol: the source offers text/uri-list, moves over the target, drops,
and hands over the file URIs when the target asks for them. Wine turns such
a drop on a window that accepts files into WM_DROPFILES."""
import time
import urllib.parse

from Xlib import X, Xatom, display
from Xlib.protocol import event

VERSION = 5


def file_uri(path):
    return "file://" + urllib.parse.quote(str(path))


class Dropper:
    def __init__(self, display_name):
        self.d = display.Display(display_name)
        self.root = self.d.screen().root
        self.source = self.root.create_window(-10, -10, 1, 1, 0, X.CopyFromParent)
        self.atom = {name: self.d.intern_atom(name) for name in (
            "XdndAware", "XdndEnter", "XdndPosition", "XdndStatus", "XdndDrop", "XdndLeave",
            "XdndFinished", "XdndSelection", "XdndActionCopy", "XdndTypeList", "text/uri-list")}
        self.payload = b""

    def close(self):
        self.d.close()

    def target_at(self, x, y):
        """The outermost window under the point that speaks XDND (else the outermost at all)."""
        window = self.root
        outermost = None
        while True:
            reply = window.translate_coords(self.root, x, y)
            child = reply.child
            if not child:
                return outermost
            window = child
            if outermost is None:
                outermost = child
            aware = child.get_full_property(self.atom["XdndAware"], Xatom.ATOM)
            if aware:
                return child

    def send(self, target, kind, data):
        message = event.ClientMessage(window=target, client_type=self.atom[kind],
                                      data=(32, (data + [0] * 5)[:5]))
        target.send_event(message, event_mask=0)
        self.d.flush()

    def pump(self, until, timeout=10):
        """Answers the target's requests for the data until a client message of the given kind."""
        deadline = time.time() + timeout
        while time.time() < deadline:
            while self.d.pending_events():
                e = self.d.next_event()
                if e.type == X.SelectionRequest:
                    self.answer(e)
                elif e.type == X.ClientMessage and e.client_type == self.atom[until]:
                    return e
            time.sleep(0.01)
        raise AssertionError(f"the drop target sent no {until}")

    def answer(self, request):
        prop = request.property or request.target
        if request.target == self.atom["text/uri-list"]:
            request.requestor.change_property(prop, request.target, 8, self.payload)
        else:
            prop = X.NONE
        notify = event.SelectionNotify(time=request.time, requestor=request.requestor,
                                       selection=request.selection, target=request.target,
                                       property=prop)
        request.requestor.send_event(notify)
        self.d.flush()

    def drop(self, paths, x, y):
        """Drops the files at root coordinates (x, y); True when the target took them."""
        self.payload = "".join(file_uri(p) + "\r\n" for p in paths).encode("utf-8")
        target = self.target_at(x, y)
        if target is None:
            raise AssertionError(f"no window at {x},{y} to drop on")
        self.source.set_selection_owner(self.atom["XdndSelection"], X.CurrentTime)
        source = self.source.id
        self.send(target, "XdndEnter", [source, VERSION << 24, self.atom["text/uri-list"]])
        self.send(target, "XdndPosition", [source, 0, (x << 16) | y, X.CurrentTime,
                                           self.atom["XdndActionCopy"]])
        status = self.pump("XdndStatus")
        if not status.data[1][1] & 1:
            self.send(target, "XdndLeave", [source])
            return False
        self.send(target, "XdndDrop", [source, 0, X.CurrentTime])
        self.pump("XdndFinished")
        return True


def drop_files(display_name, paths, x, y):
    dropper = Dropper(display_name)
    try:
        return dropper.drop(paths, x, y)
    finally:
        dropper.close()
