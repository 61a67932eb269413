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

import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

WINE = os.environ["WINE"]
DEADLINE = 120  # seconds for any one condition; a 2-core CI machine under load is slow

AMI = "\u0986\u09ae\u09bf"  # আমি
DANDA = "\u0964"
# Nothing in these settings reaches the network; predictions would put a list on screen after
# every commit; no start leaves a Run value in the test prefix.
SETTINGS = (
    '{\n  "auto_check_update": false,\n  "english_translation": false,\n'
    '  "word_prediction": false,\n  "launch_startup": false,\n  "input_mode": "automatic"\n}\n'
)
MAIN_WINDOW = "QorvaUniversalModeWindow"
PROGRAM_NAME = "qorva_universal.exe"
HOTKEY_TRAY_MESSAGE = 0x8001
WM_RBUTTONUP = 0x205
VK_UP = 0x26
VK_RETURN = 0x0D
STARTED = "universal host started (hook=ok)"
STOPPED = "universal host stopped"


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def read_text(path):
    try:
        with open(path, "rb") as f:
            return f.read().decode("utf-8", errors="replace")
    except OSError:
        return None


def wait_until(condition, what, deadline=DEADLINE):
    end = time.monotonic() + deadline
    while time.monotonic() < end:
        if condition():
            return
        time.sleep(0.05)
    raise AssertionError("timed out waiting for " + what)


class Processes:
    """Windows programs started in the background, stopped by id when the run ends."""

    def __init__(self):
        self.running = []

    def start(self, *args):
        process = subprocess.Popen([WINE, *args], stdin=subprocess.DEVNULL)
        self.running.append(process)
        return process

    def stop(self, process):
        if process.poll() is None:
            process.kill()
        process.wait(timeout=DEADLINE)

    def stop_all(self):
        for process in self.running:
            self.stop(process)


def run(*args):
    """A Windows program run to its end; its exit status."""
    return subprocess.run([WINE, *args], stdin=subprocess.DEVNULL, timeout=DEADLINE).returncode


def xdotool(*args):
    subprocess.run(["xdotool", *args], check=True, timeout=DEADLINE)


class HookTest:
    def __init__(self, universal, probe, folder, processes):
        self.probe = probe
        self.folder = folder
        self.processes = processes
        self.app_data = os.path.join(folder, "appdata")
        self.data = os.path.join(self.app_data, "Pelorin")
        self.program = os.path.join(folder, "program", "qorva_universal.exe")
        os.makedirs(self.data)
        os.makedirs(os.path.join(folder, "program", "data"))
        shutil.copyfile(universal, self.program)
        with open(os.path.join(self.data, "settings.json"), "w") as f:
            f.write(SETTINGS)
        self.lexicon = os.path.join(folder, "program", "data", "lexicon.bin")
        self.cases = 0

    def log(self):
        return read_text(os.path.join(self.data, "universal.log")) or ""

    def wait_for_log(self, line, count=1):
        wait_until(lambda: self.log().count(line) >= count, "log line " + repr(line))

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
        assert run(self.probe, "write-lexicon", windows_path(self.lexicon)) == 0
        rows_file = os.path.join(self.folder, "rows.txt")
        assert run(self.probe, "rows", windows_path(self.lexicon), "ami", windows_path(rows_file)) == 0
        rows = read_text(rows_file).splitlines()
        assert rows[0] == AMI and len(rows) >= 3, rows

        holder = self.processes.start(self.probe, "hold-app-data", windows_path(self.app_data))
        wait_until(lambda: os.path.exists(os.path.join(self.app_data, "held")), "the data folder")
        try:
            self.run_program(rows)
        finally:
            with open(os.path.join(self.app_data, "release"), "w"):
                pass
            holder.wait(timeout=DEADLINE)

    def run_program(self, rows):
        universal = self.processes.start(self.program)
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

        universal = self.processes.start(self.program)
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


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--universal", required=True)
    parser.add_argument("--probe", required=True)
    options = parser.parse_args()
    folder = tempfile.mkdtemp(prefix="qorva_hook_")
    processes = Processes()
    try:
        HookTest(options.universal, options.probe, folder, processes).run()
    except AssertionError as error:
        print("FAILED:", error, file=sys.stderr)
        return 1
    finally:
        processes.stop_all()
        shutil.rmtree(folder, ignore_errors=True)
    print("all cases passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
