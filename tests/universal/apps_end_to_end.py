#!/usr/bin/env python3
"""End to end in applications nobody here wrote: the real qorva_universal.exe types Bangla into
Wine's own Notepad (an Edit control) and WordPad (a rich edit), as a user does. The application is
started, clicked into, and words are typed with real key presses (xdotool, so the program's
keyboard hook sees them as hardware input) 30 to 100 ms apart: words in a row, a Backspace
correction inside a word, a row chosen by its number, Escape and Enter keeping the Latin letters,
and full stops. The application's whole text is then read through WM_GETTEXT and compared exactly:
a letter lost, or an erase of text the program did not type, fails the run.

It runs twice: with the probe's small lexicon in both applications, and with the shipped
lexicon.bin in Notepad.

Run by ctest inside the test prefix's display through `tools/wine_run.sh --driver`:

    apps_end_to_end.py --universal qorva_universal.exe --probe hook_probe.exe \
        --shipped-lexicon lexicon.bin
"""

import os
import random
import sys
import time

from wine_driver import (MAIN_WINDOW, STARTED, STOPPED, ProgramFolder, read_text, run, run_cases,
                         wait_until, windows_path, xdotool)

DANDA = "\u0964"
# Nothing here reaches the network and no start leaves a Run value in the test prefix; next-word
# predictions stay on, as a user has them.
SETTINGS = (
    '{\n  "auto_check_update": false,\n  "english_translation": false,\n'
    '  "launch_startup": false,\n  "input_mode": "automatic"\n}\n'
)
# The applications and the class of their main window.
APPLICATIONS = [
    ("notepad.exe", "Notepad"),
    ("C:\\Program Files\\Windows NT\\Accessories\\wordpad.exe", "WORDPADTOP"),
]
KEY_NAMES = {" ": "space", ".": "period", "\b": "BackSpace", "\x1b": "Escape", "\n": "Return"}
FASTEST, SLOWEST = 0.03, 0.10  # seconds between two keys


# What is typed, key by key, and what each part leaves in the document: a word chosen from its
# candidate rows (the word's key, the row, what follows it) or text typed as it is.
STEPS = [
    ("ami ", ("ami", 0, " ")),
    ("bhalo ", ("bhalo", 0, " ")),
    ("tumx\bi ", ("tumi", 0, " ")),  # a slip put right inside the word
    ("ami2", ("ami", 1, " ")),  # the second row, chosen by its number
    ("kemon\x1b ", "kemon "),  # Escape keeps the Latin letters
    ("achi\n", "achi\r\n"),  # so does Enter
    ("ami.", ("ami", 0, DANDA)),
    (".", DANDA),  # a full stop on its own
]


def expected_text(program):
    """The document after STEPS, each word's rows ranked after the words chosen before it, as the
    program's engine ranks them."""
    chosen = []
    text = ""
    for _, outcome in STEPS:
        if isinstance(outcome, str):
            text += outcome
            continue
        word, row, boundary = outcome
        pick = program.rows(word, chosen)[row]
        chosen.append((word, pick))
        text += pick + boundary
    return text


class ApplicationsTest:
    def __init__(self, universal, probe, folder, processes, lexicon=None):
        self.probe = probe
        self.folder = folder
        self.processes = processes
        self.program = ProgramFolder(universal, probe, folder, SETTINGS, lexicon)
        self.pace = random.Random(35)

    def text_of(self, window_class):
        out = os.path.join(self.folder, "text.txt")
        if os.path.exists(out):
            os.remove(out)
        if run(self.probe, "text-of", window_class, windows_path(out)) != 0:
            return None
        return read_text(out)

    def text_point(self, window_class):
        point_file = os.path.join(self.folder, "point.txt")
        if run(self.probe, "text-point", window_class, windows_path(point_file)) != 0:
            return None
        return read_text(point_file).split()

    def click_into(self, window_class):
        """Clicks into the application's text control, as a user would, once the window has
        settled (WordPad lays out its toolbars after its document is made: a click a moment too
        early lands on its Save button) and until the control has the keyboard focus."""

        def clicked_and_focused():
            point = self.text_point(window_class)
            time.sleep(0.5)
            if point is None or self.text_point(window_class) != point:
                return False
            xdotool("mousemove", *point)
            xdotool("click", "1")
            time.sleep(0.5)
            return run(self.probe, "has-focus", window_class) == 0

        wait_until(clicked_and_focused, "the keyboard focus in " + window_class)

    def type_keys(self, keys):
        for key in keys:
            xdotool("key", KEY_NAMES.get(key, key))
            time.sleep(self.pace.uniform(FASTEST, SLOWEST))

    def type_into(self, application, window_class, expected):
        app = self.processes.start(application)
        try:
            self.click_into(window_class)
            wait_until(lambda: self.text_of(window_class) == "", "an empty document")
            self.type_keys("".join(keys for keys, _ in STEPS))
            try:
                wait_until(lambda: self.text_of(window_class) == expected, "the typed text",
                           deadline=30)
            except AssertionError:
                raise AssertionError("%s: expected %r, it holds %r"
                                     % (application, expected, self.text_of(window_class)))
        finally:
            self.processes.stop(app)
        print("ok: %s holds %r" % (application, expected))

    def run(self, applications):
        expected = expected_text(self.program)
        holder = self.program.hold_app_data(self.processes)
        try:
            universal = self.processes.start(self.program.program)
            self.program.wait_for_log(STARTED)
            xdotool("key", "F12")
            self.program.wait_for_log("hotkey: bangla mode")
            for application, window_class in applications:
                self.type_into(application, window_class, expected)
            assert run(self.probe, "close-window", MAIN_WINDOW) == 0
            self.program.wait_for_log(STOPPED)
            universal.wait(timeout=60)
            timings = [line for line in self.program.log().splitlines() if "keyboard hook:" in line]
            print(timings[-1] if timings else "no hook timings logged")
        finally:
            self.program.release_app_data(holder)


def cases(options, folder, processes):
    small = os.path.join(folder, "small")
    ApplicationsTest(options.universal, options.probe, small, processes).run(APPLICATIONS)
    # With the shipped lexicon some rows hold text that Wine's Bengali shaping never finishes
    # drawing: typing goes on all the same, since the candidate window draws on its own thread.
    shipped = os.path.join(folder, "shipped")
    ApplicationsTest(options.universal, options.probe, shipped, processes,
                     options.shipped_lexicon).run(APPLICATIONS[:1])


if __name__ == "__main__":
    sys.exit(run_cases("qorva_apps_", cases, ["--shipped-lexicon"]))
