"""Counts the bells an X display rings (Wine rings the X bell for a beep),
through the keyboard extension's bell notifications."""
import ctypes
import time

_x11 = ctypes.CDLL("libX11.so.6")
_x11.XOpenDisplay.restype = ctypes.c_void_p
_x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
_x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
_x11.XPending.argtypes = [ctypes.c_void_p]
_x11.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.c_void_p]
_x11.XkbQueryExtension.argtypes = [ctypes.c_void_p] + [ctypes.POINTER(ctypes.c_int)] * 5
_x11.XkbSelectEvents.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_ulong, ctypes.c_ulong]

USE_CORE_KEYBOARD = 0x100
BELL_NOTIFY = 8
BELL_NOTIFY_MASK = 1 << 8


class XkbAnyEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("time", ctypes.c_ulong), ("xkb_type", ctypes.c_int)]


class XEvent(ctypes.Union):
    _fields_ = [("xkb", XkbAnyEvent), ("pad", ctypes.c_long * 24)]


class BellCounter:
    def __init__(self, display_name):
        # A display just started may refuse a connection for a moment on a slow machine.
        for _ in range(50):
            self.display = _x11.XOpenDisplay(display_name.encode())
            if self.display:
                break
            time.sleep(0.2)
        else:
            raise RuntimeError(f"cannot open {display_name}")
        opcode, event, error = ctypes.c_int(), ctypes.c_int(), ctypes.c_int()
        major, minor = ctypes.c_int(1), ctypes.c_int(0)
        if not _x11.XkbQueryExtension(self.display, opcode, event, error, major, minor):
            raise RuntimeError("the display has no keyboard extension")
        self.event_base = event.value
        _x11.XkbSelectEvents(self.display, USE_CORE_KEYBOARD, BELL_NOTIFY_MASK, BELL_NOTIFY_MASK)
        _x11.XPending(self.display)  # sends the selection
        self.rung = 0

    def count(self):
        """The bells rung since this counter was made."""
        event = XEvent()
        while _x11.XPending(self.display):
            _x11.XNextEvent(self.display, ctypes.byref(event))
            if event.xkb.type == self.event_base and event.xkb.xkb_type == BELL_NOTIFY:
                self.rung += 1
        return self.rung

    def close(self):
        _x11.XCloseDisplay(self.display)
