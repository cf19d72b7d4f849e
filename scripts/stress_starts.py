#!/usr/bin/env python3
"""Starts and ends the game N times in a row on a private Xvfb display, checking every start.

Each start must show the menu (its red labels read back from the X server) and end with
status 27 when Esc is pressed. At the end it reports the failures and the spread of start
times, from launch to the first menu frame on screen. Not a test: CI keeps its short stress.

  scripts/stress_starts.py linux -n 1000           build/release/tavorin
  scripts/stress_starts.py wine -n 200             build/windows/tavorin.exe under wine64
  scripts/stress_starts.py wine-no-d3dx -n 200     the same with Wine's d3dx9_43 turned off
  scripts/stress_starts.py chromium -n 100         build/web/web/ as page loads, each in a
                                                   fresh tab, Esc putting the status in the title
  scripts/stress_starts.py firefox -n 100          the same, each load a fresh Firefox

Run it niced on a shared machine: nice -n 10 scripts/stress_starts.py linux -n 1000.
"""

import argparse
import ctypes
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
WINE = "/usr/lib/wine/wine64"
WINESERVER = "/usr/lib/wine/wineserver"

# --- The X server, read through Xlib: fast enough to poll every few milliseconds. ---------

_x11 = ctypes.cdll.LoadLibrary("libX11.so.6")


class _XImage(ctypes.Structure):
    _fields_ = [
        ("width", ctypes.c_int),
        ("height", ctypes.c_int),
        ("xoffset", ctypes.c_int),
        ("format", ctypes.c_int),
        ("data", ctypes.POINTER(ctypes.c_char)),
        ("byte_order", ctypes.c_int),
        ("bitmap_unit", ctypes.c_int),
        ("bitmap_bit_order", ctypes.c_int),
        ("bitmap_pad", ctypes.c_int),
        ("depth", ctypes.c_int),
        ("bytes_per_line", ctypes.c_int),
        ("bits_per_pixel", ctypes.c_int),
    ]


class _XWindowAttributes(ctypes.Structure):
    _fields_ = [
        ("x", ctypes.c_int),
        ("y", ctypes.c_int),
        ("width", ctypes.c_int),
        ("height", ctypes.c_int),
        ("border_width", ctypes.c_int),
        ("depth", ctypes.c_int),
        ("rest", ctypes.c_char * 256),  # what follows is not read
    ]


_ERROR_HANDLER = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)
_x11.XOpenDisplay.restype = ctypes.c_void_p
_x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
_x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
_x11.XGetImage.restype = ctypes.POINTER(_XImage)
_x11.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                           ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
_x11.XGetWindowAttributes.argtypes = [ctypes.c_void_p, ctypes.c_ulong,
                                      ctypes.POINTER(_XWindowAttributes)]
_x11.XFree.argtypes = [ctypes.c_void_p]
_x11.XDefaultRootWindow.restype = ctypes.c_ulong
_x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
_x11.XQueryTree.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong),
                            ctypes.POINTER(ctypes.c_ulong),
                            ctypes.POINTER(ctypes.POINTER(ctypes.c_ulong)),
                            ctypes.POINTER(ctypes.c_uint)]
_x11.XFetchName.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_void_p)]
_x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
# A window that goes while it is read is no reason to end the script.
_ignore_errors = _ERROR_HANDLER(lambda display, event: 0)
_x11.XSetErrorHandler(_ignore_errors)

# Red as the tests see it: red above 150, green and blue below 90; pixels are B, G, R, X.
_BELOW_90 = bytes(1 if v < 90 else 0 for v in range(256))
_ABOVE_150 = bytes(1 if v > 150 else 0 for v in range(256))
_ONE = re.compile(b"\x01")


class XConnection:
    def __init__(self, display):
        self.handle = _x11.XOpenDisplay(display.encode())
        if not self.handle:
            raise RuntimeError("cannot open display " + display)

    def close(self):
        _x11.XCloseDisplay(self.handle)

    def named_windows(self, pattern):
        """The top-level windows whose name matches the regular expression, mapped or not:
        read here rather than through xdotool, whose every search takes some 30 ms."""
        root, parent = ctypes.c_ulong(), ctypes.c_ulong()
        children = ctypes.POINTER(ctypes.c_ulong)()
        count = ctypes.c_uint()
        if not _x11.XQueryTree(self.handle, _x11.XDefaultRootWindow(self.handle),
                               ctypes.byref(root), ctypes.byref(parent), ctypes.byref(children),
                               ctypes.byref(count)):
            return []
        found = []
        try:
            for i in range(count.value):
                name = ctypes.c_void_p()
                if _x11.XFetchName(self.handle, children[i], ctypes.byref(name)) and name.value:
                    text = ctypes.string_at(name.value).decode(errors="replace")
                    _x11.XFree(name)
                    if re.search(pattern, text):
                        found.append(children[i])
        finally:
            if children:
                _x11.XFree(ctypes.cast(children, ctypes.c_void_p))
        return found

    def pixels(self, window):
        """The window's pixels as (bytes B, G, R, X, width, height, stride), or None."""
        attributes = _XWindowAttributes()
        if not _x11.XGetWindowAttributes(self.handle, window, ctypes.byref(attributes)):
            return None
        width, height = attributes.width, attributes.height
        image = _x11.XGetImage(self.handle, window, 0, 0, width, height, 0xFFFFFFFF, 2)
        _x11.XSync(self.handle, 0)
        if not image:
            return None
        try:
            img = image.contents
            if img.bits_per_pixel != 32:
                return None
            return (ctypes.string_at(img.data, img.bytes_per_line * img.height), width, height,
                    img.bytes_per_line)
        finally:
            # What XDestroyImage, a macro, does: the pixels, then the structure.
            _x11.XFree(ctypes.cast(img.data, ctypes.c_void_p))
            _x11.XFree(image)

    def red_columns(self, window, grabbed=None):
        """The x of every red pixel of the window by row, or None; from `grabbed` (what
        pixels() gave) where the caller has the pixels already."""
        grabbed = grabbed or self.pixels(window)
        if not grabbed:
            return None
        data, width, height, stride = grabbed
        # One byte a pixel, 1 where red: each channel's test is a byte table, and the three
        # are ANDed as big integers (far faster than a loop over pixels in Python).
        tests = (_BELOW_90, _BELOW_90, _ABOVE_150)  # blue, green, red
        red = -1
        for channel, test in enumerate(tests):
            red &= int.from_bytes(data[channel::4].translate(test), "big")
        pixels = red.to_bytes(len(data) // 4, "big")
        row_pixels = stride // 4
        rows = {}
        for y in range(height):
            row = pixels[y * row_pixels:y * row_pixels + width]
            if 1 in row:
                rows[y] = [m.start() for m in _ONE.finditer(row)]
        return rows


def shows_menu(red):
    """Three red labels in one band, Start, Tutorial and Quit from left to right: at 300,
    550 and 950 of the back buffer, each some hundred pixels or more, 40 rows high. Red
    elsewhere in a browser's window (a tab's icon) is not looked at."""
    if not red:
        return False
    most = max(red, key=lambda y: len(red[y]))
    xs = [x for y, row in red.items() if abs(y - most) <= 40 for x in row]
    if len(xs) < 600:
        return False
    left = min(xs)
    thirds = [0, 0, 0]
    for x in xs:
        at = x - left
        thirds[0 if at < 250 else 1 if at < 650 else 2] += 1
    return all(count > 150 for count in thirds)


# --- Processes and the display -----------------------------------------------------------


def run(command, env=None, timeout=10):
    result = subprocess.run(command, env=env, stdout=subprocess.PIPE,
                            stderr=subprocess.DEVNULL, timeout=timeout, check=False)
    return result.stdout.decode(errors="replace")


class Display:
    def __init__(self):
        read, write = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write), "-screen", "0", "1600x1000x24", "+extension",
             "GLX", "-nolisten", "tcp"], pass_fds=(write,), stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL)
        os.close(write)
        number = b""
        while not number.endswith(b"\n"):
            chunk = os.read(read, 16)
            if not chunk:
                raise RuntimeError("Xvfb did not start")
            number += chunk
        os.close(read)
        self.name = ":" + number.decode().strip()
        self.env = dict(os.environ, DISPLAY=self.name)
        self.x = XConnection(self.name)

    def close(self):
        self.x.close()
        self.xvfb.terminate()
        self.xvfb.wait()

    def windows(self, pattern):
        out = run(["xdotool", "search", "--onlyvisible", "--name", pattern], env=self.env)
        return [int(w) for w in out.split()]

    def key(self, window, key):
        run(["xdotool", "windowfocus", "--sync", str(window), "key", key], env=self.env)

    def save(self, window, path):
        run(["import", "-window", str(window), path], env=self.env, timeout=30)


def wait_for(what, timeout, poll=0.005):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        found = what()
        if found:
            return found
        time.sleep(poll)
    return None


def end_process(process):
    # The whole session (a browser's helpers), but only while it runs: a game that ended
    # may have left Wine's server in it for the next start.
    if process.poll() is not None:
        return
    try:
        os.killpg(process.pid, signal.SIGKILL)
    except ProcessLookupError:
        pass
    process.wait()


# --- One start of each kind: returns (seconds to the menu, None) or (None, what failed). --


class DesktopGame:
    """The game as a process of its own: Linux, or the Windows build under Wine."""

    def __init__(self, display, work, args):
        self.display = display
        self.work = work
        self.args = args
        self.env = dict(display.env)
        if args.kind == "linux":
            exe = os.path.abspath(args.exe or os.path.join(ROOT, "build/release/tavorin"))
            self.command = [exe]
            self.folder = os.path.join(ROOT, "assets")  # arrow.bmp is read from here
        else:
            exe = os.path.abspath(args.exe or os.path.join(ROOT, "build/windows/tavorin.exe"))
            self.command = [WINE, os.path.basename(exe)]
            self.folder = os.path.dirname(exe)  # as Explorer starts it
            prefix = os.path.join(work, "prefix")
            subprocess.run([os.path.join(ROOT, "scripts/wine-prefix.sh"), prefix], check=True)
            overrides = "mscoree,mshtml="
            if args.kind == "wine-no-d3dx":
                overrides += ";d3dx9_43="
            self.env.update(WINEPREFIX=prefix, WINEDEBUG="-all", WINEDLLOVERRIDES=overrides)
        if not os.access(exe, os.X_OK if args.kind == "linux" else os.R_OK):
            raise SystemExit(f"{exe} is missing: build it first")

    def start(self, number):
        started = time.monotonic()
        game = subprocess.Popen(self.command, cwd=self.folder, env=self.env,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                start_new_session=True)
        try:
            window = None

            def menu():
                nonlocal window
                if window is None:
                    found = self.display.windows("^Tavorin$")
                    window = found[0] if found else None
                    if window is None:
                        return False
                return shows_menu(self.display.x.red_columns(window))

            if not wait_for(menu, self.args.patience):
                what = "no window" if window is None else "no menu"
                if window is not None:
                    self.display.save(window, os.path.join(self.work, f"start-{number}.png"))
                return None, what + (f" (ended with {game.poll()})" if game.poll() is not None
                                     else "")
            shown = time.monotonic() - started
            self.display.key(window, "Escape")
            pressed = time.monotonic()
            try:
                status = game.wait(self.args.patience)
            except subprocess.TimeoutExpired:
                return None, "still running after Esc"
            if status != 27:
                # A negative status is the signal that ended it.
                return None, (f"Esc ended it with {status}, "
                              f"{time.monotonic() - pressed:.2f} s after the key")
            return shown, None
        finally:
            end_process(game)

    def close(self):
        if self.args.kind != "linux":
            subprocess.run([WINESERVER, "-k"], env=self.env, check=False)


class PageLoads:
    """The web build's page served on 127.0.0.1, loaded in a fresh tab of one browser."""

    def __init__(self, display, work, args):
        self.display = display
        self.work = work
        self.args = args
        page = os.path.abspath(args.page or os.path.join(ROOT, "build/web/web"))
        if not os.access(os.path.join(page, "tavorin.wasm"), os.R_OK):
            raise SystemExit(f"no web build in {page}: build the web preset first")
        self.server = subprocess.Popen(
            [sys.executable, "-u", "-m", "http.server", "0", "--bind", "127.0.0.1",
             "--directory", page], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        line = self.server.stdout.readline().decode()
        port = re.search(r" port (\d+)", line)
        if not port:
            raise SystemExit("the page server did not start: " + line)
        self.url = f"http://127.0.0.1:{port.group(1)}/index.html"
        self.profile = os.path.join(work, "profile")
        os.makedirs(self.profile)
        self.browser = None
        self.window = None
        if args.kind == "chromium":
            self.start_browser()

    def start_browser(self, url="about:blank"):
        # Chromium opens a blank page first, each load then in a fresh tab of its own.
        # Firefox here never takes a tab from another program (its hand-off waits for ever),
        # so each load is a fresh Firefox on the page: the time includes the browser's start.
        if self.args.kind == "chromium":
            command = ["chromium", "--no-sandbox", "--test-type", "--use-angle=swiftshader",
                       "--use-gl=angle", "--enable-unsafe-swiftshader",
                       "--disable-background-networking", "--disable-component-update",
                       "--disable-sync", "--no-first-run", "--no-default-browser-check",
                       "--password-store=basic", "--window-position=0,0",
                       "--window-size=1500,980", "--user-data-dir=" + self.profile,
                       "about:blank"]
        else:
            prefs = ['"browser.shell.checkDefaultBrowser", false',
                     '"browser.startup.homepage_override.mstone", "ignore"',
                     '"browser.aboutwelcome.enabled", false',
                     '"datareporting.policy.dataSubmissionEnabled", false',
                     '"toolkit.telemetry.reportingpolicy.firstRun", false',
                     '"app.update.disabledForTesting", true', '"webgl.force-enabled", true',
                     '"network.connectivity-service.enabled", false',
                     '"network.captive-portal-service.enabled", false',
                     '"extensions.update.enabled", false',
                     '"browser.safebrowsing.update.enabled", false',
                     '"browser.tabs.warnOnClose", false',
                     '"browser.tabs.closeWindowWithLastTab", false',
                     '"browser.sessionstore.resume_from_crash", false']
            with open(os.path.join(self.profile, "user.js"), "w") as f:
                f.writelines(f"user_pref({p});\n" for p in prefs)
            command = ["firefox-esr", "--no-remote", "--new-instance", "--profile", self.profile,
                       "-width", "1500", "-height", "980", url]
        self.browser = subprocess.Popen(command, env=self.display.env, stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL, start_new_session=True)
        found = wait_for(
            lambda: self.display.windows("Chromium|Firefox|Mozilla|about:blank|^Tavorin"), 60,
            0.02)
        if not found:
            raise SystemExit("the browser window never appeared")
        self.window = found[0]
        if url == "about:blank":
            time.sleep(2)

    def start(self, number):
        env = self.display.env
        # The running browser is asked for a new tab on the page, as a link from another
        # program opens one.
        started = time.monotonic()
        if self.args.kind == "chromium":
            run(["chromium", "--no-sandbox", "--test-type", "--user-data-dir=" + self.profile,
                 self.url], env=env, timeout=60)
        else:
            self.start_browser(self.url)
        try:
            if not wait_for(lambda: self.display.windows("^Tavorin"), self.args.patience):
                self.display.save(self.window, os.path.join(self.work, f"load-{number}.png"))
                titles = run(["xdotool", "getwindowname", str(self.window)], env=env).strip()
                return None, "the page's title never came: " + titles
            if not wait_for(lambda: shows_menu(self.display.x.red_columns(self.window)),
                            self.args.patience):
                self.display.save(self.window, os.path.join(self.work, f"load-{number}.png"))
                return None, "no menu"
            shown = time.monotonic() - started
            self.display.key(self.window, "Escape")
            if not wait_for(lambda: self.display.windows(r"^Tavorin \(exit 27\)"),
                            self.args.patience, 0.05):
                titles = run(["xdotool", "getwindowname", str(self.window)], env=env).strip()
                return None, "no exit 27 in the title: " + titles
            return shown, None
        finally:
            if self.args.kind == "firefox":
                end_process(self.browser)
            else:
                run(["xdotool", "windowfocus", "--sync", str(self.window), "key", "ctrl+w"],
                    env=env)
                # The blank tab is what remains; wait for the page's tab to be gone.
                wait_for(lambda: not self.display.windows("^Tavorin"), 10, 0.05)
                if self.browser.poll() is not None:
                    self.start_browser()

    def close(self):
        if self.browser:
            end_process(self.browser)
        self.server.kill()
        self.server.wait()


# --- The run ------------------------------------------------------------------------------


def percentile(sorted_values, fraction):
    # The nearest rank: the smallest value with at least `fraction` of them at or below it.
    rank = max(1, -(-len(sorted_values) * fraction // 1))
    return sorted_values[int(rank) - 1]


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("kind", choices=["linux", "wine", "wine-no-d3dx", "chromium", "firefox"])
    parser.add_argument("-n", type=int, default=100, help="starts in a row (default 100)")
    parser.add_argument("--exe", help="the game (tavorin or tavorin.exe)")
    parser.add_argument("--page", help="the web build's page folder")
    parser.add_argument("--patience", type=float, default=30,
                        help="seconds each step may take (default 30)")
    parser.add_argument("--keep", action="store_true", help="keep the work folder")
    args = parser.parse_args()
    for tool in ["Xvfb", "xdotool", "import"]:
        if not shutil.which(tool):
            raise SystemExit(f"{tool} is missing (scripts/setup.sh installs it)")

    work = tempfile.mkdtemp(prefix="tavorin-stress-")
    display = Display()
    subject = None
    times, failures = [], []
    began = time.monotonic()
    try:
        subject = (PageLoads if args.kind in ("chromium", "firefox") else DesktopGame)(
            display, work, args)
        for number in range(1, args.n + 1):
            shown, failure = subject.start(number)
            if failure:
                failures.append((number, failure))
                print(f"start {number}: {failure}", flush=True)
            else:
                times.append(shown)
            if number % 50 == 0:
                print(f"{number} starts, {len(failures)} failed", flush=True)
    except KeyboardInterrupt:
        print("stopped", flush=True)
    finally:
        if subject:
            subject.close()
        display.close()
        if failures or args.keep:
            print("pictures of failed starts in " + work)
        else:
            shutil.rmtree(work, ignore_errors=True)

    done = len(times) + len(failures)
    print(f"{args.kind}: {done} starts in {time.monotonic() - began:.0f} s, "
          f"{len(failures)} failed")
    if times:
        times.sort()
        print("start to menu frame, s: min {:.3f}  median {:.3f}  90% {:.3f}  max {:.3f}".format(
            times[0], percentile(times, 0.5), percentile(times, 0.9), times[-1]))
    return 1 if failures or done < args.n else 0


if __name__ == "__main__":
    sys.exit(main())
