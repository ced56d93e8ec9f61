# What GNOME Shell shows, for the e2e tests of the blur behind the program's
# windows: screenshots through the shell (as a screenshot tool, whose bus name
# the shell lets take them), a busy pattern to blur, and the extension's blur
# asked for by a window of this process while it holds the program's bus name.
#
#   shell_blur_check.py sharpness X Y W H   how sharp that area looks (0-255)
#   shell_blur_check.py screenshot X Y W H PATH   that area as a PNG file
#   shell_blur_check.py pattern X Y W H     a fine checkerboard there until killed
#   shell_blur_check.py extension OTHER     the extension's blur, checked in turn;
#                                           OTHER is another process's X window
#
import os
import sys
import tempfile
import time

import dbus
import gi

for library, version in (("Gdk", "3.0"), ("GdkPixbuf", "2.0"), ("GdkX11", "3.0"), ("Gtk", "3.0")):
    gi.require_version(library, version)
from gi.repository import GdkPixbuf, GdkX11, GLib, Gtk  # noqa: E402,F401

bus = dbus.SessionBus()


def own(name):
    if bus.request_name(name, dbus.bus.NAME_FLAG_DO_NOT_QUEUE) != 1:
        sys.exit(f"{name} is taken")


def screen():
    # The whole screen as the shell draws it (an area's screenshot is drawn
    # apart, at the area's size).
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "screen.png")
        done, _ = bus.call_blocking(
            "org.gnome.Shell.Screenshot", "/org/gnome/Shell/Screenshot",
            "org.gnome.Shell.Screenshot", "Screenshot", "bbs", [False, False, path], timeout=30)
        if not done:
            sys.exit("the shell took no screenshot")
        return GdkPixbuf.Pixbuf.new_from_file(path)


def sharpness(x, y, width, height):
    # The mean difference of horizontal neighbours' green in an area of the
    # screen, 0-255.
    image = screen()
    pixels, stride, channels = image.get_pixels(), image.get_rowstride(), image.get_n_channels()
    total = count = 0
    for row in range(y, y + height):
        line = pixels[row * stride + x * channels:row * stride + (x + width) * channels]
        greens = line[1::channels]
        total += sum(abs(a - b) for a, b in zip(greens, greens[1:]))
        count += len(greens) - 1
    return total / max(count, 1)


def settle(seconds):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        Gtk.main_iteration_do(False)
        time.sleep(0.01)


def window(x, y, width, height, pattern):
    # An override-redirect window: it takes no focus from the test's windows.
    # Drawn without cairo, whose Python bindings not every release installs.
    shown = Gtk.Window(type=Gtk.WindowType.POPUP)
    shown.set_visual(shown.get_screen().get_rgba_visual())
    css = Gtk.CssProvider()
    css.load_from_data(b"window { background-color: transparent; }")
    shown.get_style_context().add_provider(css, Gtk.STYLE_PROVIDER_PRIORITY_APPLICATION)
    if pattern:
        shown.add(Gtk.Image.new_from_pixbuf(checkerboard(width, height)))
    shown.move(x, y), shown.resize(width, height)
    shown.show_all()
    settle(1)
    return shown


def checkerboard(width, height):
    # One-pixel black and white columns.
    row = bytes(255 * (column % 2 == 0) for column in range(width) for _ in range(3))
    return GdkPixbuf.Pixbuf.new_from_bytes(GLib.Bytes.new(row * height), GdkPixbuf.Colorspace.RGB,
                                           False, 8, width, height, width * 3)


def blur(xid, rectangles):
    return bool(bus.call_blocking(
        "io.github.nudgewatch.Focus", "/io/github/nudgewatch/Focus", "io.github.nudgewatch.Focus",
        "SetBlurRegion", "ua(iiii)d", [dbus.UInt32(xid), [dbus.Struct(r, signature="iiii") for r in rectangles], 1.0],
        timeout=10))


def extension(other):
    # A transparent window over the checkerboard has what lies behind it
    # blurred inside its outline only, and nothing once the outline is empty or
    # the window unmapped; another process's window is not blurred.
    own("org.nudgewatch.Nudgewatch")
    own("org.gnome.Screenshot")
    window(100, 300, 400, 200, True)
    client = window(150, 350, 300, 100, False)
    xid = client.get_window().get_xid()
    inside, corner = (200, 380, 200, 40), (150, 350, 12, 12)
    sharp = sharpness(*inside)
    # A card's outline: a cross whose corners are left out.
    outline = [(16, 0, 268, 16), (0, 16, 300, 68), (16, 84, 268, 16)]
    failures = []

    def check(what, condition):
        if not condition:
            failures.append(what)

    check("the checkerboard is sharp to begin with", sharp > 100)
    check("the blur was refused", blur(xid, outline))
    settle(1)
    blurred = sharpness(*inside)
    check(f"not blurred inside the outline ({blurred:.1f} of {sharp:.1f})", blurred < sharp / 4)
    check("blurred outside the outline", sharpness(*corner) > sharp / 2)
    check("another process's window was blurred", not blur(other, outline))
    check("an empty outline left a blur", not blur(xid, []))
    settle(1)
    check("blurred after the outline emptied", sharpness(*inside) > sharp / 2)
    blur(xid, outline)
    client.hide()
    settle(1)
    check("blurred after the window went", sharpness(*inside) > sharp / 2)
    if failures:
        sys.exit("; ".join(failures))
    print(f"blur behind the window: sharpness {sharp:.1f} -> {blurred:.1f}")


def main():
    command, arguments = sys.argv[1], [int(a, 0) for a in sys.argv[2:6]]
    if command in ("sharpness", "screenshot"):
        own("org.gnome.Screenshot")
    if command == "sharpness":
        print(f"{sharpness(*arguments):.1f}")
    elif command == "screenshot":
        screen().new_subpixbuf(*arguments).savev(sys.argv[6], "png", [], [])
    elif command == "pattern":
        window(*arguments, True)
        Gtk.main()
    elif command == "extension":
        extension(*arguments)
    else:
        sys.exit(f"unknown command {command}")


main()
