"""What the end-to-end tests share: the virtual display, grabbed and clicked
through the X server, and the way a suite is started."""

import argparse
import os
import re
import signal
import subprocess
import sys
import time
import unittest

WAIT_SECONDS = 30  # for anything a program should do at once
POLL_SECONDS = 0.15


def centre(rect):
    left, top, right, bottom = rect
    return (left + right) // 2, (top + bottom) // 2


class Screen:
    """The virtual display, grabbed and clicked through the X server."""

    @staticmethod
    def click(rect):
        x, y = centre(rect)
        Screen.xdotool("mousemove", x, y, "click", 1)

    @staticmethod
    def xdotool(*args):
        """One xdotool command line, e.g. ("mousemove", 10, 20, "mousedown", 1)."""
        subprocess.run(["xdotool", *map(str, args)], check=True, timeout=30)

    @staticmethod
    def move_away():
        # Out of every window, so that no hot-tracked face shows in a picture.
        Screen.xdotool("mousemove", 0, 0)

    @staticmethod
    def key(name):
        # To the window with the keyboard focus: the dialog the clicks went to.
        Screen.xdotool("key", name)

    @staticmethod
    def size():
        shown = subprocess.run(["xdotool", "getdisplaygeometry"], capture_output=True, text=True, check=True,
                               timeout=30)
        width, height = shown.stdout.split()
        return int(width), int(height)

    @staticmethod
    def grab(rect):
        """(width, height, RGB bytes) of a rectangle of the screen."""
        shot = subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"], capture_output=True, check=True,
                              timeout=30)
        header = re.match(rb"P6\s+(\d+)\s+(\d+)\s+255\s", shot.stdout)
        if not header:
            raise AssertionError("import gave no 8-bit PPM picture")
        screen_width, screen_height = int(header.group(1)), int(header.group(2))
        pixels = shot.stdout[header.end():]
        left, top, right, bottom = rect
        if left < 0 or top < 0 or right > screen_width or bottom > screen_height:
            raise AssertionError("%s is not all on the %dx%d screen" % (rect, screen_width, screen_height))
        rows = [pixels[((top + y) * screen_width + left) * 3:((top + y) * screen_width + right) * 3]
                for y in range(bottom - top)]
        return right - left, bottom - top, b"".join(rows)

    @classmethod
    def grab_settled(cls, rect):
        """The rectangle once two grabs in a row show the same picture."""
        deadline = time.monotonic() + WAIT_SECONDS
        previous = cls.grab(rect)
        while time.monotonic() < deadline:
            time.sleep(POLL_SECONDS)
            current = cls.grab(rect)
            if current == previous:
                return current
            previous = current
        raise AssertionError("the window kept changing for %d s" % WAIT_SECONDS)

    @staticmethod
    def save_png(picture, path):
        width, height, pixels = picture
        ppm = b"P6\n%d %d\n255\n" % (width, height) + pixels
        os.makedirs(os.path.dirname(path), exist_ok=True)
        subprocess.run(["convert", "ppm:-", "png:" + path], input=ppm, check=True, timeout=30)
        print("screenshot:", path)


def stop_process(process):
    """Ends a process the test started, by its pid: asked first, then killed."""
    if process.poll() is None:
        process.terminate()
        try:
            process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait(timeout=30)


def parse_paths(description, paths):
    """The command line of a suite: each (option, help) of paths, and the Wine
    wrapper and screenshot folder every suite needs, is a required path, made
    absolute. Answers the options and the arguments left for unittest."""
    parser = argparse.ArgumentParser(description=description)
    paths = paths + [("winerun", "the build's Wine wrapper"), ("screenshots", "folder for the PNG pictures")]
    for option, text in paths:
        parser.add_argument("--" + option, required=True, help=text)
    args, rest = parser.parse_known_args()
    for option, _ in paths:
        setattr(args, option, os.path.abspath(getattr(args, option)))
    return args, rest


def run_tests(name, rest):
    """Runs the test cases of the __main__ module on the display; the exit code."""
    # Stopped from outside, the cleanups still stop what the test started.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(name + ": terminated"))
    if not os.environ.get("DISPLAY"):
        print(name + ": DISPLAY is not set (run it through ./test)", file=sys.stderr)
        return 2
    result = unittest.main(module="__main__", argv=[sys.argv[0], "-v", *rest], exit=False).result
    return 0 if result.wasSuccessful() else 1
