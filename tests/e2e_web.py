#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""Plays Velmora's page in headless Chromium, as a person would, with real input.

Usage: e2e_web.py SITE_DIR [--shots DIR]

Serves SITE_DIR on 127.0.0.1 and checks, one line each: the start window and its picture,
in the page as served, its controls at their places;
"GIOCA" opens the game with the focus on "Chiudi"; the controls' places and fonts; the
playfield's colours; a game left
alone ends with "Game Over !" after about 4.1 s, Enter on it brings "GIOCA" back focused;
a pick from the speed list (a click, the arrow keys) slows the ball and keeps the game going
past 5.5 s, a typed speed changes nothing; a mouse drag and a finger drag move the paddle;
Escape, "Chiudi", a held Enter that starts one game; a canvas of twice the pixels at
devicePixelRatio 2; a phone's viewport, upright and sideways, with exact finger mapping;
"Fine"; the page played again with the server stopped (the service worker), and a changed
site served that replaces the cached one; and a console free of errors and warnings
throughout. With --shots, it also saves the README's pictures.
"""
import functools
import http.server
import re
import shutil
import socket
import sys
import tempfile
import threading
import time
import urllib.request

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys

TWIPS_PER_PIXEL = 15
PADDLE_TOP, PADDLE_WIDTH, PADDLE_HEIGHT = 7560, 1455, 375  # twips, in the playfield
FRAME_WIDTH = 9855

results = {"passed": 0, "failed": 0}

# Places (left, top, width, height) in twips in their window's client area, and fonts, of
# the elements the selectors name.
PLACES = """
    const at = (element) => {
        const box = element.getBoundingClientRect();
        const client = element.closest('.client').getBoundingClientRect();
        const style = getComputedStyle(element);
        return [box.left - client.left, box.top - client.top, box.width, box.height]
            .map((pixels) => Math.round(pixels * 15))
            .concat(style.fontSize, style.fontWeight, style.color);
    };
    return arguments[0].map((css) => at(document.querySelector(css)));"""


def check(name, ok, detail=""):
    results["passed" if ok else "failed"] += 1
    print(f"{'ok  ' if ok else 'FAIL'} {name}" + ("" if ok else f": {detail}"), flush=True)


class Server:
    """The site on a free port of 127.0.0.1; stopped, the port stays the page's origin."""

    def __init__(self, site, port=0):
        class Handler(http.server.SimpleHTTPRequestHandler):
            extensions_map = {".wasm": "application/wasm", ".json": "application/json",
                              ".js": "text/javascript", ".css": "text/css"}

            def log_message(self, *args):
                pass

        class Httpd(http.server.ThreadingHTTPServer):
            connections = []  # the browser's idle connections too, which a stop must end

            def get_request(self):
                connection, address = super().get_request()
                self.connections.append(connection)
                return connection, address

        self.httpd = Httpd(("127.0.0.1", port), functools.partial(Handler, directory=site))
        self.port = self.httpd.server_address[1]
        self.url = f"http://127.0.0.1:{self.httpd.server_address[1]}/"
        threading.Thread(target=self.httpd.serve_forever, daemon=True).start()

    def stop(self):
        self.httpd.shutdown()
        self.httpd.server_close()
        for connection in self.httpd.connections:
            try:
                connection.shutdown(socket.SHUT_RDWR)
            except OSError:
                pass  # closed already


class Page:
    def __init__(self, url, profile):
        options = webdriver.ChromeOptions()
        options.binary_location = "/usr/bin/chromium"
        for flag in ("--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
                     "--no-first-run", "--disable-background-networking",
                     "--disable-component-update", "--disable-sync",
                     "--window-size=1000,800", f"--user-data-dir={profile}"):
            options.add_argument(flag)
        options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
        self.driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
        self.url = url
        self.console = []

    def js(self, script, *args):
        return self.driver.execute_script(script, *args)

    def cdp(self, command, **params):
        return self.driver.execute_cdp_cmd(command, params)

    def wait(self, script, seconds=10.0):
        """Waits until the script returns something true; returns it, or None. A busy machine
        may take its time; a state that comes returns at once."""
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            value = self.js(script)
            if value:
                return value
            time.sleep(0.02)
        return None

    def read_console(self):
        self.console += self.driver.get_log("browser")

    def load(self):
        self.driver.get(self.url)
        return self.wait("return typeof Module == 'object' && Module.calledRun &&"
                         " document.querySelectorAll('.window').length == 2 &&"
                         " document.querySelector('.picture').complete")

    def element(self, css):
        return self.driver.find_element(By.CSS_SELECTOR, css)

    def button(self, window, caption):
        return self.driver.find_element(
            By.XPATH, f"//section[{window + 1}]//button[normalize-space()='{caption}']")

    def focused(self):
        return self.js("return document.activeElement.textContent")

    def game_open(self):
        return self.js("return !document.querySelectorAll('.window')[1].hidden")

    def message_open(self):
        return self.js("return document.querySelector('dialog').open")

    def paddle_left(self):
        return self.js("return Module._velmora_paddle_left()")

    def speed(self):
        return abs(self.js("return Module._velmora_speed()"))

    def key(self, key, code, repeat=False, down_only=False):
        """A real key press through the browser's input pipeline."""
        params = {"key": key, "code": code, "windowsVirtualKeyCode": {"Enter": 13, " ": 32,
                  "Escape": 27, "ArrowDown": 40, "ArrowUp": 38}[key]}
        text = {"Enter": "\r", " ": " "}.get(key)
        self.cdp("Input.dispatchKeyEvent", type="keyDown" if text else "rawKeyDown",
                 autoRepeat=repeat, **params, **({"text": text} if text else {}))
        if not down_only:
            self.cdp("Input.dispatchKeyEvent", type="keyUp", **params)

    def paddle_point(self):
        """The paddle's middle on the screen (viewport CSS pixels)."""
        return self.js("""
            const box = document.querySelector('canvas').getBoundingClientRect();
            const scale = box.width / document.querySelector('canvas').offsetWidth;
            return [box.left + (arguments[0] + arguments[1] / 2) / 15 * scale,
                    box.top + (arguments[2] + arguments[3] / 2) / 15 * scale, scale];""",
                       self.paddle_left(), PADDLE_WIDTH, PADDLE_TOP, PADDLE_HEIGHT)

    def finger_drag(self, dx, steps=5):
        """A drag by dx whole CSS pixels of the viewport, from a whole pixel on the paddle."""
        x, y = (round(at) for at in self.paddle_point()[:2])
        self.cdp("Input.dispatchTouchEvent", type="touchStart", touchPoints=[{"x": x, "y": y}])
        for step in range(1, steps + 1):
            self.cdp("Input.dispatchTouchEvent", type="touchMove",
                     touchPoints=[{"x": x + dx * step // steps, "y": y}])
        self.cdp("Input.dispatchTouchEvent", type="touchEnd", touchPoints=[])

    def colours(self):
        """How many canvas pixels have each of the playfield's colours."""
        return self.js("""
            const canvas = document.querySelector('canvas');
            const data = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
            const counts = {};
            for (let i = 0; i < data.length; i += 4) {
                const key = data[i] + ',' + data[i + 1] + ',' + data[i + 2];
                counts[key] = (counts[key] || 0) + 1;
            }
            return counts;""")

    def open_game(self):
        start = time.monotonic()
        ActionChains(self.driver).click(self.button(0, "GIOCA")).perform()
        self.wait("return document.activeElement.textContent == 'Chiudi'")
        return start

    def pick_speed(self, entry):
        ActionChains(self.driver).click(self.element(".opener")).perform()
        ActionChains(self.driver).click(
            self.driver.find_element(By.XPATH, f"//li[text()='{entry}']")).perform()


def play(page, shots):
    page.load()
    picture = page.js("const p = document.querySelector('.picture');"
                      "return [p.complete, p.naturalWidth, p.currentSrc.split('/').pop(),"
                      " document.querySelector('.title').textContent, document.title,"
                      " document.documentElement.lang]")
    check("start window: caption Velmora, its picture, GIOCA focused",
          picture == [True, 400, "avvio.jpg", "Velmora", "Velmora", "it"]
          and page.focused() == "GIOCA", f"{picture}, focus on {page.focused()!r}")
    if shots:
        page.element(".window").screenshot(f"{shots}/web-start-window.png")

    # The start window comes in the page itself, before any script, placed by the style sheet.
    with urllib.request.urlopen(page.url) as served:
        markup = served.read().decode()
    places = page.js(PLACES, [".picture", ".window button", ".window button + button"])
    expected = [[120, 120, 6000, 3375, "11px", "400", "rgb(0, 0, 0)"],
                [360, 360, 1335, 615, "11px", "700", "rgb(0, 0, 0)"],
                [5040, 2880, 855, 375, "11px", "400", "rgb(0, 0, 0)"]]
    check("the start window is in the page as served: the picture, GIOCA and Fine at their"
          " places in twips, in their fonts",
          re.search(r'<main id="desk">\s*<section class="window".*<img class="picture"'
                    r'.*>GIOCA</button>\s*<button [^>]*>Fine</button>', markup, re.DOTALL)
          and " style=" not in markup and places == expected, f"{places}")

    # A game left alone, timed by the page's clock: from the game window's showing to the
    # message's.
    page.js("""const watch = (element, attribute, name) => new MutationObserver(() => {
                   window[name] = window[name] || performance.now(); })
                   .observe(element, {attributes: true, attributeFilter: [attribute]});
               watch(document.querySelectorAll('.window')[1], 'hidden', 'shownAt');
               watch(document.querySelector('dialog'), 'open', 'overAt');""")
    page.open_game()
    check("GIOCA opens the game window, modal, with the focus on Chiudi",
          page.game_open() and page.focused() == "Chiudi"
          and page.js("return document.querySelector('.window').inert"),
          f"open {page.game_open()}, focus on {page.focused()!r}")
    # Places (left, top, width, height) in twips in the client area, and fonts.
    places = page.js(PLACES, ["canvas", ".speedbox", ".score",
                              ".window:nth-of-type(2) .client > button"])
    expected = [[120, 120, 9855, 8295, "11px", "400", "rgb(0, 0, 0)"],
                [1200, 8520, 1215, 315, "11px", "400", "rgb(0, 0, 0)"],
                [3360, 8520, 975, 375, "18px", "700", "rgb(255, 0, 0)"],
                [9120, 8520, 735, 375, "11px", "400", "rgb(0, 0, 0)"]]
    check("the playfield, speed box, score and Chiudi at their places in twips, in their fonts",
          places == expected, f"{places}")
    counts = page.colours()
    paddle_pixels = (PADDLE_WIDTH // TWIPS_PER_PIXEL - 2) * (PADDLE_HEIGHT // TWIPS_PER_PIXEL - 2)
    check("the playfield: white ground, bricks, ball and paddle in their colours, black outlines",
          counts.get("255,255,255", 0) > 200000 and counts.get("192,255,255", 0) > 57 * 400
          and counts.get("255,128,128", 0) > 100 and counts.get("192,255,192") == paddle_pixels
          and counts.get("0,0,0", 0) > 4000, f"{counts}")
    if shots:
        page.element(".window:nth-of-type(2)").screenshot(f"{shots}/web-game-window.png")
    # It ends on tick 265, about 4.1 s in; a busy machine can only make it later, so only the
    # least time is checked (the measured times are in the README).
    over = (page.wait("return document.querySelector('dialog').open && overAt", 30)
            - page.js("return shownAt")) / 1000
    text = page.js("return document.querySelector('dialog').textContent")
    check(f"a game left alone ends with Game Over ! after {over:.2f} s",
          3.5 <= over and text == "VelmoraGame Over !OK", f"{text!r}")
    page.key("Enter", "Enter")
    page.wait("return document.activeElement.textContent == 'GIOCA'")
    check("Enter on OK closes the game window, GIOCA has the focus",
          not page.message_open() and not page.game_open() and page.focused() == "GIOCA",
          f"focus on {page.focused()!r}")

    # A slow game: picks from the list, drags, a typed speed, Escape.
    started = page.open_game()
    page.pick_speed("20")
    picked = page.speed()
    page.key("ArrowDown", "ArrowDown")
    stepped_down = page.speed()
    page.key("ArrowUp", "ArrowUp")
    check("a pick from the speed list, and the arrow keys stepping through it, set the speed",
          (picked, stepped_down, page.speed()) == (20, 40, 20),
          f"{picked}, {stepped_down}, {page.speed()}")
    box = page.element(".speedbox input")
    ActionChains(page.driver).double_click(box).send_keys("200", Keys.ENTER, Keys.TAB).perform()
    check("a typed speed, Enter and leaving the box change nothing",
          page.speed() == 20 and box.get_attribute("value") == "200", f"speed {page.speed()}")

    # The drags wait for the ball's bounce: it is far from the paddle while it rises.
    page.wait("return Module._velmora_speed() < 0", 6)
    before = page.paddle_left()
    x, y, _ = page.paddle_point()
    body = page.element("body")
    mouse = ActionChains(page.driver).move_to_element_with_offset(
        body, x - body.rect["width"] / 2, y - body.rect["height"] / 2).click_and_hold()
    for _ in range(5):
        mouse.move_by_offset(-20, 0)
    mouse.release().perform()
    moved = page.paddle_left() - before
    check("a mouse drag of 100 pixels moves the paddle 1500 twips", moved == -1500, f"{moved}")
    before = page.paddle_left()
    page.finger_drag(100)  # back under the ball, which the slower game needs
    moved = page.paddle_left() - before
    check("a finger drag of 100 pixels moves the paddle 1500 twips", moved == 1500, f"{moved}")

    time.sleep(max(0.0, started + 5.6 - time.monotonic()))
    check("the slower game is still going after 5.5 s",
          page.game_open() and not page.message_open() and page.speed() == 20,
          f"open {page.game_open()}, message {page.message_open()}, speed {page.speed()}")
    page.key("Escape", "Escape")
    check("Escape closes the game window, GIOCA has the focus",
          page.wait("return document.activeElement.textContent == 'GIOCA'")
          and not page.game_open())

    # A held Enter starts one game.
    page.js("""window.shows = 0;
        new MutationObserver(() => window.shows += !document.querySelectorAll('.window')[1].hidden)
            .observe(document.querySelectorAll('.window')[1], {attributes: true});""")
    page.key("Enter", "Enter", down_only=True)
    for _ in range(8):
        page.key("Enter", "Enter", repeat=True, down_only=True)
    page.cdp("Input.dispatchKeyEvent", type="keyUp", key="Enter", code="Enter",
             windowsVirtualKeyCode=13)
    page.wait("return !document.querySelectorAll('.window')[1].hidden")
    check("a held Enter on GIOCA starts one game",
          page.js("return window.shows") == 1 and page.game_open(),
          f"{page.js('return window.shows')} showings")
    ActionChains(page.driver).click(page.button(1, "Chiudi")).perform()
    check("Chiudi closes the game window", not page.game_open() and page.focused() == "GIOCA")

    # Sharper and smaller screens.
    page.cdp("Emulation.setDeviceMetricsOverride", width=1000, height=800, deviceScaleFactor=2,
             mobile=False)
    page.open_game()
    page.pick_speed("20")  # the game lasts through what follows
    size = page.wait("const c = document.querySelector('canvas');"
                     "return c.width == 2 * c.offsetWidth && [c.width, c.height]")
    check("at devicePixelRatio 2 the canvas has twice the pixels", size == [1314, 1106], f"{size}")
    if shots:
        page.element(".window:nth-of-type(2)").screenshot(f"{shots}/web-game-window-2x.png")
    for width, height in ((360, 640), (640, 360)):
        page.cdp("Emulation.setDeviceMetricsOverride", width=width, height=height,
                 deviceScaleFactor=2, mobile=True)
        fits = page.wait(f"""const d = document.documentElement;
            const w = document.querySelectorAll('.window')[1].getBoundingClientRect();
            return innerWidth == {width} && d.scrollWidth <= innerWidth && w.left >= 0 &&
                w.right <= innerWidth + 0.5 && w.bottom <= innerHeight + 0.5""")
        before = page.paddle_left()
        scale = page.paddle_point()[2]
        page.finger_drag(-30)
        moved = page.paddle_left() - before
        check(f"a {width}x{height} viewport: the window fits scaled by {scale:.3f}, no sideways"
              f" scrolling, a finger drag moves the paddle {moved:.0f} twips",
              fits and scale < 1 and abs(moved - (-30 / scale * TWIPS_PER_PIXEL)) <= 2,
              f"fits {fits}")
        if shots and width == 360:
            page.driver.save_screenshot(f"{shots}/web-phone.png")
    page.cdp("Emulation.clearDeviceMetricsOverride")
    page.key("Escape", "Escape")

    ActionChains(page.driver).click(page.button(0, "Fine")).perform()
    ended = page.wait("return document.querySelector('.ended')?.textContent")
    check("Fine ends Velmora and offers it again", ended == "Velmora è terminato.Avvia di nuovo",
          f"{ended!r}")


def play_offline(page, server):
    # The worker takes the page over once it has cached the whole site.
    page.load()
    page.wait("return navigator.serviceWorker.controller != null", 10)
    server.stop()
    loaded = page.load()
    if loaded:
        page.open_game()
    # Drawn: the bricks' colour is on the canvas.
    drawn = loaded and page.wait("""const c = document.querySelector('canvas');
        const d = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
        for (let i = 0; i < d.length; i += 4)
            if (d[i] == 192 && d[i + 1] == 255 && d[i + 2] == 255) return true;
        return false;""")
    check("with the server stopped, the page opens and plays from the service worker's cache",
          drawn and page.game_open() and page.js("return Module._velmora_paddle_left()") > 0)


def play_update(page, site, port):
    """A changed site, served again at the same address: its worker takes over, with the
    changed files, and the old cache goes."""
    changed = tempfile.mkdtemp(prefix="velmora-site-")
    shutil.copytree(site, changed, dirs_exist_ok=True)
    with open(f"{changed}/page.js", "a") as script:
        script.write("window.changedSite = true;\n")
    with open(f"{changed}/sw.js") as worker:
        text = worker.read()
    with open(f"{changed}/sw.js", "w") as worker:
        worker.write(text.replace('const cacheName = "velmora-', 'const cacheName = "velmora-changed-'))
    server = Server(changed, port)
    try:
        page.load()  # the browser finds the changed worker, which caches the changed site
        caches = page.wait("return caches.keys().then((names) => names.length == 1 &&"
                           " names[0].startsWith('velmora-changed-') && names)", 25)
        page.load()
        check("a changed site replaces the cached one, and the old cache goes",
              caches and page.js("return window.changedSite === true"), f"caches {caches}")
    finally:
        server.stop()
        shutil.rmtree(changed, ignore_errors=True)


def main():
    site = sys.argv[1]
    shots = sys.argv[3] if len(sys.argv) > 3 and sys.argv[2] == "--shots" else None
    server = Server(site)
    profile = tempfile.mkdtemp(prefix="velmora-e2e-")
    page = Page(server.url, profile)
    try:
        for phase in (lambda: play(page, shots), lambda: play_offline(page, server),
                      lambda: play_update(page, site, server.port)):
            try:
                phase()
            except Exception as error:  # a page that stops answering fails, and the rest runs
                check("the page answers", False, f"{type(error).__name__}: {error}".split("\n")[0])
        page.read_console()
        noise = [entry for entry in page.console if entry["level"] in ("WARNING", "SEVERE")]
        check("the console shows no error and no warning", not noise,
              "; ".join(entry["message"] for entry in noise))
    finally:
        page.driver.quit()
        shutil.rmtree(profile, ignore_errors=True)
    print(f"{results['passed']} passed, {results['failed']} failed")
    return 1 if results["failed"] else 0


if __name__ == "__main__":
    sys.exit(main())
