"""Watches a rectangle of the X screen for a colour: how long after a
program's launch its picture first shows. Used by run_all.py for the start-up
row; reads the screen through libX11 (ctypes), so the watch adds no process
and polls every few milliseconds."""
import array
import ctypes
import os
import time

_ZPIXMAP = 2
_ALL_PLANES = 0xFFFFFFFF


class _XImage(ctypes.Structure):
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.c_void_p), ("byte_order", ctypes.c_int),
                ("bitmap_unit", ctypes.c_int), ("bitmap_bit_order", ctypes.c_int),
                ("bitmap_pad", ctypes.c_int), ("depth", ctypes.c_int),
                ("bytes_per_line", ctypes.c_int), ("bits_per_pixel", ctypes.c_int)]


class Screen:
    """The X display named by DISPLAY; counts the pixels of one colour in a
    rectangle (a 24-bit screen with 32 bits per pixel, as Xvfb's)."""

    def __init__(self):
        self._x = ctypes.CDLL("libX11.so.6")
        self._x.XOpenDisplay.restype = ctypes.c_void_p
        self._x.XOpenDisplay.argtypes = [ctypes.c_char_p]
        self._x.XDefaultRootWindow.restype = ctypes.c_ulong
        self._x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        self._x.XGetImage.restype = ctypes.POINTER(_XImage)
        self._x.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                                      ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
        self._x.XFree.argtypes = [ctypes.c_void_p]
        self._display = self._x.XOpenDisplay(os.environ["DISPLAY"].encode())
        if not self._display:
            raise RuntimeError("cannot open display " + os.environ["DISPLAY"])
        self._root = self._x.XDefaultRootWindow(self._display)

    def count(self, rect, rgb):
        """Pixels of colour rgb (r, g, b) in rect (x, y, width, height)."""
        x, y, w, h = rect
        image = self._x.XGetImage(self._display, self._root, x, y, w, h, _ALL_PLANES, _ZPIXMAP)
        if not image:
            return 0
        try:
            im = image.contents
            if im.bits_per_pixel != 32:
                raise RuntimeError("expected 32 bits per pixel, got %d" % im.bits_per_pixel)
            pixels = array.array("I", ctypes.string_at(im.data, im.bytes_per_line * im.height))
            if pixels.itemsize != 4:
                raise RuntimeError("no 32-bit array type")
            # 0x00RRGGBB in the machine's order; the unused top byte may be set.
            value = (rgb[0] << 16) | (rgb[1] << 8) | rgb[2]
            return pixels.count(value) + pixels.count(value | 0xFF000000)
        finally:
            self._x.XFree(im.data)
            self._x.XFree(image)

    def wait(self, rect, rgb, at_least, timeout, present=True):
        """Seconds until at_least pixels of rgb show in rect (present) or
        fewer do (not present); None at the timeout."""
        start = time.perf_counter()
        while time.perf_counter() - start < timeout:
            if (self.count(rect, rgb) >= at_least) == present:
                return time.perf_counter() - start
            time.sleep(0.002)
        return None
