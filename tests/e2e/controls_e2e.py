#!/usr/bin/env python3
"""The markup controls as a user meets them.

markup-render shows the controls sheet live in a window on the virtual display
(DISPLAY), once with the visual style and once in the classic look. The test
clicks, drags and wheels with real mouse input through the X server, reads the
events the tool reports on stdout and compares what the screen shows. Every
process the test starts is stopped by its pid, also when a check fails.
"""

import os
import subprocess
import sys
import tempfile
import time
import unittest

from screen import POLL_SECONDS, WAIT_SECONDS, Screen, centre, parse_paths, run_tests, stop_process

ARGS = None  # the paths given on the command line
QUIET_SECONDS = 0.8  # how long to wait for events that must not come
LEAVE_SECONDS = 0.5  # Wine notices a pointer gone from the window by polling


class SheetWindow:
    """markup-render --view of the sheet: its parts on the screen and its events."""

    def __init__(self, options):
        self._out = tempfile.TemporaryFile()
        # A file, not a pipe: Wine's desktop process keeps inherited pipes open.
        self.process = subprocess.Popen([ARGS.winerun, ARGS.render, "--utf8", "--dump", "--width", "420", "--height",
                                         "470", *options, "--view", "Z:" + ARGS.sheet],
                                        stdin=subprocess.DEVNULL, stdout=self._out, stderr=subprocess.DEVNULL)
        self._seen = 0
        lines = self._wait_for_lines(lambda lines: "ready" in lines, "the window")
        ready = lines.index("ready")
        _, x, y, width, height = lines[0].split()
        self.client = (int(x), int(y), int(x) + int(width), int(y) + int(height))
        # Every element in drawing order as (type, screen rectangle, tag).
        self.elements = []
        for line in lines[1:ready]:
            fields = line.split()
            left, top, right, bottom = map(int, fields[1].split(","))
            rect = (left + self.client[0], top + self.client[1], right + self.client[0], bottom + self.client[1])
            self.elements.append((fields[0], rect, fields[2] if len(fields) > 2 else None))
        self.parts = {tag: rect for _, rect, tag in self.elements if tag}
        self._seen = ready + 1

    def stop(self):
        stop_process(self.process)
        self._out.close()

    def _lines(self):
        self._out.seek(0)
        text = self._out.read().decode("utf-8", "replace")
        # Only whole lines: the tool may be halfway through one.
        return text[:text.rfind("\n") + 1].splitlines()

    def _wait_for_lines(self, condition, what):
        deadline = time.monotonic() + WAIT_SECONDS
        while True:
            if self.process.poll() is not None:
                raise AssertionError("markup-render ended (%d) while waiting for %s" % (self.process.returncode, what))
            lines = self._lines()
            if condition(lines):
                return lines
            if time.monotonic() > deadline:
                raise AssertionError("no %s within %d s; stdout: %s" % (what, WAIT_SECONDS, lines))
            time.sleep(POLL_SECONDS)

    def events(self, count):
        """The next count event lines, waiting for them."""
        lines = self._wait_for_lines(lambda lines: len(lines) >= self._seen + count, "%d events" % count)
        new = lines[self._seen:self._seen + count]
        self._seen += count
        return new

    def no_events(self):
        """The event lines that came within a short while: there should be none."""
        time.sleep(QUIET_SECONDS)
        new = self._lines()[self._seen:]
        self._seen += len(new)
        return new


class SheetChecks:
    """What holds in either look; the subclasses say which look."""

    OPTIONS = []
    LOOK = ""

    def setUp(self):
        Screen.move_away()
        self.window = SheetWindow(self.OPTIONS)
        self.addCleanup(self.window.stop)
        for tag in ("plain", "coloured", "two", "three", "r1", "r2", "r3", "viewer"):
            self.assertIn(tag, self.window.parts, "the sheet's %s is not in the dump" % tag)
        # The dump gives the viewer's whole subtree, scrolled text included;
        # its bars tell where the viewer itself is.
        bars = [rect for kind, rect, _ in self.window.elements if kind == "CXTPMarkupScrollBar"]
        self.assertEqual(len(bars), 2, "a long first line and sixteen lines need both bars")
        self.vertical_bar = max(bars, key=lambda rect: rect[3] - rect[1])
        horizontal_bar = min(bars, key=lambda rect: rect[3] - rect[1])
        self.viewer = (horizontal_bar[0], self.vertical_bar[1], self.vertical_bar[2], horizontal_bar[3])
        # What the viewer shows of its content, without the bars, which look
        # hot under the pointer.
        self.viewport = (self.viewer[0], self.viewer[1], self.vertical_bar[0], horizontal_bar[1])

    def part(self, tag):
        return self.window.parts[tag]

    def glyph(self, tag):
        """The check or radio glyph of a box: the square at its left end."""
        left, top, _, bottom = self.part(tag)
        return (left, top, left + 13, bottom)

    def settled_away(self, rect):
        """The rectangle once the pointer is out of the window and nothing is hot."""
        Screen.move_away()
        time.sleep(LEAVE_SECONDS)
        return Screen.grab_settled(rect)

    def assertSame(self, picture, other, message):
        self.assertTrue(picture == other, message)

    def assertDifferent(self, picture, other, message):
        self.assertTrue(picture != other, message)

    def test_sheet_on_the_screen(self):
        Screen.save_png(Screen.grab_settled(self.window.client),
                        os.path.join(ARGS.screenshots, "controls-%s.png" % self.LOOK))
        # The viewer clips its sixteen lines: nothing of them shows below it.
        left, _, right, bottom = self.viewer
        below = Screen.grab_settled((left, bottom + 1, right, bottom + 4))
        self.assertEqual(len(set(below[2][i:i + 3] for i in range(0, len(below[2]), 3))), 1,
                         "the scrolled text shows below the viewer")

    def test_clicks_report_their_events(self):
        left, top, _, bottom = self.part("heading")
        link = (left, top, left + 8, bottom)
        # (what is clicked, the events it reports), in this order.
        clicks = [
            (self.part("plain"), ["Click Button plain"]),
            (self.part("coloured"), ["Click Button coloured"]),
            (link, ["Click Hyperlink https://example.com/"]),
            (self.part("two"), ["Checked CheckBox two", "Click CheckBox two"]),
            (self.part("two"), ["Unchecked CheckBox two", "Click CheckBox two"]),
            # Three states, starting indeterminate.
            (self.part("three"), ["Unchecked CheckBox three", "Click CheckBox three"]),
            (self.part("three"), ["Checked CheckBox three", "Click CheckBox three"]),
            (self.part("three"), ["Indeterminate CheckBox three", "Click CheckBox three"]),
            (self.part("r2"), ["Unchecked RadioButton r1", "Checked RadioButton r2", "Click RadioButton r2"]),
            # A click never clears a radio button.
            (self.part("r2"), ["Checked RadioButton r2", "Click RadioButton r2"]),
            (self.part("r3"), ["Unchecked RadioButton r2", "Checked RadioButton r3", "Click RadioButton r3"]),
        ]
        marks = [self.settled_away(self.glyph("two"))]
        for rect, events in clicks:
            Screen.click(rect)
            self.assertEqual(self.window.events(len(events)), events)
            if rect == self.part("two"):
                marks.append(self.settled_away(self.glyph("two")))
        unchecked, checked, cleared = marks
        self.assertDifferent(checked, unchecked, "the check mark does not show")
        self.assertSame(cleared, unchecked, "the check mark stays")
        self.assertSame(self.settled_away(self.glyph("r1")), Screen.grab_settled(self.glyph("r2")),
                        "r1 still looks checked")
        self.assertDifferent(Screen.grab_settled(self.glyph("r3")), Screen.grab_settled(self.glyph("r2")),
                             "r3 looks unchecked")

    def test_button_clicks_only_when_released_inside(self):
        plain = self.part("plain")
        x, y = centre(plain)
        away = (x, plain[3] + 40)
        Screen.xdotool("mousemove", x, y, "mousedown", 1)
        pressed = Screen.grab_settled(plain)
        Screen.xdotool("mousemove", *away)
        outside = Screen.grab_settled(plain)
        self.assertDifferent(pressed, outside, "the pressed face stays while the pointer is outside")
        Screen.xdotool("mouseup", 1)
        self.assertEqual(self.window.no_events(), [], "released outside, yet clicked")

        # Pressed, out and back in: still a click.
        Screen.xdotool("mousemove", x, y, "mousedown", 1, "mousemove", *away)
        Screen.grab_settled(plain)
        Screen.xdotool("mousemove", x, y)
        self.assertSame(Screen.grab_settled(plain), pressed, "coming back shows the pressed face again")
        Screen.xdotool("mouseup", 1)
        self.assertEqual(self.window.events(1), ["Click Button plain"])

    def test_scroll_viewer_scrolls_by_wheel_arrow_and_thumb(self):
        viewer = self.viewport
        x, y = centre(viewer)
        Screen.xdotool("mousemove", x, y)
        start = Screen.grab_settled(viewer)

        Screen.xdotool("click", 5)  # wheel down
        self.assertDifferent(Screen.grab_settled(viewer), start, "the wheel did not scroll")
        Screen.xdotool("click", 4)
        self.assertSame(Screen.grab_settled(viewer), start, "one notch up does not undo one notch down")

        left, top, right, bottom = self.vertical_bar
        bar = (left + right) // 2
        arrow = right - left
        Screen.xdotool("mousemove", bar, bottom - arrow // 2, "click", 1)
        self.assertDifferent(Screen.grab_settled(viewer), start, "the lower arrow did not scroll")
        Screen.xdotool("mousemove", bar, top + arrow // 2, "click", 1)
        self.assertSame(Screen.grab_settled(viewer), start, "the upper arrow does not undo the lower one")

        # The thumb dragged down scrolls; the wheel brings the top back.
        Screen.xdotool("mousemove", bar, top + arrow + 3, "mousedown", 1)
        for step in range(1, 6):
            Screen.xdotool("mousemove", bar, top + arrow + 3 + 10 * step)
        Screen.xdotool("mouseup", 1)
        self.assertDifferent(Screen.grab_settled(viewer), start, "dragging the thumb did not scroll")
        Screen.xdotool("mousemove", x, y, *(["click", 4] * 8))
        self.assertSame(Screen.grab_settled(viewer), start, "the wheel does not bring the top back")
        self.assertEqual(self.window.no_events(), [], "scrolling raised click events")


class ThemedSheet(SheetChecks, unittest.TestCase):
    OPTIONS = []
    LOOK = "themed"


class ClassicSheet(SheetChecks, unittest.TestCase):
    OPTIONS = ["--classic"]
    LOOK = "classic"


def main():
    global ARGS
    ARGS, rest = parse_paths(__doc__.splitlines()[0], [("render", "markup-render.exe"), ("sheet", "the controls sheet")])
    return run_tests("controls_e2e", rest)


if __name__ == "__main__":
    sys.exit(main())
