#!/usr/bin/env python3
"""End to end: the real qorva_universal.exe types Bangla into another program's Edit control,
pauses on Ctrl+Alt+L, keeps what it learned through a kill -9, and restarts from its tray menu.

Run by ctest inside the test prefix's display through `tools/wine_run.sh --driver`:

    hook_end_to_end.py --universal qorva_universal.exe --probe hook_probe.exe

Keys are typed with xdotool, so they reach the program's low-level keyboard hook as hardware
input. The program runs from a folder of its own with a small lexicon in its data folder, and the
session's application-data folder points at a fresh folder meanwhile (hook_probe hold-app-data).
Every wait is for a condition (a log line, a file's content, a process's end) with a generous
deadline, so a slow machine is only slower. Every process started here is stopped by its id.
"""

import os
import sys

from wine_driver import (DEADLINE, MAIN_WINDOW, PROGRAM_NAME, STARTED, STOPPED, ProgramFolder,
                         read_text, run, run_cases, wait_until, windows_path, xdotool)

AMI = "\u0986\u09ae\u09bf"  # আমি
DANDA = "\u0964"
# Nothing in these settings reaches the network; predictions would put a list on screen after
# every commit; no start leaves a Run value in the test prefix.
SETTINGS = (
    '{\n  "auto_check_update": false,\n  "english_translation": false,\n'
    '  "word_prediction": false,\n  "launch_startup": false,\n  "input_mode": "automatic"\n}\n'
)
HOTKEY_TRAY_MESSAGE = 0x8001
WM_RBUTTONUP = 0x205
VK_UP = 0x26
VK_RETURN = 0x0D


class HookTest:
    def __init__(self, universal, probe, folder, processes):
        self.probe = probe
        self.folder = folder
        self.processes = processes
        self.program = ProgramFolder(universal, probe, folder, SETTINGS)
        self.data = self.program.data
        self.cases = 0

    def log(self):
        return self.program.log()

    def wait_for_log(self, line, count=1):
        self.program.wait_for_log(line, count)

    def running_copies(self):
        return run(self.probe, "count-processes", PROGRAM_NAME)

    def type_into_new_window(self, keys, expected, inject=None):
        """Starts the test window last, types `keys` (xdotool arguments) and waits for `expected`."""
        self.cases += 1
        out = os.path.join(self.folder, "case%d.txt" % self.cases)
        args = [self.probe, "edit", windows_path(out)]
        if inject:
            args += ["--inject", inject]
        window = self.processes.start(*args)
        wait_until(lambda: os.path.exists(out + ".ready"), "the test window's focus")
        for key_args in keys:
            xdotool(*key_args)
        try:
            wait_until(lambda: read_text(out) == expected, "the text " + repr(expected))
        except AssertionError:
            raise AssertionError(
                "case %d: expected %r, the Edit holds %r" % (self.cases, expected, read_text(out)))
        finally:
            self.processes.stop(window)
        print("ok: %r" % expected)

    def run(self):
        rows = self.program.rows("ami")
        assert rows[0] == AMI and len(rows) >= 3, rows
        holder = self.program.hold_app_data(self.processes)
        try:
            self.run_program(rows)
        finally:
            self.program.release_app_data(holder)

    def run_program(self, rows):
        universal = self.processes.start(self.program.program)
        self.wait_for_log(STARTED)

        xdotool("key", "F12")
        self.wait_for_log("hotkey: bangla mode")
        assert run(self.probe, "mode") == 0, "the shared mode is Bangla"

        self.type_into_new_window([("type", "ami"), ("key", "space")], AMI + " ")
        self.type_into_new_window([("type", "ami"), ("key", "Escape"), ("key", "space")], "ami ")
        self.type_into_new_window([("key", "period")], DANDA)
        self.type_into_new_window([("type", "ami"), ("key", "Return")], "ami\r\n")
        self.type_into_new_window([("type", "ami"), ("key", "2")], rows[1] + " ")
        # The program's own hook lets injected keys pass, whoever injects them.
        self.type_into_new_window([], "ami ", inject="ami ")

        # The hook lets Ctrl+Alt+L through to the program's registered hot key.
        xdotool("key", "ctrl+alt+l")
        self.wait_for_log("hotkey: paused")
        self.type_into_new_window([("type", "ami"), ("key", "space")], "ami ")
        xdotool("key", "ctrl+alt+l")
        self.wait_for_log("hotkey: resumed")

        universal = self.learning_survives_a_kill(universal, rows)
        self.restart_from_tray_menu(universal)

    def learning_survives_a_kill(self, universal, rows):
        """A word and a word pair just typed reach the data folder within seconds, while the program
        runs: killed (kill -9, no orderly end), it has lost nothing. Returns a new running copy."""
        self.type_into_new_window(
            [("type", "ami"), ("key", "space"), ("type", "ami"), ("key", "2")],
            AMI + " " + rows[1] + " ")
        user_dict = os.path.join(self.data, "user_dict.txt")
        pairs = os.path.join(self.data, "user_bigrams.tsv")
        word_line = "ami\t" + rows[1] + "\t"
        pair_line = AMI + "\t" + rows[1] + "\t"
        wait_until(lambda: word_line in (read_text(user_dict) or ""), "the word in user_dict.txt")
        wait_until(lambda: pair_line in (read_text(pairs) or ""), "the pair in user_bigrams.tsv")
        universal.kill()
        universal.wait(timeout=DEADLINE)
        wait_until(lambda: self.running_copies() == 0, "no running copy after the kill")
        assert STOPPED not in self.log(), "the program ended without its orderly shut-down"
        assert word_line in read_text(user_dict), read_text(user_dict)
        assert pair_line in read_text(pairs), read_text(pairs)
        print("ok: what was learned survived a kill")

        universal = self.processes.start(self.program.program)
        self.wait_for_log(STARTED, count=2)
        return universal

    def restart_from_tray_menu(self, universal):
        """Restart, the second entry from the end of the hot-key icon's menu, chosen by keys."""
        assert run(self.probe, "post", MAIN_WINDOW, str(HOTKEY_TRAY_MESSAGE), str(WM_RBUTTONUP)) == 0
        assert run(self.probe, "menu-keys", MAIN_WINDOW, str(VK_UP), str(VK_UP), str(VK_RETURN)) == 0
        assert universal.wait(timeout=DEADLINE) == 0, "exit code"
        # The old copy saved what it learned and let go of everything before the new one started.
        user_dict = read_text(os.path.join(self.data, "user_dict.txt")) or ""
        assert ("ami\t" + AMI + "\t") in user_dict, user_dict
        self.wait_for_log(STARTED, count=3)
        log = self.log()
        assert log.index(STOPPED) < log.rindex(STARTED), log
        wait_until(lambda: self.running_copies() == 1, "one running copy")
        print("ok: restarted from the tray menu")

        assert run(self.probe, "close-window", MAIN_WINDOW) == 0
        self.wait_for_log(STOPPED, count=2)
        wait_until(lambda: self.running_copies() == 0, "no running copy")


def cases(options, folder, processes):
    HookTest(options.universal, options.probe, folder, processes).run()


if __name__ == "__main__":
    sys.exit(run_cases("qorva_hook_", cases))
