"""What the end-to-end tests of the universal program share: Windows programs started and stopped
inside the test prefix (tools/wine_run.sh --driver sets WINE), waits for conditions with generous
deadlines, real key presses through xdotool, and the program set up in a folder of its own with a
private data folder (hook_probe hold-app-data points the session's application-data folder at it
meanwhile)."""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

WINE = os.environ["WINE"]
DEADLINE = 120  # seconds for any one condition; a 2-core CI machine under load is slow

MAIN_WINDOW = "QorvaUniversalModeWindow"
PROGRAM_NAME = "qorva_universal.exe"
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


class ProgramFolder:
    """qorva_universal.exe copied into a folder of its own with a lexicon beside it (the probe's
    small one, or a copy of `lexicon`), and a data folder holding `settings`."""

    def __init__(self, universal, probe, folder, settings, lexicon=None):
        self.probe = probe
        self.folder = folder
        self.app_data = os.path.join(folder, "appdata")
        self.data = os.path.join(self.app_data, "Pelorin")
        self.program = os.path.join(folder, "program", PROGRAM_NAME)
        os.makedirs(self.data)
        os.makedirs(os.path.join(folder, "program", "data"))
        shutil.copyfile(universal, self.program)
        with open(os.path.join(self.data, "settings.json"), "w") as f:
            f.write(settings)
        self.lexicon = os.path.join(folder, "program", "data", "lexicon.bin")
        if lexicon:
            shutil.copyfile(lexicon, self.lexicon)
        else:
            assert run(probe, "write-lexicon", windows_path(self.lexicon)) == 0

    def rows(self, word, before=()):
        """The rows the candidate window shows for `word` with a fresh engine on the lexicon,
        after the (typed, chosen) words `before` were committed."""
        rows_file = os.path.join(self.folder, "rows.txt")
        choices = ["%s=%s" % choice for choice in before]
        assert run(self.probe, "rows", windows_path(self.lexicon), word, windows_path(rows_file),
                   *choices) == 0
        return read_text(rows_file).splitlines()

    def log(self):
        return read_text(os.path.join(self.data, "universal.log")) or ""

    def wait_for_log(self, line, count=1):
        wait_until(lambda: self.log().count(line) >= count, "log line " + repr(line))

    def hold_app_data(self, processes):
        """Points the session's application-data folder here until `release_app_data`."""
        holder = processes.start(self.probe, "hold-app-data", windows_path(self.app_data))
        wait_until(lambda: os.path.exists(os.path.join(self.app_data, "held")), "the data folder")
        return holder

    def release_app_data(self, holder):
        with open(os.path.join(self.app_data, "release"), "w"):
            pass
        holder.wait(timeout=DEADLINE)


def run_cases(prefix, cases, extra_options=()):
    """The entry point of a test script: reads --universal, --probe and `extra_options`, runs
    `cases(options, folder, processes)` in a fresh folder and stops every process it started.
    Exit status 0 when every case passed."""
    parser = argparse.ArgumentParser()
    parser.add_argument("--universal", required=True)
    parser.add_argument("--probe", required=True)
    for option in extra_options:
        parser.add_argument(option, required=True)
    options = parser.parse_args()
    folder = tempfile.mkdtemp(prefix=prefix)
    processes = Processes()
    try:
        cases(options, folder, processes)
    except AssertionError as error:
        print("FAILED:", error, file=sys.stderr)
        return 1
    finally:
        processes.stop_all()
        shutil.rmtree(folder, ignore_errors=True)
    print("all cases passed")
    return 0
