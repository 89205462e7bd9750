#!/usr/bin/python3
"""The page in the other engines a school's devices run: Gecko (Debian's Firefox ESR, through the
WebDriver BiDi server it carries) and WebKit (Safari's engine, WebKitGTK's MiniBrowser through
WebKitWebDriver), each on an Xvfb of its own, since both need a display for WebGL. The board
drawn, a drag writes, a stick picks, the menu opens, and a finger and a pen write where the
engine's driver can make them.

    tests/e2e/engines.py SITE_FOLDER
"""
import base64
import io
import json
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import urllib.error
import urllib.request

import websocket
from PIL import Image

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from web import WHITE, YELLOW, Page, chalk, drawn, fail, menu_box, near, ok, serve, wait_until  # noqa: E402

MINIBROWSER = "/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser"


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class Display:
    """An Xvfb of its own."""

    def __init__(self):
        read, write = os.pipe()
        self.process = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "1280x1024x24",
                                         "-nolisten", "tcp"], pass_fds=[write], stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as number:
            self.name = ":" + number.readline().strip()

    def close(self):
        self.process.terminate()
        self.process.wait()


def png(data):
    return Image.open(io.BytesIO(base64.b64decode(data))).convert("RGB")


class Firefox:
    """Firefox ESR and its own WebDriver BiDi server."""

    name = "Firefox"

    def __init__(self, display):
        self.profile = tempfile.mkdtemp(prefix="zav-firefox-")
        with open(os.path.join(self.profile, "user.js"), "w") as prefs:
            for pref in ('"browser.shell.checkDefaultBrowser", false', '"datareporting.policy.dataSubmissionEnabled", false',
                         '"browser.aboutwelcome.enabled", false', '"app.update.disabledForTesting", true',
                         '"network.captive-portal-service.enabled", false', '"browser.startup.page", 0'):
                prefs.write(f"user_pref({pref});\n")
        port = free_port()
        self.process = subprocess.Popen(
            ["firefox-esr", "--no-remote", "--profile", self.profile, f"--remote-debugging-port={port}",
             "--width", "1000", "--height", "800", "about:blank"],
            env={**os.environ, "DISPLAY": display.name, "MOZ_CRASHREPORTER_DISABLE": "1"},
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.socket = None

        def connected():
            try:
                self.socket = websocket.create_connection(f"ws://127.0.0.1:{port}/session", timeout=60,
                                                          suppress_origin=True)
                return True
            except OSError:
                return False
        wait_until(connected, "Firefox's WebDriver BiDi server did not answer")
        self.next_id = 0
        self.call("session.new", capabilities={})
        self.context = self.call("browsingContext.getTree")["contexts"][0]["context"]

    def call(self, method, **params):
        self.next_id += 1
        self.socket.send(json.dumps({"id": self.next_id, "method": method, "params": params}))
        while True:
            message = json.loads(self.socket.recv())
            if message.get("id") == self.next_id:
                if message.get("type") == "error":
                    fail(f"Firefox: {method}: {message.get('error')} {message.get('message')}")
                return message["result"]

    def navigate(self, url):
        self.call("browsingContext.navigate", context=self.context, url=url, wait="complete")

    def evaluate(self, expression):
        result = self.call("script.evaluate", expression=expression, target={"context": self.context},
                           awaitPromise=True)["result"]
        return result.get("value")

    def shot(self):
        return png(self.call("browsingContext.captureScreenshot", context=self.context)["data"])

    def grow(self, width, height):
        """The page's viewport set to width x height."""
        self.call("browsingContext.setViewport", context=self.context, viewport={"width": width, "height": height})

    def pointer(self, kind, steps):
        """steps: ("move", x, y), ("down",), ("up",) in page points."""
        actions = [{"type": "pointerMove", "x": int(s[1]), "y": int(s[2])} if s[0] == "move"
                   else {"type": "pointerDown" if s[0] == "down" else "pointerUp", "button": 0} for s in steps]
        self.call("input.performActions", context=self.context,
                  actions=[{"type": "pointer", "id": kind, "parameters": {"pointerType": kind}, "actions": actions}])
        self.call("input.releaseActions", context=self.context)

    def close(self):
        try:
            self.call("session.end")
        except Exception:  # the browser may have gone already
            pass
        self.process.terminate()
        self.process.wait()
        shutil.rmtree(self.profile, ignore_errors=True)


class WebKit:
    """WebKitGTK's MiniBrowser through WebKitWebDriver (the W3C WebDriver protocol)."""

    name = "WebKit"

    def __init__(self, display):
        port = free_port()
        self.base = f"http://127.0.0.1:{port}"
        self.process = subprocess.Popen(["WebKitWebDriver", f"--port={port}"],
                                        env={**os.environ, "DISPLAY": display.name},
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

        def answers():
            try:
                urllib.request.urlopen(self.base + "/status", timeout=5)
                return True
            except OSError:
                return False
        wait_until(answers, "WebKitWebDriver did not answer")
        options = {"binary": MINIBROWSER, "args": ["--automation", "--geometry=1000x800"]}
        self.session = self.request("POST", "/session", {
            "capabilities": {"alwaysMatch": {"webkitgtk:browserOptions": options}}})["sessionId"]

    def request(self, method, path, body=None):
        data = None if body is None else json.dumps(body).encode()
        request = urllib.request.Request(self.base + path, data=data, method=method,
                                         headers={"Content-Type": "application/json"})
        try:
            with urllib.request.urlopen(request, timeout=60) as response:
                return json.load(response)["value"]
        except urllib.error.HTTPError as error:
            fail(f"WebKit: {method} {path}: {error.read().decode(errors='replace')}")

    def navigate(self, url):
        self.request("POST", f"/session/{self.session}/url", {"url": url})

    def evaluate(self, expression):
        return self.request("POST", f"/session/{self.session}/execute/async",
                            {"script": f"Promise.resolve({expression}).then(arguments[0])", "args": []})

    def shot(self):
        return png(self.request("GET", f"/session/{self.session}/screenshot"))

    def grow(self, width, height):
        """The browser's window set to width x height."""
        self.request("POST", f"/session/{self.session}/window/rect", {"width": width, "height": height})

    def pointer(self, kind, steps):
        actions = [{"type": "pointerMove", "x": int(s[1]), "y": int(s[2]), "origin": "viewport"} if s[0] == "move"
                   else {"type": "pointerDown" if s[0] == "down" else "pointerUp", "button": 0} for s in steps]
        self.request("POST", f"/session/{self.session}/actions", {
            "actions": [{"type": "pointer", "id": kind, "parameters": {"pointerType": kind}, "actions": actions}]})
        self.request("DELETE", f"/session/{self.session}/actions")

    def close(self):
        try:
            self.request("DELETE", f"/session/{self.session}")
        finally:
            self.process.terminate()
            self.process.wait()


class Board(Page):
    """The window on the engine's page, driven through its driver."""

    def stroke(self, kind, x0, x1, y):
        """A mouse, a finger or a pen along a row; the pen by script, since neither driver has one."""
        if kind == "pen":
            self.scripted_pen([(x, y) for x in range(x0, x1 + 1, 10)], 0, 1)
            return
        self.browser.pointer(kind, [("move", *self.at(x0, y)), ("down",)]
                             + [("move", *self.at(x, y)) for x in range(x0 + 10, x1 + 1, 10)] + [("up",)])

    def click(self, x, y):
        self.browser.pointer("mouse", [("move", *self.at(x, y)), ("down",), ("up",)])


def check(engine, display, url, touch):
    browser = engine(display)
    name = engine.name
    try:
        board = Board(browser, url)
        wait_until(lambda: drawn(board), f"{name}: the board, frame, tray and date were not drawn")
        ok(f"{name}: the page shows the board, its frame, the tray and the date")

        # Row by row: whether the yellow stick is clicked first, what draws, and the colour the row
        # must show.
        rows = [(False, "mouse", 100, near(WHITE), "a drag writes"),
                (True, "mouse", 150, near(YELLOW), "after a click on the yellow stick a drag writes yellow"),
                *([(False, "touch", 250, chalk, "a finger writes")] if touch else []),
                (False, "pen", 300, chalk, "a pen writes")]
        for pick, kind, y, colour, what in rows:
            if pick:
                board.click(122, 424)
            board.stroke(kind, 60, 300, y)
            wait_until(lambda: board.shot() and board.count(colour, 60, y - 5, 245, 11) >= 100, f"{name}: not so: {what}")
            ok(f"{name}: {what}")

        board.shot()
        before = board.image.copy()
        board.click(462, 420)
        wait_until(lambda: board.shot() and menu_box(before, board.image) is not None,
                   f"{name}: a click on the eraser opened no menu")
        ok(f"{name}: a click on the eraser opens its menu")

        # The browser's window grows: the board refits without a reload, every row kept.
        scale = board.scale
        browser.grow(1400, 1100)
        wait_until(lambda: board.locate() and board.scale > scale and board.shot()
                   and all(board.count(colour, 60, y - 5, 245, 11) >= 100 for _, _, y, colour, _ in rows),
                   f"{name}: a larger window did not refit the board with what was written on it")
        ok(f"{name}: the board refits to a larger window, keeping what was written")
    finally:
        browser.close()


def main():
    server, url = serve(sys.argv[1])
    display = Display()
    try:
        check(Firefox, display, url, touch=True)
        # WebKitWebDriver has no touch: WebKitGTK on a desktop reads none.
        check(WebKit, display, url, touch=False)
    finally:
        display.close()
        server.terminate()


if __name__ == "__main__":
    main()
