#!/usr/bin/env python3
"""Measures the web page for the benchmark figures, not as a test: the first menu frame
against a bare WebGL 2 page opened the same way, and what a still menu, board and rules page
cost the browser's processes together. Chromium or Firefox on a private Xvfb display, the
folder served on 127.0.0.1.

Usage: bench/web/measure_page.py [--page build/web/web] [--browser chromium|firefox]
                                 [--runs 5] [--seconds 10] [--settle 10] [--detail]
"""
import argparse
import functools
import http.server
import queue
import threading
import os
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
# Put first in the page's head: times what the page spends before the game's first frame
# (WebGL calls, the 2D canvas's text, the wasm's compile and instantiation, the font) and
# reports it in the title with the page's own marks, where xdotool can read it.
PROBE = """<script>
(function () {
  var spent = {}, starts = {}, ends = {}, snapshot = null;
  function timed(owner, name, key) {
    var f = owner && owner[name];
    if (!f) return;
    owner[name] = function () {
      var start = performance.now();
      var result = f.apply(this, arguments);
      var end = performance.now();
      if (!snapshot) {
        if (!(key in starts)) starts[key] = start;
        spent[key] = (spent[key] || 0) + end - start;
        ends[key] = end;
        if (result && typeof result.then === "function" && key.indexOf("wasm") === 0) {
          result.then(function () { if (!snapshot) ends[key + "-done"] = performance.now(); });
        }
      }
      return result;
    };
  }
  var gl = window.WebGL2RenderingContext && WebGL2RenderingContext.prototype;
  [["compileShader", "compile"], ["linkProgram", "link"], ["getProgramParameter", "status"],
   ["getShaderParameter", "status"], ["texImage2D", "upload"], ["getParameter", "ask"],
   ["checkFramebufferStatus", "ask"], ["blitFramebuffer", "blit"], ["clear", "clear"],
   ["drawArrays", "draw"], ["drawElements", "draw"], ["bufferData", "buffer"],
   ["getExtension", "extension"], ["getSupportedExtensions", "extension"],
   ["getContextAttributes", "ask"], ["isContextLost", "ask"]].forEach(
    function (p) { timed(gl, p[0], "gl-" + p[1]); });
  var c2 = window.CanvasRenderingContext2D && CanvasRenderingContext2D.prototype;
  [["measureText", "measure"], ["fillText", "fill"], ["getImageData", "read"]].forEach(
    function (p) { timed(c2, p[0], "text-" + p[1]); });
  timed(HTMLCanvasElement.prototype, "getContext", "context");
  timed(WebAssembly, "instantiateStreaming", "wasm-instantiate-streaming");
  timed(WebAssembly, "instantiate", "wasm-instantiate");
  timed(WebAssembly, "compileStreaming", "wasm-compile-streaming");
  function report(frame) {
    var parts = ["first-frame", frame.toFixed(1)];
    performance.getEntriesByType("mark").forEach(function (m) {
      if (m.startTime <= frame) parts.push("mark:" + m.name.replace("tavorin-", "") + "=" + m.startTime.toFixed(0));
    });
    var nav = performance.getEntriesByType("navigation")[0];
    if (nav) parts.push("html=" + nav.responseEnd.toFixed(0), "parsed=" + nav.domInteractive.toFixed(0));
    performance.getEntriesByType("resource").forEach(function (r) {
      if (r.startTime <= frame) parts.push("file:" + r.name.replace(/.*\//, "") + "=" + r.startTime.toFixed(0) + "-" + r.responseEnd.toFixed(0));
    });
    Object.keys(spent).forEach(function (k) { parts.push("in:" + k + "=" + spent[k].toFixed(1)); });
    Object.keys(starts).forEach(function (k) {
      parts.push("call:" + k + "=" + starts[k].toFixed(0) + "-" + ends[k].toFixed(0));
    });
    Object.keys(ends).forEach(function (k) {
      if (!(k in starts)) parts.push("end:" + k + "=" + ends[k].toFixed(0));
    });
    return parts.join(" ");
  }
  var mark = performance.mark;
  performance.mark = function (name) {
    var result = mark.apply(performance, arguments);
    if (!snapshot && (name === "tavorin-first-frame" || name === "bare-first-frame")) {
      snapshot = performance.now();
      var frame = performance.getEntriesByName(name)[0].startTime;
      // Two animation frames later the browser has composited the frame (it begins no
      // frame before the last is done): roughly when it is on screen.
      requestAnimationFrame(function () {
        requestAnimationFrame(function () {
          var shown = performance.now();
          // A moment later, so that the page's own title does not replace it.
          setTimeout(function () {
            var text = report(frame) + " shown=" + shown.toFixed(0);
            // The figures go to the server (a title is cut short); the title says they went.
            fetch("/report", { method: "POST", body: text }).then(function () {
              document.title = "first-frame " + frame.toFixed(1) + " reported";
            });
          }, 50);
        });
      });
    }
    return result;
  };
})();
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


def window_titled(display, prefix, timeout, suffix=""):
    end = time.time() + timeout
    while time.time() < end:
        out = subprocess.run(["xdotool", "search", "--name", "^" + prefix],
                             env=dict(os.environ, DISPLAY=display), capture_output=True,
                             text=True).stdout.split()
        for window in out:
            name = subprocess.run(["xdotool", "getwindowname", window],
                                  env=dict(os.environ, DISPLAY=display), capture_output=True,
                                  text=True).stdout.strip()
            # Firefox adds its own name after the page's title.
            if name.startswith(prefix) and suffix in name:
                return window, name.split(" " + suffix)[0] if suffix else name
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


def detail_of(title):
    """The probe's figures from the title: each "what=ms" (a range "from-to" for a file)."""
    detail = {}
    for part in title.split()[2:]:
        key, _, value = part.partition("=")
        detail[key] = value
    return detail


def breakdown(runs):
    """Medians over the runs of each figure the probe reported, in the order first seen."""
    keys = []
    for run in runs:
        keys.extend(k for k in run["detail"] if k not in keys)
    lines = []
    for key in keys:
        values = [run["detail"][key] for run in runs if key in run["detail"]]
        if all("-" in v[1:] for v in values):
            starts = [float(v.split("-")[0]) for v in values]
            ends = [float(v.split("-")[1]) for v in values]
            lines.append("    %-40s %6.0f to %6.0f ms" % (key, statistics.median(starts),
                                                        statistics.median(ends)))
        else:
            lines.append("    %-40s %6.1f ms" % (key, statistics.median(map(float, values))))
    return "\n".join(lines)


def run_once(args, display, url, still):
    # A browser now and then shows no page at all on its first start on a display: once more.
    try:
        return run_one(args, display, url, still)
    except RuntimeError:
        print("  (no first frame from %s within 30 s: started again)" % url, file=sys.stderr)
        return run_one(args, display, url, still)


REPORTS = queue.Queue()


class Handler(http.server.SimpleHTTPRequestHandler):
    """The folder, and the probe's figures taken by POST /report."""

    def do_POST(self):
        body = self.rfile.read(int(self.headers.get("Content-Length", 0))).decode()
        REPORTS.put(body)
        self.send_response(204)
        self.end_headers()

    def log_message(self, *args):
        pass


def run_one(args, display, url, still):
    profile = tempfile.mkdtemp(prefix="tavorin-measure-")
    browser = subprocess.Popen(browser_command(args.browser, profile, url),
                               env=dict(os.environ, DISPLAY=display),
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        while not REPORTS.empty():
            REPORTS.get()
        window, name = window_titled(display, "first-frame", 30, "reported")
        if not window:
            raise RuntimeError("no first frame reported")
        name = REPORTS.get(timeout=5)
        detail = detail_of(name)
        result = {"first": float(name.split()[1]), "shown": float(detail["shown"]),
                  "detail": detail}
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
    parser.add_argument("--detail", action="store_true",
                        help="the breakdown of the game's start-up, from the probe")
    args = parser.parse_args()

    served = tempfile.mkdtemp(prefix="tavorin-measure-page-")
    for name in os.listdir(args.page):
        shutil.copy(os.path.join(args.page, name), served)
    with open(os.path.join(served, "index.html")) as f:
        page = f.read()
    with open(os.path.join(served, "index.html"), "w") as f:
        f.write(page.replace("<head>", "<head>\n" + PROBE, 1))
    with open(os.path.join(HERE, "bare.html")) as f:
        page = f.read()
    with open(os.path.join(served, "bare.html"), "w") as f:
        f.write(page.replace("<head>", "<head>\n" + PROBE, 1))

    xvfb, display = start_display()
    server = http.server.ThreadingHTTPServer(
        ("127.0.0.1", 8765), functools.partial(Handler, directory=served))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    time.sleep(1)
    load = os.getloadavg()[0]
    try:
        base = "http://127.0.0.1:8765/"
        game, bare, late = [], [], []
        for run in range(args.runs):
            bare.append(run_once(args, display, base + "bare.html", run == 0 and "bare"))
            late.append(run_once(args, display, base + "bare.html?wasm", False))
            game.append(run_once(args, display, base + "index.html", run == 0))
        firsts, bares = [g["first"] for g in game], [b["first"] for b in bare]
        print("%s: first frame %.0f ms (median of %d), bare WebGL 2 page %.0f ms: %.2fx" % (
            args.browser, statistics.median(firsts), args.runs, statistics.median(bares),
            statistics.median(firsts) / statistics.median(bares)))
        print("  game runs %s; bare runs %s" % (["%.0f" % f for f in firsts],
                                                ["%.0f" % f for f in bares]))
        lates = [b["first"] for b in late]
        print("  the bare page started once the game's module is compiled (?wasm): %.0f ms; "
              "the game %.2fx that; runs %s" % (
                  statistics.median(lates), statistics.median(firsts) / statistics.median(lates),
                  ["%.0f" % f for f in lates]))
        shown, bare_shown = [g["shown"] for g in game], [b["shown"] for b in bare]
        print("  composited (two animation frames after): game %.0f ms, bare %.0f ms: %.2fx" % (
            statistics.median(shown), statistics.median(bare_shown),
            statistics.median(shown) / statistics.median(bare_shown)))
        print("  still screens, browser's processes together: menu %.1f %%, board %.1f %%, "
              "rules %.1f %% of a core; the bare page left still %.1f %%" % (
                  100 * game[0]["menu"], 100 * game[0]["board"], 100 * game[0]["rules"],
                  100 * bare[0]["idle"]))
        print("  load average %.2f before, %.2f after" % (load, os.getloadavg()[0]))
        if args.detail:
            print("  before the game's first frame (medians; mark: the page's marks, file: "
                  "fetched from-to, in: time inside the calls, call: first call's start to the "
                  "last one's end):")
            print(breakdown(game))
            print("  before the bare page's first frame:")
            print(breakdown(bare))
            print("  before the first frame of the bare page started late (?wasm):")
            print(breakdown(late))
    finally:
        server.shutdown()
        xvfb.terminate()
        shutil.rmtree(served, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
