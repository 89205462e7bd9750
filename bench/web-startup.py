#!/usr/bin/python3
"""Start-up of the blackboard's page against a bare Qt for WebAssembly window showing the same
text, in one run in one headless Chromium: time from asking for the page to the first complete
frame (the first screenshot that shows it), and what a browser downloads, compressed.

    bench/web-startup.py [SITE] [BARE_FOLDER] [RUNS]     (build-web, build-wasm/bench, 5)
    bench/web-startup.py --first-visit BEFORE AFTER [RUNS]
                                                         a first visit on Lighthouse's slow mobile
                                                         network and processor, two sites side by
                                                         side (a build of an earlier tree, and this
                                                         one), on an 800 x 600 page both fit

The bare window is bench/barewindow.cpp built by scripts/web beside the program, with the same
Qt, in the page Qt makes for it (served without the board's policy: Qt's page script is inline).
The board's download is what its page fetches and its service worker keeps. Screenshots are
taken as fast as Chromium gives them, so a time is late by at most one screenshot's time (printed).
"""
import functools
import gzip
import http.server
import importlib.util
import os
import re
import statistics
import subprocess
import sys
import threading
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
import web  # noqa: E402  (the end-to-end test's browser and page)

_spec = importlib.util.spec_from_file_location("serve", os.path.join(ROOT, "scripts", "lanes", "web", "serve.py"))
serve = importlib.util.module_from_spec(_spec)
_spec.loader.exec_module(serve)


def downloaded(folder, names):
    """Bytes a browser fetches for these files, each compressed as a server would (gzip -9)."""
    total = 0
    for name in names:
        with open(os.path.join(folder, name), "rb") as f:
            total += len(gzip.compress(f.read(), 9, mtime=0))
    return total


def served(site):
    """The files the board's page and service worker fetch on a first visit."""
    with open(os.path.join(site, "service-worker.js"), encoding="utf-8") as f:
        listed = re.search(r"const files = \[(.*?)\];", f.read()).group(1)
    names = [name.split("?")[0] for name in re.findall(r'"([^"]+)"', listed)]
    return ["index.html" if name == "./" else name for name in names] + ["service-worker.js"]


def first_frame(browser, url, complete):
    start = time.monotonic()
    browser.call("Page.navigate", url=url)
    shots = 0
    while time.monotonic() - start < web.DEADLINE:
        shots += 1
        if complete(browser):
            return time.monotonic() - start, shots
    web.fail(f"{url} showed no complete frame")


def board_complete(browser):
    page = web.Page(browser)
    return page.locate() and web.drawn(page)


def bare_complete(browser):
    # Qt's own page shows its canvas once the program runs; then the label's text, dark pixels
    # on the window's light background at its right, must be drawn.
    if browser.evaluate("document.querySelector('#qtcanvas').style.display") != "block":
        return False
    image = browser.shot()
    width, height = image.size
    return sum(1 for c in image.crop((width // 2, 0, width, height)).getdata() if max(c) < 64) > 300


class Counted(http.server.ThreadingHTTPServer):
    """serve.py's server, counting the bytes it sends: what a browser and its service worker
    download."""
    sent = 0

    def __init__(self, folder):
        lock = threading.Lock()

        class Handler(serve.Handler):
            def copyfile(self, source, destination):
                data = source.read()
                with lock:
                    self.server.sent += len(data)
                destination.write(data)

        super().__init__(("127.0.0.1", 0), functools.partial(Handler, directory=folder))
        self.policy = True
        threading.Thread(target=self.serve_forever, daemon=True).start()


def first_visit(browser, server):
    """Seconds from asking for the page to the board complete on a first visit over Lighthouse's
    slow mobile network, and bytes the server sent meanwhile and until the page is quiet."""
    browser.call("Page.navigate", url="about:blank")
    server.sent = 0
    url = f"http://localhost:{server.server_address[1]}/"
    start = time.monotonic()
    browser.call("Page.navigate", url=url)
    page = web.Page(browser)
    web.wait_until(lambda: page.locate() and web.drawn(page), f"{url}: no board on a slow first visit")
    seconds = time.monotonic() - start
    time.sleep(5)  # what the page's service worker fetches after the board shows
    return seconds, server.sent


def first_visits(before, after, runs):
    browser = web.Browser(800, 600)
    servers = {"before": Counted(before), "after": Counted(after)}
    results = {"before": [], "after": []}
    try:
        browser.call("Network.enable")
        browser.call("Network.setCacheDisabled", cacheDisabled=True)
        browser.call("Network.emulateNetworkConditions", **web.SLOW_NETWORK)
        browser.call("Emulation.setCPUThrottlingRate", rate=4)
        for _ in range(runs):
            for name, server in servers.items():
                browser.call("Storage.clearDataForOrigin", origin=f"http://localhost:{server.server_address[1]}",
                             storageTypes="all")
                results[name].append(first_visit(browser, server))
    finally:
        browser.close()
        for server in servers.values():
            server.shutdown()
    for name, visits in results.items():
        print(f"{name}: the board after {statistics.median(t for t, _ in visits):.1f} s, "
              f"{statistics.median(b for _, b in visits) / 1024:.0f} KiB sent (medians of {runs})")


def main():
    if sys.argv[1:2] == ["--first-visit"]:
        first_visits(sys.argv[2], sys.argv[3], int(sys.argv[4]) if len(sys.argv) > 4 else 3)
        return
    site = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build-web")
    bare = sys.argv[2] if len(sys.argv) > 2 else os.path.join(ROOT, "build-wasm", "bench")
    runs = int(sys.argv[3]) if len(sys.argv) > 3 else 5
    serve_py = os.path.join(ROOT, "scripts", "lanes", "web", "serve.py")
    servers = [subprocess.Popen(command, stdout=subprocess.PIPE, text=True)
               for command in ([serve_py, site], [serve_py, "--no-policy", bare])]
    board_url, bare_url = (s.stdout.readline().strip() for s in servers)
    browser = web.Browser(800, 600)
    times = {"board": [], "bare": []}
    shot_times = []
    try:
        for _ in range(runs):
            for name, url, complete in (("board", board_url, board_complete),
                                        ("bare", bare_url + "zav-bare-window.html", bare_complete)):
                browser.call("Page.navigate", url="about:blank")
                seconds, shots = first_frame(browser, url, complete)
                times[name].append(seconds)
                shot_times.append(seconds / shots)
    finally:
        browser.close()
        for s in servers:
            s.terminate()
    board_ms = statistics.median(times["board"]) * 1000
    bare_ms = statistics.median(times["bare"]) * 1000
    board_bytes = downloaded(site, served(site))
    bare_bytes = downloaded(bare, ["zav-bare-window.html", "qtloader.js", "qtlogo.svg", "zav-bare-window.js",
                                   "zav-bare-window.wasm"])
    print(f"first complete frame, median of {runs}: board {board_ms:.0f} ms, bare {bare_ms:.0f} ms, "
          f"ratio {board_ms / bare_ms:.2f} (a screenshot takes about {statistics.median(shot_times) * 1000:.0f} ms)")
    print(f"downloaded, gzip -9: board {board_bytes / 1024:.0f} KiB, bare {bare_bytes / 1024:.0f} KiB, "
          f"ratio {board_bytes / bare_bytes:.2f}")


if __name__ == "__main__":
    main()
