#!/usr/bin/env python3
"""clockfix.exe as a user meets it.

The program runs from a folder of its own on the virtual display (DISPLAY),
under Wine without the right to set the clock, asking a time server of this
test whose clock is 10 s ahead. It is clicked with real mouse input through
the X server and read from the outside by window_probe.exe. Every process the
test starts is stopped by its pid, also when a check fails.
"""

import glob
import json
import os
import re
import shutil
import socket
import struct
import subprocess
import sys
import tempfile
import threading
import time
import unittest

from screen import POLL_SECONDS, WAIT_SECONDS, Screen, parse_paths, run_tests, stop_process

CAPTION = "Horaleon【免费版】"
IDC_CLOCK, IDC_SYNC, IDC_AUTOSYNC, IDC_SYNCSPAN, IDC_AUTORUN, IDC_INFO = 1000, 1001, 1003, 1004, 1005, 1006
AUTOSTART_NAME = "clockfix"
INTERVALS = ["每隔30分钟", "每隔1小时", "每隔2小时"]

SERVER_AHEAD = 10.0
# One exchange misjudges the offset by at most half its round trip; a loaded
# machine may take most of a second for one.
OFFSET_TOLERANCE = 0.5
NOT_SET_SLOW = re.compile(r"更新本机系统时间失败！您的系统时间比标准时间慢了(\d+\.\d{4})秒！")
BUSY_TEXT = "正在与授时服务器校时，请稍候…"
# One synchronisation asks the first server that answers this many times.
REQUESTS_PER_SYNC = 4
# The window's longest wait for an answer while it synchronises. The benchmark
# holds it to 50 ms; here other programs start on a machine that may be busy,
# and a window blocked by the 4 s the reply is held back would wait longer.
HOLD_SECONDS = 4.0
LONGEST_STALL_MS = 2000
NOT_SET_FAST = re.compile(r"更新本机系统时间失败！您的系统时间比标准时间快了(\d+\.\d{4})秒！")
SCRIPTS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts")

ARGS = None  # the paths given on the command line


class SntpResponder:
    """A time server on 127.0.0.1 whose clock runs a fixed time ahead of ours."""

    NTP_EPOCH_OFFSET = 2208988800  # seconds from 1900 to 1970

    def __init__(self, ahead):
        self.ahead = ahead
        self.requests = 0
        self.hold_next = 0.0  # seconds the next reply is held back
        self._socket = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        self._socket.bind(("127.0.0.1", 0))
        self._socket.settimeout(POLL_SECONDS)
        self.port = self._socket.getsockname()[1]
        self._stopping = threading.Event()
        self._thread = threading.Thread(target=self._serve, daemon=True)
        self._thread.start()

    def stop(self):
        self._stopping.set()
        self._thread.join()
        self._socket.close()

    @classmethod
    def _stamp(cls, seconds):
        whole = int(seconds)
        return struct.pack("!II", whole + cls.NTP_EPOCH_OFFSET, int((seconds - whole) * 2**32) & 0xFFFFFFFF)

    def _serve(self):
        while not self._stopping.is_set():
            try:
                request, peer = self._socket.recvfrom(512)
            except socket.timeout:
                continue
            received = time.time() + self.ahead
            if len(request) < 48:
                continue
            self.requests += 1
            hold, self.hold_next = self.hold_next, 0.0
            time.sleep(hold)
            version = (request[0] >> 3) & 7
            header = struct.pack("!BBbbII4s", (version << 3) | 4, 2, 6, -20, 0, 0, b"TEST")
            reference = self._stamp(received - 1)
            originate = request[40:48]  # the client's transmit stamp, as it came
            reply = header + reference + originate + self._stamp(received)
            self._socket.sendto(reply + self._stamp(time.time() + self.ahead), peer)


def windows_path(path):
    """The path a Wine program sees for a host path (drive Z: is the root)."""
    return "Z:" + path.replace("/", "\\")


class PrefixCopy:
    """A copy of the build's Wine prefix with values of the user's registry
    changed (another DPI, another colour scheme), run by a wineserver of its
    own while the copy is in use. The Wine programs of the test go to the
    copy meanwhile."""

    def __init__(self, name, values):
        build = os.path.dirname(ARGS.winerun)
        self.path = os.path.join(build, "wineprefix-" + name)
        shutil.rmtree(self.path, ignore_errors=True)
        subprocess.run(["cp", "-a", os.path.join(build, "wineprefix"), self.path], check=True, timeout=120)
        self._set_values(values)
        self._old = os.environ.get("HORALEON_WINEPREFIX")
        os.environ["HORALEON_WINEPREFIX"] = self.path
        env_script = os.path.join(SCRIPTS, "wineenv")
        self.server = subprocess.Popen(
            ["bash", "-c", 'source "$0"; exec "${WINE_GUARD[@]}" "$WINESERVER" -f -p', env_script],
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        # Warmed with every descriptor on /dev/null: Wine's service processes
        # start with the first program and keep what it inherited.
        subprocess.run([ARGS.winerun, "cmd", "/c", "exit"], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=120)

    def _set_values(self, values):
        """values: {registry key under HKCU: {value name: data as user.reg writes it}}"""
        path = os.path.join(self.path, "user.reg")
        with open(path, encoding="utf-8", errors="surrogateescape") as file:
            lines = file.read().split("\n")
        for key, named in values.items():
            header = "[" + key.replace("\\", "\\\\") + "]"
            start = next(i for i, line in enumerate(lines) if line.startswith(header + " "))
            end = next((i for i in range(start + 1, len(lines)) if lines[i].startswith("[")), len(lines))
            for name, data in named.items():
                entry = '"%s"=%s' % (name, data)
                found = [i for i in range(start + 1, end) if lines[i].startswith('"%s"=' % name)]
                if found:
                    lines[found[0]] = entry
                else:
                    lines.insert(start + 2, entry)
                    end += 1
        with open(path, "w", encoding="utf-8", errors="surrogateescape") as file:
            file.write("\n".join(lines))

    def remove(self):
        subprocess.run(["bash", "-c", 'source "$0"; "$WINESERVER" -k', os.path.join(SCRIPTS, "wineenv")],
                       stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60)
        stop_process(self.server)
        if self._old is None:
            del os.environ["HORALEON_WINEPREFIX"]
        else:
            os.environ["HORALEON_WINEPREFIX"] = self._old
        shutil.rmtree(self.path, ignore_errors=True)


def read_ini(path):
    """The keys of section "general" of an INI file, as text."""
    values, section = {}, None
    with open(path, encoding="latin-1") as file:
        for line in file.read().splitlines():
            line = line.strip()
            if line.startswith("[") and line.endswith("]"):
                section = line[1:-1].lower()
            elif "=" in line and section == "general":
                key, value = line.split("=", 1)
                values[key.strip().lower()] = value.strip()
    return values


def answered(controls):
    """Whether every control answered the probe (none was busy)."""
    return all(value is not None for control in controls.values() for value in control.values())


def wine(*args, timeout=60):
    """Runs a Windows program of the build to its end; its output as text."""
    # Files, not pipes: the first program that needs the desktop starts Wine's
    # desktop process, which keeps its descriptors as long as windows live.
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        run = subprocess.run([ARGS.winerun, *args], stdin=subprocess.DEVNULL, stdout=out, stderr=err,
                             timeout=timeout)
        out.seek(0)
        err.seek(0)
        if run.returncode != 0:
            raise AssertionError("%s failed (%d): %s" % (os.path.basename(args[0]), run.returncode,
                                                         err.read().decode("utf-8", "replace")))
        return out.read().decode("utf-8")


def probe(*args):
    return json.loads(wine(ARGS.probe, *args))


def prefix_path(*parts):
    """A file in the build's Wine prefix, found whatever the case of its folders."""
    prefix = os.environ.get("HORALEON_WINEPREFIX") or os.path.join(os.path.dirname(ARGS.winerun), "wineprefix")
    path = os.path.join(prefix, "drive_c")
    for part in parts:
        names = [name for name in os.listdir(path) if name.lower() == part.lower()] if os.path.isdir(path) else []
        path = os.path.join(path, names[0] if names else part)
    return path


def user_settings_files():
    """The per-user settings files of every user of the prefix."""
    users = prefix_path("users")
    return [path for path in glob.glob(os.path.join(users, "*", "*", "*", "Horaleon", "setting.ini"))
            if "appdata" in path.lower()]


def task_file():
    return prefix_path("windows", "system32", "tasks", AUTOSTART_NAME)


def run_value():
    """The machine-wide autostart value: its data, or None when absent."""
    value = probe("run-value", AUTOSTART_NAME)
    return value["data"] if value["present"] else None


def count(picture, dialog, control_id, matches):
    return len(matching(picture, dialog, control_id, matches))


def matching(picture, dialog, control_id, matches):
    """The points of a control, relative to it, whose colour matches, in a
    picture of the dialog."""
    width, _, pixels = picture
    left, top, right, bottom = dialog["by_id"][control_id]["rect"]
    origin_x, origin_y = dialog["rect"][:2]
    found = []
    for y in range(top - origin_y, bottom - origin_y):
        for x in range(left - origin_x, right - origin_x):
            r, g, b = pixels[(y * width + x) * 3:(y * width + x) * 3 + 3]
            if matches(r, g, b):
                found.append((x - left + origin_x, y - top + origin_y))
    return found


def extent(points):
    """Width and height of the box around points; (0, 0) for none."""
    if not points:
        return 0, 0
    xs, ys = [x for x, _ in points], [y for _, y in points]
    return max(xs) - min(xs) + 1, max(ys) - min(ys) + 1


def red(r, g, b):
    return r > 180 and g < 90 and b < 90


def green(r, g, b):
    return g > 120 and r < 110 and b < 130


def blue(r, g, b):
    return b > 150 and r < 110 and g < 170


def dark(r, g, b):
    return r < 90 and g < 90 and b < 90


def light(r, g, b):
    return r > 190 and g > 190 and b > 190


class ClockFixSession(unittest.TestCase):
    # A space in the folder: the autostart value must quote the path.
    FOLDER_PREFIX = "clockfix e2e "
    SETTINGS = ""
    PROGRAM_ARGS = ()
    SERVER_AHEAD = SERVER_AHEAD

    def setUp(self):
        self.assertEqual(user_settings_files(), [], "a per-user setting.ini is left from elsewhere")
        self.addCleanup(self.remove_user_settings)
        self.assertFalse(os.path.exists(task_file()), "a clockfix task is left from elsewhere")
        self.folder = tempfile.mkdtemp(prefix=self.FOLDER_PREFIX)
        self.addCleanup(shutil.rmtree, self.folder, ignore_errors=True)
        self.program = os.path.join(self.folder, "clockfix.exe")
        shutil.copy(ARGS.program, self.program)

        self.responder = SntpResponder(self.SERVER_AHEAD)
        self.addCleanup(self.responder.stop)
        self.ini = os.path.join(self.folder, "setting.ini")
        self.server = "127.0.0.1:%d" % self.responder.port
        with open(self.ini, "w", newline="\r\n") as file:
            file.write("[general]\nserver=%s\n%s" % (self.server, self.SETTINGS))

        # Whatever the test does to the registry is put back.
        autostart_before = run_value()
        self.addCleanup(self.restore_run_value, autostart_before)

        self.process = self.start_program(*self.PROGRAM_ARGS)
        self.addCleanup(self.stop_program)

    def start_program(self, *args):
        return subprocess.Popen([ARGS.winerun, self.program, *args], cwd=self.folder, stdin=subprocess.DEVNULL,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def stop_program(self):
        stop_process(self.process)

    @staticmethod
    def remove_user_settings():
        for path in user_settings_files():
            os.chmod(path, 0o644)
            os.remove(path)
            os.rmdir(os.path.dirname(path))

    @staticmethod
    def restore_run_value(data):
        if run_value() == data:
            return
        if data is None:
            probe("run-value", AUTOSTART_NAME, "--delete")
        else:
            probe("run-value", AUTOSTART_NAME, "--set", data)

    # Reading the program from the outside.

    def dialog(self):
        """The dialog of our process as it is now, or None."""
        mine = [window for window in probe("dialog", CAPTION)["windows"]
                if window["image"].lower() == windows_path(self.program).lower()]
        self.assertLessEqual(len(mine), 1, "more than one dialog")
        if mine:
            mine[0]["by_id"] = {control["id"]: control for control in mine[0]["controls"]}
        return mine[0] if mine else None

    def wait_until(self, what, condition):
        """Polls condition() until it gives a true value, and returns that."""
        deadline = time.monotonic() + WAIT_SECONDS
        while True:
            self.assertIsNone(self.process.poll(), "clockfix.exe ended while waiting for " + what)
            result = condition()
            if result:
                return result
            if time.monotonic() > deadline:
                self.fail("no %s within %d s" % (what, WAIT_SECONDS))
            time.sleep(POLL_SECONDS)

    def wait_for_dialog(self, what, condition):
        """The dialog once condition(controls by id) holds."""
        seen = {}

        def settled():
            dialog = self.dialog()
            seen["last"] = dialog
            return dialog if dialog and dialog["visible"] and condition(dialog["by_id"]) else None

        try:
            return self.wait_until(what, settled)
        except AssertionError as failure:
            last = seen.get("last")
            controls = json.dumps(last and last["controls"], ensure_ascii=False, indent=1)
            raise AssertionError("%s\nlast seen: %s" % (failure, controls)) from None

    def shown(self):
        return self.wait_for_dialog("dialog on the screen", lambda c: IDC_SYNC in c and answered(c))

    def wait_for_ini(self, what, expected):
        def written():
            return os.path.exists(self.ini) and read_ini(self.ini) == expected
        try:
            self.wait_until(what, written)
        except AssertionError as failure:
            with open(self.ini, encoding="latin-1") as file:
                raise AssertionError("%s\nsetting.ini:\n%s" % (failure, file.read())) from None

    def settings(self, autorun, autosync, syncspan):
        return {"server": self.server, "autorun": str(autorun), "autosync": str(autosync), "syncspan": str(syncspan)}

    def screenshot(self, name, rect):
        Screen.move_away()
        picture = Screen.grab_settled(rect)
        Screen.save_png(picture, os.path.join(ARGS.screenshots, name))
        return picture

    def assert_drawn(self, picture, dialog, rows):
        """rows: (control, colour, least, message): more than least of the
        control's points show the colour."""
        for control_id, colour, least, message in rows:
            self.assertGreater(count(picture, dialog, control_id, colour), least, message)

    def assert_refused(self, text):
        """The result panel after one synchronisation: the clock cannot be set
        here, so the refusal, with the error measured."""
        match = (NOT_SET_SLOW if self.SERVER_AHEAD > 0 else NOT_SET_FAST).fullmatch(text)
        self.assertIsNotNone(match, "unexpected result text: " + text)
        self.assertAlmostEqual(float(match.group(1)), abs(self.SERVER_AHEAD), delta=OFFSET_TOLERANCE, msg=text)
        self.assertEqual(self.responder.requests, REQUESTS_PER_SYNC, "one server's samples should have been enough")

    def sync_now(self, dialog):
        """Clicks the button; the dialog with the result."""
        Screen.click(dialog["by_id"][IDC_SYNC]["rect"])
        dialog = self.wait_for_dialog("result in the result panel", lambda c: c[IDC_CLOCK]["text"])
        self.assert_refused(dialog["by_id"][IDC_CLOCK]["text"])
        return dialog

    def wait_for_choice(self, what, condition, autorun, autosync, syncspan):
        """The dialog showing a choice of the user, and setting.ini holding it."""
        self.wait_for_dialog(what, condition)
        self.wait_for_ini(what + " in setting.ini", self.settings(autorun, autosync, syncspan))

    def start_second_copy(self):
        """Starts the program again: it hands over to the first copy and ends."""
        second = self.start_program()
        self.addCleanup(stop_process, second)
        try:
            second.wait(WAIT_SECONDS)
        except subprocess.TimeoutExpired:
            self.fail("the second copy still runs after %d s" % WAIT_SECONDS)
        self.assertEqual(second.returncode, 0)

    def wait_for_exit(self):
        # Without a window manager a top-level window takes a few seconds to go.
        deadline = time.monotonic() + WAIT_SECONDS
        while self.process.poll() is None and time.monotonic() < deadline:
            time.sleep(POLL_SECONDS)
        self.assertIsNotNone(self.process.poll(), "clockfix.exe still runs %d s after Escape" % WAIT_SECONDS)
        self.assertEqual(self.process.returncode, 0)


class PlainFolder(ClockFixSession):
    """Installed in a folder of its own and started by the user."""

    def test_a_user_session(self):
        dialog = self.shown()
        self.check_first_start(dialog)
        initial = self.screenshot("clockfix-initial.png", dialog["rect"])
        self.sync_now(dialog)
        result = self.screenshot("clockfix-result.png", dialog["rect"])
        # What only the markup engine draws: the button face from markup (the
        # green arrows of res://sync.png), the information panel's picture and
        # text, and the bold red offset in the result panel after the click.
        self.assert_drawn(initial, dialog, [(IDC_SYNC, green, 40, "the button face is not drawn from its markup"),
                                            (IDC_INFO, blue, 40, "the information panel shows no picture"),
                                            (IDC_INFO, dark, 100, "the information panel shows no text")])
        self.assertEqual(count(initial, dialog, IDC_CLOCK, red), 0,
                         "the result panel shows red before any synchronisation")
        self.assert_drawn(result, dialog, [(IDC_CLOCK, red, 20, "the offset is not drawn in red"),
                                           (IDC_CLOCK, dark, 100, "the result panel shows no text")])
        self.sync_with_enter(dialog)

        Screen.click(dialog["by_id"][IDC_AUTOSYNC]["rect"])
        self.wait_for_choice("interval list enabled by the auto-sync box",
                             lambda c: c[IDC_AUTOSYNC]["checked"] == 1 and c[IDC_SYNCSPAN]["enabled"], 0, 1, 0)
        self.choose_interval_with_keys(dialog)
        self.toggle_autostart(dialog)
        self.close_with_escape()

    def test_two_quick_clicks_start_one_synchronisation(self):
        dialog = self.shown()
        self.responder.hold_next = HOLD_SECONDS
        button = dialog["by_id"][IDC_SYNC]["rect"]
        Screen.click(button)
        Screen.click(button)
        # Pinged every 20 ms while the first reply is held back.
        stalls = {}
        pinger = threading.Thread(target=lambda: stalls.update(probe("answers", CAPTION, "3500")))
        pinger.start()
        busy = self.wait_for_dialog("busy state", lambda c: c[IDC_CLOCK]["text"] == BUSY_TEXT)
        self.assertFalse(busy["by_id"][IDC_SYNC]["enabled"], "the button is enabled while synchronising")
        pinger.join()
        print("answers while synchronising:", stalls)
        self.assertEqual(stalls.get("unanswered"), 0, stalls)
        self.assertLess(stalls["longest_ms"], LONGEST_STALL_MS, stalls)
        self.assertGreater(stalls["answered"], 5, stalls)

        dialog = self.wait_for_dialog("result after the held reply", lambda c: NOT_SET_SLOW.fullmatch(c[IDC_CLOCK]["text"] or ""))
        self.assertTrue(dialog["by_id"][IDC_SYNC]["enabled"], "the button stays disabled after the result")
        time.sleep(1)
        self.assertEqual(self.responder.requests, REQUESTS_PER_SYNC, "the second click started another synchronisation")

        # The focus is back on the button: Space synchronises again.
        Screen.key("space")
        self.wait_until("a synchronisation started with Space",
                        lambda: self.responder.requests == 2 * REQUESTS_PER_SYNC)
        self.wait_for_dialog("its result", lambda c: NOT_SET_SLOW.fullmatch(c[IDC_CLOCK]["text"] or "")
                             and c[IDC_SYNC]["enabled"])

    def check_first_start(self, dialog):
        controls = dialog["by_id"]
        self.assertEqual(dialog["class"], "#32770")
        left, top, right, bottom = dialog["rect"]
        width, height = Screen.size()
        self.assertLessEqual(abs(left + right - width), 1, "not centred across: %s" % dialog["rect"])
        self.assertLessEqual(abs(top + bottom - height), 1, "not centred down: %s" % dialog["rect"])
        self.assertEqual(controls[IDC_AUTORUN]["text"], "Windows启动后自动运行")
        self.assertEqual(controls[IDC_AUTORUN]["checked"], 0)
        self.assertEqual(controls[IDC_AUTOSYNC]["text"], "启用自动时间校准功能")
        self.assertEqual(controls[IDC_AUTOSYNC]["checked"], 0)
        self.assertEqual(controls[IDC_SYNCSPAN]["items"], INTERVALS)
        # The label right before the list in the tab order is its accessible name.
        order = [control["id"] for control in dialog["controls"]]
        self.assertEqual(dialog["controls"][order.index(IDC_SYNCSPAN) - 1]["text"], "时间间隔：")
        self.assertEqual(controls[IDC_SYNCSPAN]["selection"], 0)
        self.assertFalse(controls[IDC_SYNCSPAN]["enabled"])
        self.assertTrue(controls[IDC_SYNC]["enabled"])
        self.assertEqual(controls[IDC_CLOCK]["text"], "", "the result panel shows something before any synchronisation")
        # For readers: what the panels and the button show, without markup,
        # the heading and the sentence on lines of their own.
        self.assertRegex(controls[IDC_INFO]["text"], "^使用说明\r\n本工具是通过互联网.*才能使用校时功能！$")
        self.assertEqual(controls[IDC_SYNC]["text"], "立即校时")
        # Starting neither synchronises nor writes the settings.
        self.assertEqual(self.responder.requests, 0)
        self.assertEqual(read_ini(self.ini), {"server": self.server})

    def sync_with_enter(self, dialog):
        # The focus is on the button after the click; Enter synchronises
        # again instead of ending the program. Without a window manager the
        # keys go to the window under the pointer.
        left, _, _, bottom = dialog["rect"]
        Screen.xdotool("mousemove", left + 4, bottom - 4)
        Screen.key("Return")
        self.wait_until("a second synchronisation by Enter",
                        lambda: self.responder.requests >= 2 * REQUESTS_PER_SYNC)
        time.sleep(1)
        self.assertIsNone(self.process.poll(), "Enter ended the program")
        self.assertEqual(self.responder.requests, 2 * REQUESTS_PER_SYNC)

    def choose_interval_with_keys(self, dialog):
        # Focused by opening it with the mouse, the list is moved on with the
        # keyboard while closed: the choice is saved at once, with
        # no close-up to follow.
        box = dialog["by_id"][IDC_SYNCSPAN]["rect"]
        Screen.click(box)
        self.wait_for_dialog("interval list dropped down", lambda c: c[IDC_SYNCSPAN]["dropped"])
        # Enter on the open list only closes it.
        requests = self.responder.requests
        Screen.key("Return")
        self.wait_for_dialog("interval list closed by Enter", lambda c: c[IDC_SYNCSPAN]["dropped"] is False)
        self.assertEqual(self.responder.requests, requests, "Enter on the open list synchronised")
        Screen.key("Down")
        self.wait_for_choice("second interval chosen", lambda c: c[IDC_SYNCSPAN]["selection"] == 1
                             and c[IDC_SYNCSPAN]["dropped"] is False, 0, 1, 1)

    def toggle_autostart(self, dialog):
        # Every program in the prefix runs elevated: a logon task, and no Run
        # value, which Windows would not start at logon.
        self.addCleanup(lambda: os.path.exists(task_file()) and os.remove(task_file()))
        probe("run-value", AUTOSTART_NAME, "--set", '"C:\\old\\clockfix.exe"')
        box = dialog["by_id"][IDC_AUTORUN]["rect"]
        Screen.click(box)
        self.wait_until("logon task registered", lambda: os.path.exists(task_file()))
        self.wait_for_choice("autostart box checked", lambda c: c[IDC_AUTORUN]["checked"] == 1, 1, 1, 1)
        self.assertIsNone(run_value(), "the Run value stayed beside the task")

        Screen.click(box)
        self.wait_until("logon task deleted", lambda: not os.path.exists(task_file()))
        self.wait_for_choice("autostart box clear", lambda c: c[IDC_AUTORUN]["checked"] == 0, 0, 1, 1)

    def close_with_escape(self):
        with open(self.ini, "rb") as file:
            settings = file.read()
        Screen.key("Escape")
        self.wait_for_exit()
        with open(self.ini, "rb") as file:
            self.assertEqual(file.read(), settings, "closing the dialog changed setting.ini")

    # Settings that stick.

    def test_a_read_only_file_keeps_changes_through_the_per_user_file(self):
        os.chmod(self.ini, 0o444)
        dialog = self.shown()
        Screen.click(dialog["by_id"][IDC_AUTOSYNC]["rect"])
        self.wait_for_dialog("auto-sync box checked", lambda c: c[IDC_AUTOSYNC]["checked"] == 1)
        self.wait_until("per-user setting.ini", user_settings_files)
        self.assertEqual(read_ini(user_settings_files()[0]), self.settings(autorun=0, autosync=1, syncspan=0))
        self.assertEqual(read_ini(self.ini), {"server": self.server})

        Screen.key("Escape")
        self.wait_for_exit()
        self.process = self.start_program()
        self.wait_for_dialog("auto-sync still on after a restart",
                             lambda c: answered(c) and c[IDC_AUTOSYNC]["checked"] == 1 and c[IDC_SYNCSPAN]["enabled"])


class KoreanFolder(ClockFixSession):
    """Installed in a folder named outside the ANSI code page (936)."""

    FOLDER_PREFIX = "시계 프로그램 "
    SETTINGS = "autosync=1\nsyncspan=2\n"

    def test_a_user_session(self):
        dialog = self.wait_for_dialog("settings read", lambda c: answered(c) and c[IDC_AUTOSYNC]["checked"] == 1)
        self.assertEqual(dialog["by_id"][IDC_SYNCSPAN]["selection"], 2)
        # The server key counts too.
        self.sync_now(dialog)


class StartAtLogon(ClockFixSession):
    """Started by the logon task, with automatic synchronisation on."""

    SETTINGS = "autosync=1\nsyncspan=0\n"
    PROGRAM_ARGS = ("/autostart",)

    def test_a_user_session(self):
        dialog = self.wait_for_dialog("the result of a synchronisation at start",
                                      lambda c: answered(c) and c[IDC_CLOCK]["text"])
        self.assertTrue(dialog["iconic"], "not minimised")
        self.assertFalse(dialog["foreground"], "took the focus")
        self.assert_refused(dialog["by_id"][IDC_CLOCK]["text"])

        # A second start leaves one window: the first copy, restored and in front.
        self.start_second_copy()
        self.wait_until("the first copy restored and in front",
                        lambda: (shown := self.dialog()) and not shown["iconic"] and shown["foreground"])


class OtherPrefix(ClockFixSession):
    """The program in a copy of the prefix whose user registry has VALUES."""

    VALUES = {}
    NAME = ""

    @classmethod
    def setUpClass(cls):
        cls.prefix = PrefixCopy(cls.NAME, cls.VALUES)

    @classmethod
    def tearDownClass(cls):
        cls.prefix.remove()


class DarkScheme(OtherPrefix):
    """A dark colour scheme: light text on a dark button face."""

    NAME = "dark"
    VALUES = {"Control Panel\\Colors": {"ButtonFace": '"32 32 32"', "ButtonText": '"235 235 235"',
                                         "Window": '"20 20 20"', "WindowText": '"235 235 235"'}}

    def test_a_user_session(self):
        dialog = self.sync_now(self.shown())
        picture = self.screenshot("clockfix-dark.png", dialog["rect"])
        self.assert_drawn(picture, dialog, [(control_id, light, 60, "no light text in control %d" % control_id)
                                            for control_id in (IDC_INFO, IDC_CLOCK, IDC_SYNC)]
                          + [(IDC_CLOCK, red, 20, "the offset is not red")])
        black = lambda r, g, b: r < 16 and g < 16 and b < 16
        self.assertLess(count(picture, dialog, IDC_INFO, black), 10, "black text on the dark face")


class HighDpi(OtherPrefix):
    """144 DPI, and a clock 39 years fast: a ten-digit offset."""

    NAME = "144dpi"
    VALUES = {"Control Panel\\Desktop": {"LogPixels": "dword:00000090"}}
    SERVER_AHEAD = -1234567890.0

    def test_a_user_session(self):
        dialog = self.shown()
        panel_height = dialog["by_id"][IDC_CLOCK]["rect"][3] - dialog["by_id"][IDC_CLOCK]["rect"][1]
        picture = self.screenshot("clockfix-144dpi-initial.png", dialog["rect"])
        # At 96 DPI pictures are 24 and 32 pixels and the heading's glyphs
        # less than 17 pixels high.
        self.assertGreater(extent(matching(picture, dialog, IDC_INFO, blue))[1], 26, "the picture is not larger")
        self.assertGreater(extent(matching(picture, dialog, IDC_SYNC, green))[1], 34, "the picture is not larger")
        heading = [(x, y) for x, y in matching(picture, dialog, IDC_INFO, dark) if y < 36]
        self.assertGreater(extent(heading)[1], 18, "the heading's text is not larger")

        dialog = self.sync_now(dialog)
        picture = self.screenshot("clockfix-144dpi.png", dialog["rect"])

        # The panel grew for a second line, which holds the end of the text:
        # "秒！" right of nothing but the panel's own room.
        left, top, right, bottom = dialog["by_id"][IDC_CLOCK]["rect"]
        self.assertGreater(bottom - top, panel_height, "the result panel did not grow")
        text = matching(picture, dialog, IDC_CLOCK, dark)
        second_line = [(x, y) for x, y in text if y > (bottom - top) // 2 + 2]
        self.assertGreater(len(second_line), 40, "nothing on the second line")
        self.assertGreater(count(picture, dialog, IDC_CLOCK, red), 40, "the offset is not red")
        separator_top = min(control["rect"][1] for control in dialog["controls"]
                            if control["rect"][1] > top and control["id"] not in (IDC_CLOCK,))
        self.assertLessEqual(bottom, separator_top, "the panel covers the controls below")


def main():
    global ARGS
    ARGS, rest = parse_paths(__doc__.splitlines()[0], [("program", "clockfix.exe"), ("probe", "window_probe.exe")])
    return run_tests("clockfix_e2e", rest)


if __name__ == "__main__":
    sys.exit(main())
