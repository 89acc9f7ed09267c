"""Takes the CLIPBOARD selection and never answers a request for it, like a program that hangs
right after a copy. Prints one line once it owns the selection, then sleeps until killed."""

import ctypes
import signal
import sys

xlib = ctypes.CDLL("libX11.so.6")
xlib.XOpenDisplay.restype = ctypes.c_void_p
xlib.XOpenDisplay.argtypes = [ctypes.c_char_p]
xlib.XDefaultRootWindow.restype = ctypes.c_ulong
xlib.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
xlib.XCreateSimpleWindow.restype = ctypes.c_ulong
xlib.XCreateSimpleWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong] + [ctypes.c_int] * 2 + [
    ctypes.c_uint
] * 3 + [ctypes.c_ulong] * 2
xlib.XInternAtom.restype = ctypes.c_ulong
xlib.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
xlib.XSetSelectionOwner.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_ulong]
xlib.XGetSelectionOwner.restype = ctypes.c_ulong
xlib.XGetSelectionOwner.argtypes = [ctypes.c_void_p, ctypes.c_ulong]

display = xlib.XOpenDisplay(None)
if not display:
    sys.exit("cannot open the display")
window = xlib.XCreateSimpleWindow(display, xlib.XDefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0)
clipboard = xlib.XInternAtom(display, b"CLIPBOARD", 0)
xlib.XSetSelectionOwner(display, clipboard, window, 0)
# A round trip: the server has made us the owner before we say so.
if xlib.XGetSelectionOwner(display, clipboard) != window:
    sys.exit("could not take the clipboard")
print("owner", flush=True)
# Never reading the connection again, requests for the clipboard go unanswered.
signal.pause()
