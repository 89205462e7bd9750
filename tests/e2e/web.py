#!/usr/bin/python3
"""The web build in a real browser: Debian's Chromium, headless, driven over the DevTools
protocol, the page served as scripts/web --serve serves it. Everything is checked from
screenshots, as the Xvfb tests check the desktop window.

    tests/e2e/web.py SITE_FOLDER
"""
import base64
import io
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import urllib.parse
import urllib.request

import websocket
from PIL import Image, ImageChops

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
DEADLINE = 60
WIDTH, HEIGHT = 641, 449  # the window at scale 1
BOARD = (0, 64, 0)
FRAME = (64, 0, 0)
TRAY = (224, 224, 224)
WHITE = (255, 255, 255)
YELLOW = (255, 255, 0)


def fail(message):
    print(f"not ok - {message}")
    sys.exit(1)


def ok(message):
    print(f"ok - {message}")


def wait_until(condition, what, deadline=DEADLINE):
    end = time.monotonic() + deadline
    while time.monotonic() < end:
        if condition():
            return
        time.sleep(0.2)
    fail(what)


class Browser:
    """One headless Chromium and its page, over the DevTools protocol."""

    def __init__(self, width, height, *flags):
        self.profile = tempfile.mkdtemp(prefix="zav-chromium-")
        self.process = subprocess.Popen(
            ["chromium", "--headless", "--no-sandbox", "--no-first-run", "--hide-scrollbars", "--mute-audio",
             "--use-gl=swiftshader", "--enable-unsafe-swiftshader", "--remote-debugging-port=0",
             f"--user-data-dir={self.profile}", f"--window-size={width},{height}", *flags, "about:blank"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        port_file = os.path.join(self.profile, "DevToolsActivePort")
        wait_until(lambda: os.path.exists(port_file) and len(open(port_file).read().split()) == 2,
                   "Chromium did not open its DevTools port")
        port = open(port_file).read().split()[0]
        pages = json.load(urllib.request.urlopen(f"http://127.0.0.1:{port}/json/list"))
        page = next(p for p in pages if p["type"] == "page")
        self.socket = websocket.create_connection(page["webSocketDebuggerUrl"], timeout=DEADLINE,
                                                  suppress_origin=True)
        self.next_id = 0
        self.console = []
        self.call("Runtime.enable")
        self.call("Emulation.setDeviceMetricsOverride", width=width, height=height, deviceScaleFactor=1, mobile=False)

    def call(self, method, **params):
        self.next_id += 1
        self.socket.send(json.dumps({"id": self.next_id, "method": method, "params": params}))
        while True:
            message = json.loads(self.socket.recv())
            if message.get("method") == "Runtime.consoleAPICalled":
                self.console.append(" ".join(str(a.get("value", "")) for a in message["params"]["args"]))
            if message.get("id") == self.next_id:
                if "error" in message:
                    fail(f"{method}: {message['error']}")
                return message["result"]

    def navigate(self, url):
        self.call("Page.navigate", url=url)

    def evaluate(self, expression):
        result = self.call("Runtime.evaluate", expression=expression, returnByValue=True)
        return result["result"].get("value")

    def shot(self):
        data = self.call("Page.captureScreenshot", format="png")["data"]
        return Image.open(io.BytesIO(base64.b64decode(data))).convert("RGB")

    def close(self):
        self.socket.close()
        self.process.terminate()
        self.process.wait()
        shutil.rmtree(self.profile, ignore_errors=True)


class Page:
    """The board on the page: window pixels, scaled and placed where the page shows them."""

    def __init__(self, browser, url=None):
        """The page at url, once it shows its canvas; without one, the page as it is."""
        self.browser = browser
        self.image = None
        if url:
            browser.navigate(url)
            wait_until(self.locate, "the page shows no canvas")

    def locate(self):
        """Finds the window on the page; false while there is no canvas."""
        found = json.loads(self.browser.evaluate(
            "JSON.stringify({rect: document.querySelector('#screen canvas')?.getBoundingClientRect() ?? null,"
            " ratio: devicePixelRatio})"))
        rect, self.ratio = found["rect"], found["ratio"]
        if not rect:
            return False
        # The canvas is whole screen pixels: the scale is the quarter step of screen pixels a window
        # pixel takes nearest its width; in CSS pixels, that over the device pixel ratio.
        self.left, self.top = rect["x"], rect["y"]
        self.device_scale = round(rect["width"] * self.ratio / WIDTH * 4) / 4
        self.scale = self.device_scale / self.ratio
        return True

    def at(self, x, y):
        """Window point x, y on the page, in CSS pixels."""
        return self.left + (x + 0.5) * self.scale, self.top + (y + 0.5) * self.scale

    def on_shot(self, x, y):
        """Window point x, y in a screenshot, which is in the screen's pixels."""
        px, py = self.at(x, y)
        return px * self.ratio, py * self.ratio

    def shot(self):
        self.image = self.browser.shot()
        return self.image

    def pixel(self, x, y):
        px, py = self.on_shot(x, y)
        return self.image.getpixel((int(px), int(py)))

    def area(self, x, y, width, height):
        """The screenshot's pixels inside the window rectangle."""
        (x0, y0), (x1, y1) = self.on_shot(x - 0.5, y - 0.5), self.on_shot(x + width - 0.5, y + height - 0.5)
        return self.image.crop((round(x0), round(y0), round(x1), round(y1))).getdata()

    def count(self, test, x, y, width, height):
        """Screen pixels inside the window rectangle for which test(colour) holds."""
        return sum(1 for colour in self.area(x, y, width, height) if test(colour))

    def mouse(self, kind, x, y, button="none", buttons=0, on_screen=False):
        """A mouse event at window point x, y; with on_screen, at that point of the page."""
        px, py = (x, y) if on_screen else self.at(x, y)
        self.browser.call("Input.dispatchMouseEvent", type=kind, x=px, y=py, button=button, buttons=buttons,
                          clickCount=1 if kind != "mouseMoved" else 0)

    def click(self, x, y, on_screen=False):
        self.mouse("mouseMoved", x, y, on_screen=on_screen)
        self.mouse("mousePressed", x, y, "left", 1, on_screen)
        self.mouse("mouseReleased", x, y, "left", 0, on_screen)

    def drag(self, button, x0, x1, y, step=10):
        mask = {"left": 1, "right": 2}[button]
        self.mouse("mouseMoved", x0, y)
        self.mouse("mousePressed", x0, y, button, mask)
        for x in range(x0 + step, x1 + 1, step):
            self.mouse("mouseMoved", x, y, button, mask)
        self.mouse("mouseReleased", x1, y, button, 0)

    def touch(self, kind, points, radius=1):
        """Fingers at window points; a radius of 50 window pixels is the flat of a hand."""
        touches = [{"x": self.at(x, y)[0], "y": self.at(x, y)[1], "id": n, "radiusX": radius * self.scale,
                    "radiusY": radius * self.scale} for n, (x, y) in enumerate(points)]
        self.browser.call("Input.dispatchTouchEvent", type=kind, touchPoints=touches)

    def pen(self, kind, x, y, buttons=0):
        """A pen's tip at window point x, y, through DevTools: touching while buttons is 1."""
        px, py = self.at(x, y)
        self.browser.call("Input.dispatchMouseEvent", type=kind, x=px, y=py, pointerType="pen",
                          button="left" if kind != "mouseMoved" or buttons else "none", buttons=buttons,
                          force=0.6 if buttons else 0, tiltX=20, tiltY=-10, clickCount=1 if kind != "mouseMoved" else 0)

    def scripted_pen(self, points, button, buttons):
        """A pen drawn along window points by pointer events dispatched from script, pressing with
        the given button (0 the tip, 5 the eraser end) and buttons (1, 32): for an end or a driver
        that has no pen of its own."""
        at = [self.at(x, y) for x, y in points]
        self.browser.evaluate(f"""(() => {{
            const canvas = document.querySelector('#screen canvas');
            const send = (type, [x, y], buttons) => canvas.dispatchEvent(new PointerEvent(type, {{
                pointerType: 'pen', pointerId: 9, isPrimary: true, bubbles: true, cancelable: true, composed: true,
                clientX: x, clientY: y, button: type === 'pointermove' ? -1 : {button}, buttons,
                pressure: buttons ? 0.5 : 0 }}));
            const at = {json.dumps(at)};
            send('pointerdown', at[0], {buttons});
            at.slice(1).forEach((point) => send('pointermove', point, {buttons}));
            send('pointerup', at[at.length - 1], 0);
            return true;
        }})()""")

    def eraser_end(self, points):
        """A pen's eraser end, as the browser reports that end: DevTools' pen has none."""
        self.scripted_pen(points, 5, 32)

    def key(self, key, code, keycode, modifiers=0):
        """A key pressed and let go; modifiers 2 holds Ctrl."""
        for kind in ("keyDown", "keyUp"):
            self.browser.call("Input.dispatchKeyEvent", type=kind, key=key, code=code, modifiers=modifiers,
                              windowsVirtualKeyCode=keycode, nativeVirtualKeyCode=keycode)

    def notice(self):
        return self.browser.evaluate(
            "document.getElementById('notice').hidden ? '' : document.getElementById('notice-text').textContent")


def chalk(colour):
    """Any chalk on the board: far from the board's own green."""
    return max(abs(a - b) for a, b in zip(colour, BOARD)) > 96


def near(expected):
    return lambda colour: max(abs(a - b) for a, b in zip(colour, expected)) <= 8


def drawn(page):
    page.shot()
    return (page.pixel(250, 200) == BOARD and page.pixel(3, 3) == FRAME and page.pixel(600, 440) == TRAY
            and page.pixel(50, 424) == TRAY and page.pixel(122, 424) == YELLOW
            and page.count(near(WHITE), 514, 8, 118, 392) > 300)


def serve(folder, port=0):
    server = subprocess.Popen([os.path.join(ROOT, "scripts", "lanes", "web", "serve.py"), folder, str(port)], stdout=subprocess.PIPE,
                              text=True)
    return server, server.stdout.readline().strip()


def main():
    site = sys.argv[1]
    server, url = serve(site)
    # The same site with the chalk's cursor file replaced by the eraser's, and the eraser's missing.
    swapped = tempfile.mkdtemp(prefix="zav-site-")
    shutil.copytree(site, swapped, dirs_exist_ok=True)
    shutil.move(os.path.join(swapped, "黒板消し.cur"), os.path.join(swapped, "チョーク.cur"))
    # And a page that writes a script into itself, which the server's policy must refuse.
    with open(os.path.join(swapped, "inline.html"), "w", encoding="utf-8") as inline:
        inline.write('<!doctype html><title>refused</title><script>document.title = "ran";</script>')
    swapped_server, swapped_url = serve(swapped)
    browser = Browser(800, 600)
    try:
        policy_in_force(browser, swapped_url)
        run(browser, url)
        pen(browser, url)
        refit(browser, url)
        phones(browser, url)
        slow_first_visit(browser, url)
        audit(url)
        screen_reader(browser, url)
        installable(browser, url)
        cursor_files(browser, site, swapped_url)
        time_zones(browser, url)
        without_webgl(url)
        server = offline(browser, site, url, server)
    finally:
        browser.close()
        server.terminate()
        swapped_server.terminate()
        shutil.rmtree(swapped)


def policy_in_force(browser, url):
    """The server's policy refuses a script written into a page: the board runs under it."""
    browser.call("Page.navigate", url=url + "inline.html")
    wait_until(lambda: browser.evaluate("document.readyState") == "complete" and browser.evaluate("document.title"),
               "the page with an inline script did not load")
    if browser.evaluate("document.title") != "refused":
        fail("a script written into the page ran: the Content-Security-Policy is not in force")
    ok("the server's Content-Security-Policy refuses a script written into a page; every page here runs under it")


def pen(browser, url):
    page = Page(browser, url)
    wait_until(lambda: drawn(page), "the board was not drawn for the pen")
    # The tip writes; a finger that lands while the tip is down writes nothing (a resting hand).
    page.pen("mouseMoved", 60, 150)
    page.pen("mousePressed", 60, 150, 1)
    for x in range(70, 301, 10):
        page.pen("mouseMoved", x, 150, 1)
        if x == 150:
            page.touch("touchStart", [(100, 250)])
        elif 150 < x <= 250:
            page.touch("touchMove", [(x - 50, 250)])
    page.touch("touchEnd", [])
    page.pen("mouseReleased", 300, 150)
    wait_until(lambda: page.shot() and page.count(near(WHITE), 60, 145, 245, 11) >= 100, "the pen's tip wrote nothing")
    if page.count(chalk, 90, 240, 220, 21):
        fail("a finger wrote while the pen's tip was down")
    ok("a pen's tip writes; a hand resting on the screen while it writes writes nothing")

    page.eraser_end([(x, 150) for x in range(40, 321, 5)])
    wait_until(lambda: page.shot() and page.count(chalk, 40, 140, 290, 21) == 0, "the pen's eraser end rubbed nothing out")
    ok("a pen's eraser end rubs out")


def refit(browser, url):
    """The browser's window grows from the unscaled board's, grows again and shrinks back: the
    board refits each time without a reload, what was written stays where it was on the board,
    each screen pixel one of the board's, and the menu open at the first refit closes."""
    browser.call("Emulation.setDeviceMetricsOverride", width=800, height=600, deviceScaleFactor=1, mobile=False)
    page = Page(browser, url)
    wait_until(lambda: drawn(page), "the board was not drawn on an 800 x 600 page")
    page.drag("left", 60, 300, 100)
    line = lambda: page.count(near(WHITE), 60, 95, 245, 11) >= 100 and page.count(chalk, 60, 120, 245, 40) == 0
    wait_until(lambda: page.shot() and line(), "a drag on the 800 x 600 page wrote no line")
    browser.evaluate("window.zavLoads = (window.zavLoads || 0) + 1")
    # Only the board's own colours, in whole screen pixels: nothing blended, nothing sheared, and no
    # menu left open over its corner.
    crisp = lambda: crisp_board(page)
    # The menu is open as the first refit comes.
    before = page.image.copy()
    page.click(462, 420)
    wait_until(lambda: page.shot() and menu_box(before, page.image) is not None, "a click on the eraser opened no menu")
    for y, (width, height, scale) in ((260, (1000, 800, 1.5)), (300, (1400, 1000, 2)), (340, (1000, 800, 1.5))):
        browser.call("Emulation.setDeviceMetricsOverride", width=width, height=height, deviceScaleFactor=1,
                     mobile=False)
        wait_until(lambda: page.locate() and page.scale == scale, f"a {width} x {height} page did not refit to {scale}")
        wait_until(lambda: page.shot() and drawn(page) and line() and crisp(),
                   f"the drawing was not kept, in place and crisp, at {scale} on a {width} x {height} page")
        if browser.evaluate("window.zavLoads") != 1:
            fail("the page reloaded to refit")
        page.drag("left", 60, 300, y)
        wait_until(lambda: page.shot() and page.count(near(WHITE), 60, y - 5, 245, 11) >= 100,
                   f"after the refit to {scale}, a drag wrote nowhere near the pointer")
    ok("the board refits live as the browser's window grows and shrinks, keeping what was written in place; "
       "an open menu closes; the pointer writes where it is")


# Lighthouse's mobile setting, as DevTools emulates it: 1.6 Mbit/s down, 750 kbit/s up, 150 ms
# round trip, a processor four times slower.
SLOW_NETWORK = {"offline": False, "latency": 150, "downloadThroughput": 1.6 * 1024 * 1024 / 8,
                "uploadThroughput": 750 * 1024 / 8}


def slow_first_visit(browser, url):
    """A phone's first visit on a slow network, nothing kept: the board's frame and a progress bar
    within 3 s, the bar growing with the download, and the board in place of it within 15 s."""
    browser.call("Emulation.setDeviceMetricsOverride", width=412, height=915, deviceScaleFactor=2.625, mobile=True)
    browser.call("Network.enable")
    for method, params in (("Network.setCacheDisabled", {"cacheDisabled": True}),
                           ("Network.setBypassServiceWorker", {"bypass": True}),
                           ("Network.emulateNetworkConditions", SLOW_NETWORK),
                           ("Emulation.setCPUThrottlingRate", {"rate": 4})):
        browser.call(method, **params)
    state = ("JSON.stringify({value: document.getElementById('progress')?.value ?? null,"
             " loading: document.getElementById('loading') ? !document.getElementById('loading').hidden : null,"
             " canvas: !!document.querySelector('#screen canvas')})")
    try:
        browser.navigate("about:blank")
        start = time.monotonic()
        browser.navigate(url)
        seen = []
        while time.monotonic() - start < DEADLINE:
            seen.append((time.monotonic() - start, json.loads(browser.evaluate(state) or "{}")))
            if seen[-1][1].get("loading") is False:
                break
            time.sleep(0.25)
        shown = seen[-1][0]
        bar = [(t, s["value"]) for t, s in seen if s.get("loading")]
        if not bar or bar[0][0] > 3:
            fail(f"no progress bar within 3 s of a slow first visit: {seen[:4]}")
        values = [v for _, v in bar]
        if len(set(values)) < 3 or values != sorted(values):
            fail(f"the progress bar did not grow with the download: {values}")
        if seen[-1][1].get("loading") is not False or not seen[-1][1].get("canvas"):
            fail(f"the progress bar did not give way to the board: {seen[-1]}")
        page = Page(browser)
        wait_until(lambda: page.locate() and drawn(page), "the board was not drawn after the slow first visit")
        if shown > 15:
            fail(f"on the slow first visit the board came after {shown:.1f} s")
    finally:
        for method, params in (("Emulation.setCPUThrottlingRate", {"rate": 1}),
                               ("Network.emulateNetworkConditions", {**SLOW_NETWORK, "latency": 0,
                                                                     "downloadThroughput": -1, "uploadThroughput": -1}),
                               ("Network.setBypassServiceWorker", {"bypass": False}),
                               ("Network.setCacheDisabled", {"cacheDisabled": False})):
            browser.call(method, **params)
    ok(f"a slow first visit shows the frame and a growing progress bar from {bar[0][0]:.1f} s, "
       f"and the board in its place at {shown:.1f} s")


def phones(browser, url):
    """On phones upright and turned, the whole window (frame, board, date, tray) at the largest
    quarter step of the screen's pixels a board pixel that fits, crisp; what is written is kept on
    a turn, and the finger writes where it is."""
    # Width and height in CSS pixels, the device pixel ratio, and the screen pixels a board pixel
    # takes, upright; then turned.
    rows = ((412, 915, 2.625, 1.5, 2.25), (360, 640, 3, 1.5, 2.25), (390, 844, 3, 1.75, 2.5))
    browser.call("Emulation.setTouchEmulationEnabled", enabled=True, maxTouchPoints=5)
    try:
        for width, height, ratio, upright, turned in rows:
            browser.call("Emulation.setDeviceMetricsOverride", width=width, height=height, deviceScaleFactor=ratio,
                         mobile=True)
            page = Page(browser, url)
            wait_until(lambda: page.locate() and drawn(page) and crisp_board(page),
                       f"the whole board was not drawn, crisp, on a {width} x {height} phone")
            if page.device_scale != upright:
                fail(f"a {width} x {height} phone at {ratio} shows the board at {page.device_scale}, not {upright}")
            if browser.evaluate("document.getElementById('too-small').hidden") is not True:
                fail(f"a {width} x {height} phone, which the board fits, is told it does not")
            page.touch("touchStart", [(60, 100)])
            for x in range(70, 301, 10):
                page.touch("touchMove", [(x, 100)])
            page.touch("touchEnd", [])
            line = lambda: page.count(near(WHITE), 60, 95, 245, 11) >= 100 and page.count(chalk, 60, 120, 245, 40) == 0
            wait_until(lambda: page.shot() and line(), f"a finger on a {width} x {height} phone wrote not where it was")
            browser.call("Emulation.setDeviceMetricsOverride", width=height, height=width, deviceScaleFactor=ratio,
                         mobile=True)
            wait_until(lambda: page.locate() and page.device_scale == turned and page.shot() and drawn(page)
                       and line() and crisp_board(page),
                       f"turned to {height} x {width}, the board was not refitted to {turned} with what was written")
        # A browser's window even one of its pixels a board pixel does not fit: the page says so, and
        # shows the board at that one pixel, to scroll to. (A phone's browser lays out a page wider
        # than its screen and shows all of it, smaller.)
        browser.call("Emulation.setDeviceMetricsOverride", width=320, height=240, deviceScaleFactor=1, mobile=False)
        page = Page(browser, url)
        wait_until(lambda: browser.evaluate("document.getElementById('too-small').hidden") is False
                   and page.locate() and page.device_scale == 1,
                   "a 320 x 240 screen is not told the board does not fit it, or the board is not at 1")
    finally:
        browser.call("Emulation.setTouchEmulationEnabled", enabled=False)
        browser.call("Emulation.setDeviceMetricsOverride", width=800, height=600, deviceScaleFactor=1, mobile=False)
    ok("phones upright and turned show the whole window, crisp, at the largest quarter step of their pixels; "
       "a turn keeps what was written; a screen too small is told so")


def audit(url):
    """Lighthouse's accessibility audit, on its mobile and its desktop setting: nothing found.
    Lighthouse is the one scripts/web installs ($ZAV_LIGHTHOUSE names it)."""
    flags = ("--headless --no-sandbox --use-gl=swiftshader --enable-unsafe-swiftshader --no-first-run "
             "--disable-background-networking --disable-component-update --disable-sync")
    for setting in ("mobile", "desktop"):
        report = os.path.join(tempfile.mkdtemp(prefix="zav-lighthouse-"), "report.json")
        subprocess.run([os.environ["ZAV_LIGHTHOUSE"], url, "--only-categories=accessibility", "--output=json",
                        f"--output-path={report}", "--quiet", f"--chrome-flags={flags}",
                        *(["--preset=desktop"] if setting == "desktop" else [])],
                       env=dict(os.environ, CHROME_PATH=shutil.which("chromium")), check=True, timeout=300)
        result = json.load(open(report))
        shutil.rmtree(os.path.dirname(report), ignore_errors=True)
        score = result["categories"]["accessibility"]["score"]
        found = [f"{name}: {check['title']}" for name, check in result["audits"].items()
                 if check.get("score") is not None and check["score"] < 1]
        if score != 1 or found:
            fail(f"Lighthouse's accessibility audit, {setting}: {round(score * 100)}; {'; '.join(found)}")
    ok("Lighthouse's accessibility audit scores 100 on its mobile and its desktop setting")


def crisp_board(page):
    """Only the board's own colours on it, in whole screen pixels: nothing blended, nothing
    sheared, and no menu left open over its corner."""
    return all(colour == BOARD or near(WHITE)(colour) for colour in page.area(8, 8, 497, 384))


def ax_names(browser):
    """Every node a screen reader is given, as (role, name, description)."""
    nodes = browser.call("Accessibility.getFullAXTree")["nodes"]
    value = lambda node, key: (node.get(key) or {}).get("value", "")
    return [(value(n, "role"), value(n, "name"), value(n, "description")) for n in nodes if not n.get("ignored")]


def screen_reader(browser, url):
    page = Page(browser, url)
    wait_until(lambda: drawn(page), "the board was not drawn for the screen reader")
    browser.call("Accessibility.enable")
    sticks = ["白のチョーク", "黄色のチョーク", "赤紫のチョーク", "赤のチョーク", "青のチョーク", "緑のチョーク"]
    told = lambda: ax_names(browser)
    # White is in hand, off the tray: the other sticks and the eraser are there to press.
    wait_until(lambda: all(any(r == "button" and name == n for r, name, _ in told()) for n in sticks[1:] + ["黒板消し"]),
               f"the sticks and the eraser are not buttons a screen reader is given: {told()}")
    wait_until(lambda: any("白のチョークを持っています。" in d for _, _, d in told()), "what is in hand is not told")
    date = re.compile(r"\d+月\d+日")
    if not any(date.search(name) for _, name, _ in told()):
        fail(f"the date is not given as text: {told()}")
    page.click(122, 424)
    wait_until(lambda: any("黄色のチョークを持っています。" in d for _, _, d in told()),
               "a pick does not change what is told to be in hand")
    # Tab moves the page's focus with the board's: onto the element of the picture in focus.
    page.key("Tab", "Tab", 9)
    focused = lambda: browser.evaluate("document.activeElement?.getAttribute('aria-label') || ''")
    wait_until(lambda: focused() in sticks + ["黒板消し"], f"Tab left the page's focus on {focused()!r}")
    # A screen reader's click on the eraser's element is a click on the eraser: the menu opens.
    browser.evaluate("[...document.querySelectorAll('#screen canvas [aria-label]')]"
                     ".find((e) => e.getAttribute('aria-label') === '黒板消し').click()")
    wait_until(lambda: all(any(r == "menuitem" and name == item for r, name, _ in told())
                           for item in ("全部消す", "日付を書き換える", "終了")),
               f"the open menu's commands are not told: {told()}")
    page.key("Escape", "Escape", 27)
    wait_until(lambda: not any(r == "menuitem" for r, _, _ in told()), "the closed menu's commands are still told")
    ok("a screen reader is given the sticks and the eraser as buttons, the chalk in hand before and after "
       "a pick, the date as text, the menu's commands while it is open; Tab moves its focus, its click presses")


def installable(browser, url):
    Page(browser, url)
    manifest = browser.call("Page.getAppManifest")
    data = json.loads(manifest.get("data") or "{}")
    if manifest.get("errors") or data.get("name") != "ZAV 黒板" or data.get("display") != "standalone":
        fail(f"the page's manifest: {manifest}")
    wait_until(lambda: browser.call("Page.getInstallabilityErrors")["installabilityErrors"] == [],
               f"the page cannot be installed: {browser.call('Page.getInstallabilityErrors')}")
    ok("the page can be installed as an app: its manifest names it, with its icons and colours")


def offline(browser, site, url, server):
    """After one visit the board opens with the server gone; a new deployment is what the next
    load runs. Returns the server running at the end."""
    # The service worker controls the page once it has kept everything.
    Page(browser, url)
    wait_until(lambda: browser.evaluate("!!navigator.serviceWorker.controller"), "the service worker does not serve the page")
    server.terminate()
    server.wait()
    page = Page(browser, url)
    wait_until(lambda: drawn(page), "with the server gone, the board was not drawn")
    page.drag("left", 60, 300, 100)
    wait_until(lambda: page.shot() and page.count(near(WHITE), 60, 95, 245, 11) >= 100, "offline, a drag wrote nothing")
    ok("after one visit the page opens and writes with the server gone")

    # A second deployment, at the same address: its program marks itself when it runs.
    second = tempfile.mkdtemp(prefix="zav-site-2-")
    shutil.copytree(site, second, dirs_exist_ok=True)
    with open(os.path.join(second, "zav-blackboard.js"), "a", encoding="utf-8") as program:
        program.write("\nself.zavDeployment = 2;\n")
    build = re.search(r'const build = "([0-9a-f]+)"', open(os.path.join(site, "page.js"), encoding="utf-8").read())[1]
    for name in ("index.html", "page.js", "service-worker.js"):
        path = os.path.join(second, name)
        text = open(path, encoding="utf-8").read()
        open(path, "w", encoding="utf-8").write(text.replace(build, "0000" + build[4:]))
    # Each changed file's compressed copies are made anew by a build; here they go, and the
    # server sends the file itself.
    for name in ("zav-blackboard.js", "index.html", "page.js", "service-worker.js"):
        for suffix in (".br", ".gz"):
            os.remove(os.path.join(second, name + suffix))
    server, _ = serve(second, urllib.parse.urlsplit(url).port)
    page = Page(browser, url)
    wait_until(lambda: drawn(page), "the second deployment's board was not drawn")
    if browser.evaluate("self.zavDeployment") != 2:
        fail("the load after a new deployment ran the old program")
    ok("a new deployment is what the next load runs")
    shutil.rmtree(second, ignore_errors=True)
    return server


def time_zones(browser, url):
    """Kiritimati (UTC+14) and Pago Pago (UTC-11) are always on different dates."""
    strips = []
    for zone in ("Pacific/Kiritimati", "Pacific/Pago_Pago"):
        browser.call("Emulation.setTimezoneOverride", timezoneId=zone)
        page = Page(browser, url)
        wait_until(lambda: drawn(page), f"the board was not drawn in {zone}")
        strips.append(list(page.area(514, 8, 118, 392)))
    browser.call("Emulation.setTimezoneOverride", timezoneId="")
    if strips[0] == strips[1]:
        fail("the date is the same in time zones a day apart")
    ok("the date follows the browser's time zone")


def without_webgl(url):
    browser = Browser(800, 600, "--disable-webgl")
    try:
        browser.call("Page.navigate", url=url)
        said = lambda: "WebGL" in (browser.evaluate("document.getElementById('notice-text')?.textContent") or "")
        wait_until(said, "a browser without WebGL is not told why the board does not show")
    finally:
        browser.close()
    ok("a browser without WebGL is told the board needs it")


def cursor_picture(browser):
    """The picture and hot spot of the canvas's CSS cursor, when it is one."""
    css = browser.evaluate("getComputedStyle(document.querySelector('#screen canvas')).cursor")
    match = re.match(r'url\("?data:image/png;base64,([^")]+)"?\) (\d+) (\d+)', css)
    if not match:
        return None
    image = Image.open(io.BytesIO(base64.b64decode(match.group(1)))).convert("RGBA")
    return image, (int(match.group(2)), int(match.group(3)))


def same_picture(shown, path):
    """The browser's cursor shows the cursor file: its opaque pixels in the file's colours, at the
    file's hot spot. (Pillow leaves a cursor's mask out, so only the opaque pixels are compared.)"""
    image, hot_spot = shown
    data = open(path, "rb").read()
    expected = Image.open(path).convert("RGBA")
    opaque = [(a, b) for a, b in zip(image.getdata(), expected.getdata()) if a[3] == 255]
    return (image.size == expected.size and len(opaque) > 50 and all(a[:3] == b[:3] for a, b in opaque)
            and hot_spot == (int.from_bytes(data[10:12], "little"), int.from_bytes(data[12:14], "little")))


def cursor_files(browser, site, swapped_url):
    page = Page(browser, swapped_url)
    wait_until(lambda: drawn(page), "the board with another cursor file was not drawn")
    page.mouse("mouseMoved", 250, 200)
    page.mouse("mousePressed", 250, 200, "left", 1)
    page.mouse("mouseMoved", 260, 200, "left", 1)
    shown = []
    wait_until(lambda: shown.append(cursor_picture(browser)) or shown[-1], "no picture cursor while writing")
    page.mouse("mouseReleased", 260, 200, "left", 0)
    if not same_picture(shown[-1], os.path.join(site, "黒板消し.cur")):
        fail("writing does not show the picture of the cursor file beside the program")
    refused = lambda name: any("使えません" in line and name in line for line in browser.console)
    if refused("チョーク.cur"):
        fail(f"the page's chalk cursor file was refused: {browser.console}")
    ok("the cursor files beside the program are fetched, decoded and shown as the browser's cursor")

    wait_until(lambda: page.shot() and page.count(chalk, 230, 190, 70, 21) > 0, "writing left no chalk")
    page.drag("right", 230, 290, 200, step=5)
    wait_until(lambda: refused("黒板消し.cur"), "a cursor file missing on the server is not named")
    wait_until(lambda: page.shot() and page.count(chalk, 230, 190, 70, 21) == 0,
               "without its cursor file the eraser does not rub out")
    ok("a cursor file missing on the server is named in one line, and the eraser rubs out all the same")


def run(browser, url):
    page = Page(browser, url)
    wait_until(lambda: drawn(page), "the board, frame, tray and date were not drawn")
    if browser.evaluate("document.title") != "ZAV 黒板":
        fail(f"the page's title is {browser.evaluate('document.title')!r}")
    if page.scale != 1 or abs(page.left - (800 - WIDTH) / 2) > 1:
        fail(f"an 800 x 600 page shows the window at {page.left},{page.top} scale {page.scale}")
    ok("the page shows the board, its frame, the tray and the date, centred, with the window's title")

    page.drag("left", 60, 300, 100)
    wait_until(lambda: page.shot() and page.count(near(WHITE), 60, 95, 245, 11) >= 100,
               "a left drag left no white chalk")
    ok("a mouse drag writes white chalk")

    page.click(122, 424)
    wait_until(lambda: page.shot() and page.pixel(122, 424) == TRAY, "the yellow stick stayed on the tray")
    page.drag("left", 60, 300, 200)
    wait_until(lambda: page.shot() and page.count(near(YELLOW), 60, 195, 245, 11) >= 100,
               "the drag after picking yellow is not yellow")
    ok("a click on a stick picks its colour; the next drag writes in it")

    page.drag("right", 40, 320, 100, step=5)
    wait_until(lambda: page.shot() and page.count(chalk, 40, 90, 290, 21) == 0, "chalk left after a right drag")
    ok("a right drag rubs the chalk out")

    page.drag("left", 100, 300, 320)
    wait_until(lambda: page.shot() and page.count(chalk, 100, 315, 205, 11) >= 100, "no chalk to rub out by hand")
    page.touch("touchStart", [(80, 320)], radius=50)
    for x in range(90, 331, 10):
        page.touch("touchMove", [(x, 320)], radius=50)
    page.touch("touchEnd", [])
    wait_until(lambda: page.shot() and page.count(chalk, 100, 290, 200, 61) == 0,
               "the flat of a hand did not rub the line out")
    ok("the flat of a hand rubs out")

    two_finger_stroke(page)
    ok("a two-finger touch stroke writes two lines")

    page.shot()
    before = page.image.copy()
    page.click(462, 420)
    menu = lambda: page.shot() and menu_box(before, page.image) is not None
    wait_until(menu, "a click on the eraser opened no menu")
    left, top, right, bottom = menu_box(before, page.image)
    item = (bottom - top) / 3
    page.click(left + 30, top + item / 2, on_screen=True)
    wait_until(lambda: page.shot() and page.count(chalk, 8, 8, 505, 392) == 0, "全部消す left chalk on the board")
    ok("the eraser's menu opens and 全部消す clears the board")

    page.shot()
    before = page.image.copy()
    page.click(462, 420)
    wait_until(menu, "the eraser's menu did not open again")
    left, top, right, bottom = menu_box(before, page.image)
    page.click(left + 30, bottom - item / 2, on_screen=True)
    wait_until(lambda: page.notice() == "黒板を終了しました。", "終了 did not say on the page that the board ended")
    browser.evaluate("document.getElementById('again').click()")
    page = Page(browser, url)
    wait_until(lambda: drawn(page), "もう一度始める did not start the board again")
    ok("終了 ends the board and says so on the page; もう一度始める starts it again")

    # White is in hand at the start: Tab reaches yellow, Right magenta, Space takes it up.
    page.key("Tab", "Tab", 9)
    page.key("ArrowRight", "ArrowRight", 39)
    page.key(" ", "Space", 32)
    wait_until(lambda: page.shot() and page.pixel(194, 424) == TRAY and page.pixel(50, 424) == WHITE,
               "Tab, Right and Space did not take up magenta")
    page.drag("left", 60, 300, 100)
    wait_until(lambda: page.shot() and page.count(near((255, 0, 255)), 60, 95, 245, 11) >= 100,
               "the chalk picked with Space does not write magenta")
    page.key("a", "KeyA", 65, modifiers=2)
    wait_until(lambda: page.shot() and page.count(chalk, 8, 8, 505, 392) == 0, "Ctrl+A did not erase the board")
    ok("Tab, the arrows and Space pick a stick from the keyboard; Ctrl+A erases")

    browser.call("Emulation.setDeviceMetricsOverride", width=1300, height=920, deviceScaleFactor=1, mobile=False)
    page = Page(browser, url)
    wait_until(lambda: drawn(page), "the board was not drawn on a larger page")
    if page.scale != 2 or abs(page.left - (1300 - 2 * WIDTH) / 2) > 1:
        fail(f"a 1300 x 920 page shows the window at {page.left},{page.top} scale {page.scale}")
    # Beyond the window's unscaled size too: the tray is below it.
    page.click(122, 424)
    wait_until(lambda: page.shot() and page.pixel(122, 424) == TRAY, "a click on the larger page's tray picked nothing")
    page.drag("left", 60, 300, 100)
    wait_until(lambda: page.shot() and page.count(near(YELLOW), 60, 95, 245, 11) >= 100,
               "a drag on the larger page wrote nowhere near the pointer")
    two_finger_stroke(page)
    ok("a larger page shows the window at the largest quarter step that fits, centred; "
       "clicks, drags and fingers act where they are on it")


def two_finger_stroke(page):
    page.touch("touchStart", [(100, 300), (100, 340)])
    for x in range(110, 301, 10):
        page.touch("touchMove", [(x, 300), (x, 340)])
    page.touch("touchEnd", [])
    two_lines = lambda: page.shot() and all(page.count(chalk, 100, y - 5, 205, 11) >= 100 for y in (300, 340))
    wait_until(two_lines, "a two-finger stroke did not write two lines")


def menu_box(before, after):
    """Where the two screenshots differ, in screen pixels: the menu, when one has opened."""
    box = ImageChops.difference(before, after).getbbox()
    if box is None or box[2] - box[0] < 60 or box[3] - box[1] < 40:
        return None
    return box


if __name__ == "__main__":
    main()
