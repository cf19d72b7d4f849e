#!/usr/bin/env python3
"""Measures the web page for the benchmark figures, not as a test: the first menu frame
against a bare WebGL 2 page opened the same way, and what a still menu, board and rules page
cost the browser's processes together. Chromium or Firefox on a private Xvfb display, the
folder served on 127.0.0.1.

Usage: bench/web/measure_page.py [--page build/web/web] [--browser chromium|firefox]
                                 [--runs 5] [--seconds 10]
"""
import argparse
import os
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
# Reports the game's first-frame mark in the title, where xdotool can read it.
PROBE = """<script>
setInterval(function () {
  var m = performance.getEntriesByName("tavorin-first-frame")[0];
  if (m && document.title.indexOf("first-frame") < 0) document.title = "first-frame " + m.startTime.toFixed(1);
}, 20);
</script>
"""
FIREFOX_PREFS = [
    '"browser.shell.checkDefaultBrowser", false', '"browser.aboutwelcome.enabled", false',
    '"browser.startup.homepage_override.mstone", "ignore"',
    '"datareporting.policy.dataSubmissionEnabled", false',
    '"toolkit.telemetry.reportingpolicy.firstRun", false', '"app.update.disabledForTesting", true',
    '"webgl.force-enabled", true', '"network.connectivity-service.enabled", false',
    '"network.captive-portal-service.enabled", false', '"extensions.update.enabled", false',
    '"browser.safebrowsing.update.enabled", false']


def start_display():
    read, write = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "1600x1000x24",
                             "+extension", "GLX", "-nolisten", "tcp"], pass_fds=[write],
                            stderr=subprocess.DEVNULL)
    os.close(write)
    number = b""
    while not number.endswith(b"\n"):
        number += os.read(read, 1)
    os.close(read)
    return xvfb, ":" + number.decode().strip()


def browser_command(browser, profile, url):
    if browser == "chromium":
        return ["chromium", "--no-sandbox", "--test-type", "--use-angle=swiftshader",
                "--use-gl=angle", "--enable-unsafe-swiftshader",
                "--disable-background-networking", "--disable-component-update",
                "--disable-sync", "--no-first-run", "--no-default-browser-check",
                "--password-store=basic", "--window-position=0,0", "--window-size=1500,980",
                "--user-data-dir=" + profile, "--app=" + url]
    with open(os.path.join(profile, "user.js"), "w") as prefs:
        prefs.writelines("user_pref(%s);\n" % p for p in FIREFOX_PREFS)
    return ["firefox-esr", "--no-remote", "--new-instance", "--profile", profile,
            "-width", "1500", "-height", "980", url]


def window_titled(display, prefix, timeout):
    end = time.time() + timeout
    while time.time() < end:
        out = subprocess.run(["xdotool", "search", "--name", "^" + prefix],
                             env=dict(os.environ, DISPLAY=display), capture_output=True,
                             text=True).stdout.split()
        for window in out:
            name = subprocess.run(["xdotool", "getwindowname", window],
                                  env=dict(os.environ, DISPLAY=display), capture_output=True,
                                  text=True).stdout.strip()
            if name.startswith(prefix):
                return window, name
        time.sleep(0.05)
    return None, None


def tree_ticks(root):
    """User and system ticks of the process and all its descendants."""
    parents, ticks = {}, {}
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open("/proc/%s/stat" % pid) as f:
                fields = f.read().rsplit(")", 1)[1].split()
        except OSError:
            continue
        parents[int(pid)] = int(fields[1])
        ticks[int(pid)] = int(fields[11]) + int(fields[12])
    total, stack = 0, [root]
    while stack:
        pid = stack.pop()
        total += ticks.get(pid, 0)
        stack.extend(child for child, parent in parents.items() if parent == pid)
    return total


def core_share(pid, seconds):
    start, begun = tree_ticks(pid), time.time()
    time.sleep(seconds)
    return (tree_ticks(pid) - start) / os.sysconf("SC_CLK_TCK") / (time.time() - begun)


def run_once(args, display, url, still):
    profile = tempfile.mkdtemp(prefix="tavorin-measure-")
    browser = subprocess.Popen(browser_command(args.browser, profile, url),
                               env=dict(os.environ, DISPLAY=display),
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        window, name = window_titled(display, "first-frame", 90)
        if not window:
            raise RuntimeError("no first frame reported")
        result = {"first": float(name.split()[1])}
        # The browser's own start-up work (profile, caches) settles first.
        if still == "bare":
            time.sleep(args.settle)
            result["idle"] = core_share(browser.pid, args.seconds)
        elif still:
            env = dict(os.environ, DISPLAY=display)
            time.sleep(args.settle)
            result["menu"] = core_share(browser.pid, args.seconds)
            for key, page in (("s", "board"), ("t", "rules")):
                subprocess.run(["xdotool", "windowfocus", "--sync", window, "key", key], env=env)
                time.sleep(3)
                result[page] = core_share(browser.pid, args.seconds)
        return result
    finally:
        browser.send_signal(signal.SIGKILL)
        browser.wait()
        shutil.rmtree(profile, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--page", default="build/web/web")
    parser.add_argument("--browser", default="chromium", choices=["chromium", "firefox"])
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--seconds", type=float, default=10)
    parser.add_argument("--settle", type=float, default=10)
    args = parser.parse_args()

    served = tempfile.mkdtemp(prefix="tavorin-measure-page-")
    for name in os.listdir(args.page):
        shutil.copy(os.path.join(args.page, name), served)
    with open(os.path.join(served, "index.html")) as f:
        page = f.read()
    with open(os.path.join(served, "index.html"), "w") as f:
        f.write(page.replace("</body>", PROBE + "</body>"))
    shutil.copy(os.path.join(HERE, "bare.html"), served)

    xvfb, display = start_display()
    server = subprocess.Popen([sys.executable, "-m", "http.server", "8765", "--bind",
                               "127.0.0.1", "--directory", served],
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    time.sleep(1)
    try:
        base = "http://127.0.0.1:8765/"
        game, bare = [], []
        for run in range(args.runs):
            bare.append(run_once(args, display, base + "bare.html", run == 0 and "bare"))
            game.append(run_once(args, display, base + "index.html", run == 0))
        firsts, bares = [g["first"] for g in game], [b["first"] for b in bare]
        print("%s: first frame %.0f ms (median of %d), bare WebGL 2 page %.0f ms: %.2fx" % (
            args.browser, statistics.median(firsts), args.runs, statistics.median(bares),
            statistics.median(firsts) / statistics.median(bares)))
        print("  game runs %s; bare runs %s" % (["%.0f" % f for f in firsts],
                                                ["%.0f" % f for f in bares]))
        print("  still screens, browser's processes together: menu %.1f %%, board %.1f %%, "
              "rules %.1f %% of a core; the bare page left still %.1f %%" % (
                  100 * game[0]["menu"], 100 * game[0]["board"], 100 * game[0]["rules"],
                  100 * bare[0]["idle"]))
    finally:
        server.terminate()
        xvfb.terminate()
        shutil.rmtree(served, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
