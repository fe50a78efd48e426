"""Reads the X screen of the display in $DISPLAY through Xlib, without any
screenshot tool, so that the typing test can find a push button of the entry
screen: the buttons sit in one row right above the blue key legend.

    xscreen.py button N   prints "X Y", the centre of the N-th button (0 first)
"""
import ctypes
import sys


class XImage(ctypes.Structure):
    _fields_ = [(name, ctypes.c_int) for name in ("width", "height", "xoffset", "format")] + [
        ("data", ctypes.c_void_p)] + [
        (name, ctypes.c_int) for name in ("byte_order", "bitmap_unit", "bitmap_bit_order",
                                          "bitmap_pad", "depth", "bytes_per_line",
                                          "bits_per_pixel")]


def grab():
    x = ctypes.cdll.LoadLibrary("libX11.so.6")
    x.XOpenDisplay.restype = ctypes.c_void_p
    x.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x.XDefaultRootWindow.restype = ctypes.c_ulong
    x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
    x.XDisplayWidth.argtypes = x.XDisplayHeight.argtypes = [ctypes.c_void_p, ctypes.c_int]
    x.XGetImage.restype = ctypes.POINTER(XImage)
    x.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                            ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
    display = x.XOpenDisplay(None)
    if not display:
        sys.exit("no X display")
    width, height = x.XDisplayWidth(display, 0), x.XDisplayHeight(display, 0)
    image = x.XGetImage(display, x.XDefaultRootWindow(display), 0, 0, width, height,
                        0xFFFFFFFF, 2).contents  # all planes, ZPixmap
    if image.bits_per_pixel != 32:
        sys.exit("unexpected pixel size %d" % image.bits_per_pixel)
    data = ctypes.string_at(image.data, image.bytes_per_line * height)
    stride = image.bytes_per_line

    def pixel(px, py):
        at = py * stride + 4 * px
        return (data[at + 2], data[at + 1], data[at])  # BGRX in memory

    return width, height, pixel


def runs(values):
    """(start, end) of each run of True, merging gaps of one or two pixels."""
    found, start, gap = [], None, 0
    for i, on in enumerate(values + [False] * 3):
        if on:
            if start is None:
                start = i
            gap, end = 0, i
        elif start is not None:
            gap += 1
            if gap > 2:
                found.append((start, end))
                start = None
    return found


def button(index):
    width, height, pixel = grab()
    legend = [(px, py) for py in range(height) for px in range(0, width, 4)
              if pixel(px, py) == (0, 0, 160)]
    if not legend:
        sys.exit("legend not found")
    top = min(py for _, py in legend)
    blue = [px for px in range(width) if pixel(px, top) == (0, 0, 160)]
    left, right = blue[0], blue[-1]
    # The window's margin, left of the legend, shows the window background.
    background = pixel(left - 2, top - 12)
    column = [pixel(left + 4, py) != background for py in range(top - 1, top - 80, -1)]
    bottom_run = runs(column)[0]
    bottom, upper = top - 1 - bottom_run[0], top - 1 - bottom_run[1]
    row = [pixel(px, upper + 3) != background for px in range(left, right)]
    found = runs(row)
    if index >= len(found):
        sys.exit("only %d buttons found" % len(found))
    start, end = found[index]
    print(left + (start + end) // 2, (upper + bottom) // 2)


if __name__ == "__main__":
    if len(sys.argv) == 3 and sys.argv[1] == "button":
        button(int(sys.argv[2]))
    else:
        sys.exit(__doc__)
