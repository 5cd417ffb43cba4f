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
F4 and Alt+Down on the speed box; a phone played by touch alone: areas a finger can hit, the
speed list by a finger, a drag that drifts off the paddle; "Fine"; axe-core's checks in each
window, the list open, "Game Over !" and after "Fine"; the page played again with the
server stopped (the service worker), and a changed site served that replaces the cached one;
and a console free of errors and warnings throughout.
The lab (index.html?lab, reached by the "Come funziona" link): its panel beside the
game window and never over it, wide and upright; GIOCA, "Pausa", ten ticks on ("Stato" as
velmora-sim prints it after the same script), one back, the slider to 0, a drag while paused,
"Riprendi"; "Salva la partita" replayed by the simulator to the same last line; "Apri una
partita" played to its end and on; a broken script and a file over 1 MB refused, one of
almost 1 MB opened; a replay that overflows ends Velmora; the script language's odd files
read alike by the lab and velmora-sim, and a file refused while an error ends Velmora; its marks
on the playfield, none on the plain page; "Codice" at a bounce, a wall, a brick and the fall,
its lit lines those velmora-sim --lines prints; the lab offline. With --shots, it also saves the
README's pictures.
"""
import functools
import http.server
import os
import re
import shutil
import socket
import subprocess
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

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

TWIPS_PER_PIXEL = 15
PADDLE_TOP, PADDLE_WIDTH, PADDLE_HEIGHT = 7560, 1455, 375  # twips, in the playfield
FRAME_WIDTH, FRAME_HEIGHT = 9855, 8295
PLAYFIELD_NAME = "Campo di gioco: i mattoni, la pallina e la racchetta"

results = {"passed": 0, "failed": 0}
AXE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "vendor", "axe-core", "axe.min.js")

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


# The area (width, height in CSS pixels of the viewport) in which a press lands on each
# element, as the browser's own hit test finds it, out from the element's middle; and whether
# every pixel of that area, and of the element's own box, lands on it (1 pixel in from their
# edges: the hit test is not exact to the sub-pixel). A press on the speed box's own area
# beyond its parts is its text field's.
HIT_AREAS = """
    const owns = (element, x, y) => {
        const hit = document.elementFromPoint(x, y);
        return hit !== null && element.contains(hit.matches('.speedbox') ? hit.firstChild : hit);
    };
    const reach = (element, x, y, dx, dy) => {
        let far = 0;
        while (far < 400 && owns(element, x + (far + 0.25) * dx, y + (far + 0.25) * dy)) {
            far += 0.25;
        }
        return far;
    };
    return arguments[0].map((element) => {
        const box = element.getBoundingClientRect();
        const x = box.left + box.width / 2;
        const middle = box.top + box.height / 2;
        const top = middle - reach(element, x, middle, 0, -1);
        const bottom = middle + reach(element, x, middle, 0, 1);
        const left = x - reach(element, x, (top + bottom) / 2, -1, 0);
        const right = x + reach(element, x, (top + bottom) / 2, 1, 0);
        let solid = true;
        for (const [x0, y0, x1, y1] of [[left, top, right, bottom],
                                        [box.left, box.top, box.right, box.bottom]]) {
            for (let py = y0 + 1; py < y1 - 1; py += 1) {
                for (let px = x0 + 1; px < x1 - 1; px += 1) {
                    solid = solid && owns(element, px, py);
                }
            }
        }
        return [right - left, bottom - top, solid];
    });"""


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

    def key(self, key, code, repeat=False, down_only=False, alt=False):
        """A real key press through the browser's input pipeline."""
        params = {"key": key, "code": code, "modifiers": 1 if alt else 0,
                  "windowsVirtualKeyCode": {"Enter": 13, " ": 32, "Escape": 27,
                                            "ArrowDown": 40, "ArrowUp": 38, "F4": 115}[key]}
        text = {"Enter": "\r", " ": " "}.get(key)
        self.cdp("Input.dispatchKeyEvent", type="keyDown" if text else "rawKeyDown",
                 autoRepeat=repeat, **params, **({"text": text} if text else {}))
        if not down_only:
            self.cdp("Input.dispatchKeyEvent", type="keyUp", **params)

    def axe(self):
        """axe-core's violations in the page as it is, target sizes included: rule, elements."""
        if not self.js("return typeof axe == 'object'"):
            with open(AXE) as source:
                self.js(source.read())
        return self.driver.execute_async_script("""const done = arguments[0];
            axe.run(document, {rules: {'target-size': {enabled: true}}}).then(
                (found) => done(found.violations.map((v) => [v.id, v.nodes.map((n) => n.target)])),
                (error) => done([['axe failed', String(error)]]));""")

    def hit_areas(self, elements):
        return self.js(HIT_AREAS, elements)

    def tap(self, element, radius=20):
        """A finger's tap, 40 CSS pixels across, on the middle of the element."""
        x, y = self.js("const b = arguments[0].getBoundingClientRect();"
                       "return [b.left + b.width / 2, b.top + b.height / 2]", element)
        self.cdp("Input.dispatchTouchEvent", type="touchStart",
                 touchPoints=[{"x": x, "y": y, "radiusX": radius, "radiusY": radius}])
        self.cdp("Input.dispatchTouchEvent", type="touchEnd", touchPoints=[])

    def paddle_point(self):
        """The paddle's middle on the screen (viewport CSS pixels)."""
        return self.js("""
            const box = document.querySelector('canvas').getBoundingClientRect();
            const scale = box.width / document.querySelector('canvas').offsetWidth;
            return [box.left + (arguments[0] + arguments[1] / 2) / 15 * scale,
                    box.top + (arguments[2] + arguments[3] / 2) / 15 * scale, scale];""",
                       self.paddle_left(), PADDLE_WIDTH, PADDLE_TOP, PADDLE_HEIGHT)

    def finger_drag(self, dx, steps=5, dy=0, mouse=False):
        """A drag by dx whole CSS pixels of the viewport, from a whole pixel on the paddle,
        drifting dy down on the way: by a finger, or the same way by a mouse."""
        x, y = (round(at) for at in self.paddle_point()[:2])
        kinds = ["mousePressed", "mouseMoved", "mouseReleased"] if mouse else \
            ["touchStart", "touchMove", "touchEnd"]
        for step in range(steps + 2):
            at = {"x": x + dx * min(step, steps) // steps, "y": y + dy * min(step, steps) / steps}
            kind = kinds[min(step, 1) + (step > steps)]
            if mouse:
                self.cdp("Input.dispatchMouseEvent", type=kind, button="left", clickCount=1,
                         buttons=0 if step > steps else 1, **at)
            else:
                self.cdp("Input.dispatchTouchEvent", type=kind,
                         touchPoints=[] if step > steps else [at])

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
        # A click that comes while the window is being laid out again (a new screen size)
        # may miss the opener: once more, then.
        for _ in range(3):
            ActionChains(self.driver).click(self.element(".opener")).perform()
            if self.wait("return !document.querySelector('.list').hidden", 2):
                break
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
    found = {"the start window": page.axe()}  # axe-core's violations, by what was shown

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
    # What a screen reader is told: the playfield an image with an Italian name, the score
    # a polite live region.
    nodes = page.cdp("Accessibility.getFullAXTree")["nodes"]
    images = [n["name"]["value"] for n in nodes if n.get("role", {}).get("value") == "image"]
    live = [p["value"]["value"] for n in nodes for p in n.get("properties", [])
            if p["name"] == "live"]
    check("a screen reader finds the playfield, an image named in Italian, and the score, said"
          " politely when it changes", images == [PLAYFIELD_NAME] and live == ["polite"],
          f"images {images}, live {live}")
    # Places (left, top, width, height) in twips in the client area, and fonts.
    places = page.js(PLACES, ["canvas", ".speedbox", ".score",
                              ".window:nth-of-type(2) .client > button"])
    expected = [[120, 120, 9855, 8295, "11px", "400", "rgb(0, 0, 0)"],
                [1200, 8520, 1215, 315, "11px", "400", "rgb(0, 0, 0)"],
                [3360, 8520, 975, 375, "18px", "700", "rgb(255, 0, 0)"],
                [9120, 8520, 735, 375, "11px", "400", "rgb(0, 0, 0)"]]
    check("the playfield, speed box, score and Chiudi at their places in twips, in their fonts",
          places == expected, f"{places}")
    border = page.js("return getComputedStyle(document.querySelector('.score')).borderTopColor")
    check("the score's thin border in the layout's colour, black as on the desktop",
          border == "rgb(0, 0, 0)", border)
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
    found["Game Over !"] = page.axe()
    hits = page.hit_areas([page.element("dialog button")])
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
    found["the game window"] = page.axe()
    # As in a desktop's combo box, F4 and Alt+Down open and close the list; the arrow keys
    # step through an open one, which stays open; Escape closes it, and the window stays.
    shown = []
    for key, code, alt in (("F4", "F4", False), ("ArrowDown", "ArrowDown", False),
                           ("F4", "F4", False), ("ArrowDown", "ArrowDown", True),
                           ("Escape", "Escape", False), ("ArrowUp", "ArrowUp", False)):
        page.key(key, code, alt=alt)
        shown.append([page.js("return !document.querySelector('.list').hidden"), page.speed()])
        if len(shown) == 2:
            found["the game window, the speed list open"] = page.axe()
    check("F4 and Alt+Down open the speed list, the arrow keys step through it open, Escape"
          " closes it",
          shown == [[True, 20], [True, 40], [False, 40], [True, 40], [False, 40], [False, 20]]
          and page.game_open() and page.js("return document.activeElement.tagName") == "INPUT",
          f"{shown}")
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
                 deviceScaleFactor=1 if width == 360 else 2, mobile=True)
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
    play_phone(page, shots)

    ActionChains(page.driver).click(page.button(0, "Fine")).perform()
    ended = page.wait("return document.querySelector('.ended')?.textContent")
    check("Fine ends Velmora and offers it again", ended == "Velmora è terminato.Avvia di nuovo",
          f"{ended!r}")
    found["the page after Fine"] = page.axe()
    hits += page.hit_areas([page.element(".ended button")])
    print(f"     hit areas of OK in Game Over ! and of Avvia di nuovo: {hits}", flush=True)
    check("OK and Avvia di nuovo can be hit in 24 x 24 CSS pixels or more",
          all(w >= 24 and h >= 24 and solid for w, h, solid in hits), f"{hits}")
    check("axe-core, target sizes too, finds no violation in " + ", ".join(found),
          not any(found.values()), f"{found}")


def play_phone(page, shots):
    """A phone, 360 x 640 at ratio 3, played by touch alone, upright and sideways."""
    page.cdp("Emulation.setTouchEmulationEnabled", enabled=True, maxTouchPoints=1)

    def turn(width, height):
        page.cdp("Emulation.setDeviceMetricsOverride", width=width, height=height,
                 deviceScaleFactor=3, mobile=True)
        # Laid out for the new screen: each window whole on it, and, if scaled, as large as it
        # fits (the old screen's smaller windows would fit the new one too).
        page.wait(f"return innerWidth == {width} && [...document.querySelectorAll('.window')]"
                  f".every((w) => {{ const r = w.getBoundingClientRect();"
                  f" return r.right <= {width} + 0.5 && r.bottom <= {height} + 0.5 &&"
                  f" (w.style.transform == 'none' ||"
                  f" Math.min({width} - r.width, {height} - r.height) < 1); }})")

    sizes = {}
    for width, height in ((360, 640), (640, 360)):
        turn(width, height)
        sizes[width] = page.hit_areas([page.button(0, "GIOCA"), page.button(0, "Fine")])
    page.tap(page.button(0, "GIOCA"))
    page.wait("return document.activeElement.textContent == 'Chiudi'")
    picks = []
    for width, height in ((360, 640), (640, 360)):
        turn(width, height)
        # The list opened by a finger, and 20 picked; the first pick makes a long game.
        page.tap(page.element(".opener"))
        page.wait("return !document.querySelector('.list').hidden")
        entries = page.hit_areas(page.driver.find_elements(By.CSS_SELECTOR, ".list li"))
        shown = page.js("const b = document.querySelector('.list').getBoundingClientRect();"
                        "return b.top >= 0 && b.bottom <= innerHeight &&"
                        " document.activeElement.tagName != 'INPUT'")
        if shots and width == 360:
            page.driver.save_screenshot(f"{shots}/web-phone-list.png")
        violations = page.axe()
        page.tap(page.driver.find_element(By.XPATH, "//li[text()='20']"))
        page.wait("return document.querySelector('.list').hidden")
        picks.append([min(h for _, h, _ in entries), all(ok for *_, ok in entries), shown,
                      page.speed(), page.js("return document.activeElement.tagName"), violations])
        sizes[width] += page.hit_areas([page.button(1, "Chiudi"), page.element(".speedbox input"),
                                        page.element(".opener"), page.element("canvas")])
        scale = page.paddle_point()[2]
        # The playfield all its own; the paddle its width, and its band and a finger's reach.
        _, playfield_height, playfield_own = sizes[width].pop()
        playfield_own &= playfield_height > FRAME_HEIGHT / TWIPS_PER_PIXEL * scale - 1
        sizes[width].append([PADDLE_WIDTH / TWIPS_PER_PIXEL * scale,
                             PADDLE_HEIGHT / TWIPS_PER_PIXEL * scale + 24, playfield_own])
        print(f"     {width}x{height}: " + ", ".join(f"{name} {w:.1f} x {h:.1f}" for name, (w, h, _)
              in zip(["GIOCA", "Fine", "Chiudi", "the speed box's text", "its button",
                      "the paddle"], sizes[width])) + f"; the list's entries {entries[0][0]:.1f} x"
              f" {picks[-1][0]:.1f}; axe-core, list open: {violations or 'no violation'}",
              flush=True)
    check("a phone, upright and sideways: every control can be hit in 24 x 24 CSS pixels or"
          " more, none over another",
          all(w >= 24 and h >= 24 and ok for w, h, ok in sizes[360] + sizes[640]), f"{sizes}")
    check("the speed list opened by a finger: entries 24 pixels high or more, on the screen, no"
          " text field focused; a finger's tap picks 20 and leaves none focused; axe-core finds"
          " nothing",
          all(h >= 24 and solid and shown and speed == 20 and focus not in ("INPUT", "TEXTAREA")
              and not violations for h, solid, shown, speed, focus, violations in picks),
          f"{picks}")

    # Upright, a drag that slides sideways and drifts 10 pixels below the paddle: a finger
    # keeps the paddle all the way, a mouse, as ever, only while it is on the paddle.
    turn(360, 640)
    scale = page.paddle_point()[2]
    full = 40 / scale * TWIPS_PER_PIXEL
    below = round(PADDLE_HEIGHT / TWIPS_PER_PIXEL * scale / 2) + 10
    moved = []
    for mouse in (False, True):
        before = page.paddle_left()
        page.finger_drag(40 if mouse else -40, steps=8, dy=below, mouse=mouse)
        moved.append(page.paddle_left() - before)
    check(f"a finger's drag of 40 pixels that drifts 10 below the paddle moves it {moved[0]:.0f}"
          f" twips; a mouse's lets go of it ({moved[1]:.0f})",
          abs(moved[0] + full) <= 2 and 0 < moved[1] < full - 2, f"{moved}")
    page.cdp("Emulation.setTouchEmulationEnabled", enabled=False)
    page.cdp("Emulation.clearDeviceMetricsOverride")
    page.key("Escape", "Escape")


def simulate(script, *options):
    """The state lines velmora-sim prints for the script: the native build if there is one,
    else the one for node beside the site."""
    native = os.path.join(ROOT, "build/release/tools/velmora-sim")
    command = [native] if os.path.exists(native) else [
        os.path.join(ROOT, "tools/node.sh"), os.path.join(ROOT, "build/web/velmora-sim.js")]
    done = subprocess.run(command + list(options), input=script, text=True, capture_output=True,
                          check=False)
    return done.stdout.splitlines()


LAB_MARKS = "0,0,192"  # the lab's colour on the playfield (drawing.h)


def lab_shown(page):
    """The panel as the student reads it: the tick, the slider's end, "Stato", Pausa's caption."""
    return page.js("""const slider = document.querySelector('.lab input[type=range]');
        return [Number(slider.value), Number(slider.max),
                document.querySelector('.lab output').value,
                document.querySelector('.lab-time button').textContent];""")


def lab_press(page, caption, times=1):
    # The panel follows a new game window on the page's next task: wait for its caption.
    path = f"//aside//button[normalize-space()='{caption}']"
    page.wait(f"return document.evaluate(\"{path}\", document, null,"
              " XPathResult.FIRST_ORDERED_NODE_TYPE, null).singleNodeValue != null", 5)
    button = page.driver.find_element(By.XPATH, path)
    for _ in range(times):
        ActionChains(page.driver).click(button).perform()


def lab_open_file(page, folder, name, text):
    path = os.path.join(folder, name)
    with open(path, "w") as script:
        script.write(text)
    page.element(".lab input[type=file]").send_keys(path)


def apart(a, b):
    return a["right"] <= b["left"] or b["right"] <= a["left"] or \
        a["bottom"] <= b["top"] or b["bottom"] <= a["top"]


def lab_placement(page, width, height, mobile, side):
    """The panel on the side expected of the game window, covering neither window."""
    page.cdp("Emulation.setDeviceMetricsOverride", width=width, height=height,
             deviceScaleFactor=1, mobile=mobile)
    # The boxes once page.js has fitted the windows to the new screen (or as they are).
    script = f"""const box = (e) => e.getBoundingClientRect().toJSON();
        const [start, game] = document.querySelectorAll('.window');
        const boxes = [box(start), box(game), box(document.querySelector('.lab'))];
        return arguments[0] || innerWidth == {width} && boxes[1].right <= {width} + 0.5
            && boxes[1].bottom <= {height} + 0.5 ? boxes : null;"""
    boxes = page.wait(script) or page.js(script, True)
    start, game, panel = boxes
    beside = game["right"] <= panel["left"] + 0.5 if side == "right" else \
        game["bottom"] <= panel["top"] + 0.5
    inside = panel["right"] <= width + 0.5 and panel["bottom"] <= height + 0.5 and \
        game["right"] <= width + 0.5 and game["bottom"] <= height + 0.5
    check(f"a {width}x{height} screen: the lab's panel is {'right of' if side == 'right' else side}"
          f" the game window, covering"
          " neither window", beside and inside and apart(panel, start) and apart(panel, game),
          f"{boxes}")


def play_lab(page, shots):
    # The link on the plain page opens the lab; inert while the game window is open.
    page.load()
    link = page.element("#lablink")
    ActionChains(page.driver).click(link).perform()
    loaded = page.wait("return location.search == '?lab' && typeof Module == 'object' &&"
                       " Module.calledRun && document.querySelector('.lab') != null")
    check("\"Come funziona\" on the page's ground opens the lab, and leads back to ./",
          loaded and page.element("#lablink").get_attribute("href").endswith("/"),
          f"at {page.js('return location.href')}")
    page.open_game()
    check("with the game window open, the start window is inert, the panel and its link"
          " \"Chiudi il laboratorio\" are not",
          page.js("return document.querySelector('.window').inert &&"
                  " !document.querySelector('#lablink').inert &&"
                  " document.querySelector('#lablink').textContent == 'Chiudi il laboratorio' &&"
                  " !document.querySelector('.lab').closest('[inert]')"))
    lab_placement(page, 1000, 800, False, "right")

    # Pause, ten ticks on, one back, the slider to 0: "Stato" as the simulator prints it.
    lab_press(page, "Pausa")
    paused = page.wait("return document.querySelector('.lab-time button').textContent =="
                       " 'Riprendi'")
    tick = lab_shown(page)[0]
    time.sleep(0.2)
    check("\"Pausa\" stops the ticks and becomes \"Riprendi\"",
          paused and lab_shown(page)[0] == tick, f"{tick}, then {lab_shown(page)}")
    lab_press(page, "Un tick avanti", 10)
    shown = lab_shown(page)
    expected = simulate(f"activate\ntick {tick + 10}\n")[-1]
    check(f"ten presses of \"Un tick avanti\": tick {tick + 10}, and \"Stato\" is the"
          " simulator's line", shown[0] == tick + 10 and shown[2] == expected,
          f"{shown}, expected {expected!r}")
    marks = page.colours().get(LAB_MARKS, 0)
    check("the lab's marks are on the playfield", marks > 100, f"{marks} pixels")
    lab_press(page, "Un tick indietro")
    shown = lab_shown(page)
    check("\"Un tick indietro\" goes back one tick, the history stays",
          shown[0] == tick + 9 and shown[1] == tick + 10
          and shown[2] == simulate(f"activate\ntick {tick + 9}\n")[-1], f"{shown}")
    # What the page hands the program is checked before it is used: a tick or a clock speed
    # that is no number, infinite, a fraction or out of range changes nothing.
    script = urllib.request.urlopen(page.url.rstrip("/") + "/lab.js").read().decode()
    controls = dict(re.findall(r"(\w+): (\d+)", re.search(r"const ClockControl = \{(.*?)\}",
                                                             script).group(1)))
    for value in ("NaN", "Infinity", "-Infinity", "1e300", "-1", "2.5"):
        page.js(f"Module._velmora_lab_control({controls['Show']}, {value});"
                f"Module._velmora_lab_control({controls['Divisor']}, {value});")
    refused = lab_shown(page)
    check("a tick or a speed from the page that is no whole number in range changes nothing",
          refused[:3] == shown[:3], f"{refused}, before {shown}")
    page.element(".lab input[type=range]").send_keys(Keys.HOME)
    shown = lab_shown(page)
    log = page.js("return [...document.querySelectorAll('.lab-log li')].slice(-2)"
                  ".map(entry => entry.textContent)")
    check("the slider to 0: the pyramid just built, and the log's first entries Form_Load"
          " and Form_Activate", shown[0] == 0 and shown[2] == simulate("activate\n")[-1]
          and log[1].startswith("tick 0: Form_Load") and "cmbVel.Text" in log[1]
          and log[0].startswith("tick 0: Form_Activate"), f"{shown}, {log!r}")

    # A drag at tick 0 starts a new history; "Riprendi" plays on from there.
    before = page.paddle_left()
    x, y, scale = page.paddle_point()
    body = page.element("body")
    ActionChains(page.driver).move_to_element_with_offset(
        body, x - body.rect["width"] / 2, y - body.rect["height"] / 2).click_and_hold() \
        .move_by_offset(-40, 0).release().perform()
    shown = lab_shown(page)
    moved = page.paddle_left() - before
    newest = page.js("return document.querySelector('.lab-log li').textContent")
    check("a drag while paused moves the paddle, forgets the future, and is logged first",
          abs(moved - (-40 / scale * TWIPS_PER_PIXEL)) <= 2 and shown[0] == 0 and shown[1] == 0
          and newest.startswith("tick 0: frame_MouseUp"), f"{moved}, {shown}, {newest!r}")
    lab_press(page, "Riprendi")
    going = page.wait("return Number(document.querySelector('.lab input[type=range]').value)"
                      " > 20")
    lab_press(page, "Pausa")
    check("\"Riprendi\" plays on from there", going and page.paddle_left() == before + moved)
    if shots:
        page.driver.save_screenshot(f"{shots}/web-lab.png")

    # "Salva la partita": the simulator replays the file to the line "Stato" shows.
    downloads = tempfile.mkdtemp(prefix="velmora-lab-")
    try:
        page.cdp("Browser.setDownloadBehavior", behavior="allow", downloadPath=downloads)
        lab_press(page, "Salva la partita")
        saved = os.path.join(downloads, "velmora-partita.txt")
        end = time.monotonic() + 5
        while not os.path.exists(saved) and time.monotonic() < end:
            time.sleep(0.05)
        script = open(saved).read() if os.path.exists(saved) else ""
        shown = lab_shown(page)
        check("\"Salva la partita\" downloads velmora-partita.txt, which the simulator replays"
              " to the line \"Stato\" shows", script.startswith("activate\n") and "down 1 " in script
              and simulate(script)[-1] == shown[2], f"{script[:200]!r}, {shown}")

        # "Apri una partita": at tick 0, paused; "Riprendi" plays it, and the game goes on.
        opened = "activate\ntick 30\ndown 1 7700 7700\nmove 1 8300 7700\nup 1 8300 7700\n" \
                 "pick 20\ntick 50\n"
        lab_open_file(page, downloads, "partita.txt", opened)
        shown = page.wait("const s = document.querySelector('.lab input[type=range]');"
                          " return s.max == '80' && s.value == '0' && 1")
        check("\"Apri una partita\" opens the game window on the script's game, at tick 0,"
              " paused, the slider over its 80 ticks", shown and page.game_open()
              and lab_shown(page)[3] == "Riprendi" and lab_shown(page)[2]
              == simulate("activate\n")[-1], f"{lab_shown(page)}")
        lab_press(page, "Riprendi")
        played = page.wait("return Number(document.querySelector('.lab input[type=range]')"
                           ".value) > 84", 8)
        lab_press(page, "Pausa")
        shown = lab_shown(page)
        check(f"\"Riprendi\" plays the script to its end and on, at its speed (tick {shown[0]})",
              played and shown[2] == simulate(opened + f"tick {shown[0] - 80}\n")[-1]
              and page.speed() == 20, f"{shown}")

        # Refusals: nothing else changes.
        lab_open_file(page, downloads, "rotta.txt", "activate\ntick 5\nsalta 3\n")
        refusal = page.wait("return document.querySelector('.lab-refusal').textContent")
        check("a broken script is refused with its line, and nothing changes",
              refusal and "riga 3" in refusal and lab_shown(page) == shown, f"{refusal!r}")
        lab_open_file(page, downloads, "quasi.txt", "activate\n" + "tick\n" * 209000)
        opened = page.wait("const s = document.querySelector('.lab input[type=range]');"
                           " return s.max == '265' && s.value == '0' && 1", 10)
        check("a script of almost 1 MB opens: a game left alone, to its end at tick 265", opened,
              f"{lab_shown(page)}")
        shown = lab_shown(page)
        lab_open_file(page, downloads, "grande.txt", "tick\n" * 300000)
        refusal = page.wait("const t = document.querySelector('.lab-refusal').textContent;"
                            " return t.includes('1 MB') && t")
        check("a file over 1 MB is refused", refusal and lab_shown(page) == shown, f"{refusal!r}")
    finally:
        shutil.rmtree(downloads, ignore_errors=True)

    lab_placement(page, 360, 640, True, "below")
    if shots:
        page.driver.save_screenshot(f"{shots}/web-lab-phone.png")
    page.cdp("Emulation.clearDeviceMetricsOverride")
    page.js("document.activeElement.blur()")  # Escape in the panel is the panel's
    page.key("Escape", "Escape")
    check("the game window closed, the lab keeps its game",
          not page.game_open() and lab_shown(page) == shown, f"{lab_shown(page)}")

    # A script whose replay raises a run-time error ends as the game does.
    folder = tempfile.mkdtemp(prefix="velmora-lab-")
    try:
        lab_open_file(page, folder, "overflow.txt", "activate\ntick 5\npick 40000\ntick\n")
        page.wait("return document.querySelector('.lab input[type=range]').max == '5'")
        lab_press(page, "Riprendi")
        text = page.wait("const d = document.querySelector('dialog'); return d.open && d.textContent")
        page.key("Enter", "Enter")
        ended = page.wait("return document.querySelector('.ended')?.textContent")
        check("a script whose replay overflows: the Italian message, then Velmora has ended",
              text == "VelmoraErrore di run-time: overflowOK"
              and ended == "Velmora è terminato.Avvia di nuovo", f"{text!r}, {ended!r}")
    finally:
        shutil.rmtree(folder, ignore_errors=True)

    # The plain page has none of the lab's marks; its link to the lab is 24 pixels high.
    page.driver.get(page.url)
    page.load()
    link = page.hit_areas([page.element("#lablink")])[0]
    check(f"\"Come funziona\" on the plain page can be hit in {link[0]:.0f} x {link[1]:.0f}"
          " pixels", link[0] >= 24 and link[1] >= 24 and link[2], f"{link}")
    page.open_game()
    marks = page.colours().get(LAB_MARKS, 0)
    check("the plain page has no lab: no panel, no marks", marks == 0
          and not page.js("return document.querySelector('.lab')"), f"{marks} pixels")
    page.key("Escape", "Escape")


def play_lab_review(page):
    """A game that has ended is watched again on its playfield, from its last tick back to 0
    and forward again; "Game Over !" comes only when the fall is played."""
    page.driver.get(page.url + "?lab")
    page.wait("return typeof Module == 'object' && Module.calledRun &&"
              " document.querySelector('.lab') != null")
    fall = "activate\ntick 9999\n"  # left alone, the ball falls on tick 265
    folder = tempfile.mkdtemp(prefix="velmora-lab-")
    try:
        lab_open_file(page, folder, "caduta.txt", fall)
        page.wait("return document.querySelector('.lab input[type=range]').max == '265'")
        page.element(".lab input[type=range]").send_keys(Keys.END)
        shown = lab_shown(page)
        ends = page.js("return [...document.querySelectorAll('.lab button')].filter("
                       "(b) => b.disabled).map((b) => b.textContent)")
        check("the slider's end shows the fall on the playfield, without \"Game Over !\", and"
              " nothing plays on from there", shown[0] == 265 and page.game_open()
              and not page.message_open() and shown[2] == simulate(fall)[-1]
              and "Riprendi" in ends and "Un tick avanti" in ends, f"{shown}, {ends}")

        lab_press(page, "Un tick indietro", 5)
        back = lab_shown(page)[0]
        page.element(".lab input[type=range]").send_keys(Keys.HOME)
        lab_press(page, "Riprendi")
        over = page.wait("const d = document.querySelector('dialog');"
                         " return d.open && d.textContent.includes('Game Over !')", 10)
        page.key("Enter", "Enter")
        closed = page.wait("return document.querySelectorAll('.window')[1].hidden")
        page.wait("return document.querySelector('.lab input[type=range]').value == '265'")
        shown = lab_shown(page)
        check("back from the end, then from tick 0 \"Riprendi\" plays the game to its fall,"
              " which shows \"Game Over !\"; OK closes the window", back == 260 and over
              and shown[0] == 265 and closed, f"tick {back}, {shown}")

        lab_press(page, "Un tick indietro")
        again = lab_shown(page)
        lab_press(page, "Un tick avanti")
        shown = lab_shown(page)
        check("once closed, a step shows the window again on the same game, and the step"
              " onto the fall shows no message", page.game_open() and again[0] == 264
              and again[2] == simulate("activate\ntick 264\n")[-1] and shown[0] == 265
              and not page.message_open() and shown[2] == simulate(fall)[-1],
              f"{again}, {shown}")
    finally:
        shutil.rmtree(folder, ignore_errors=True)


def lab_change(page, name, value):
    """"Cambia un valore": the name chosen, the value typed, "Cambia" pressed by a finger."""
    page.js("const name = document.querySelector('.lab-set select'); name.value = arguments[0];"
            " name.dispatchEvent(new Event('change'));", name)
    field = page.element(".lab-set label:last-of-type input")
    field.clear()
    field.send_keys(value)
    page.tap(page.driver.find_element(By.XPATH, "//aside//button[normalize-space()='Cambia']"))


def play_lab_set(page):
    """"Cambia un valore" on a phone: paused, velX changed and the game played on, saved and
    replayed by velmora-sim to the line "Stato" shows; velY 40000 refused, nothing changed."""
    page.cdp("Emulation.setDeviceMetricsOverride", width=360, height=640, deviceScaleFactor=1,
             mobile=True)
    page.driver.get(page.url + "?lab")
    page.wait("return typeof Module == 'object' && Module.calledRun &&"
              " document.querySelector('.lab') != null")
    page.open_game()
    usable = "return !document.querySelector('.lab-set').disabled"
    playing_usable = page.js(usable)
    lab_press(page, "Pausa")
    page.wait("return document.querySelector('.lab-time button').textContent == 'Riprendi'")
    check("\"Cambia un valore\" is usable while paused, not while the game plays",
          not playing_usable and page.wait(usable))
    controls = page.driver.find_elements(By.CSS_SELECTOR, ".lab-set select, .lab-set input,"
                                                          " .lab-set button")
    page.js("const name = arguments[0]; name.value = 'shaX(I).Visible';"
            " name.dispatchEvent(new Event('change')); name.scrollIntoView({block: 'center'})",
            controls[0])  # the brick's index shown too
    sizes = page.hit_areas(controls)
    check("on a phone, each of its controls can be hit in 24 x 24 pixels or more",
          len(controls) == 4 and all(w >= 24 and h >= 24 and solid for w, h, solid in sizes),
          f"{sizes}")
    page.element(".lab input[type=range]").send_keys(Keys.HOME)  # before the first bounce
    tick = lab_shown(page)[0]
    lab_change(page, "velX", "30")
    shown = lab_shown(page)
    newest = page.wait("const e = document.querySelector('.lab-log li').textContent;"
                       " return e.includes('velX = 30') && e")
    check("velX set to 30 at the tick shown: \"Stato\" and the log say so, as the code writes it",
          shown[0] == tick and " velX=30 " in shown[2] and newest
          == f"tick {tick}: velX = 30\n  velX: 0 → 30", f"{shown}, {newest!r}")
    lab_press(page, "Riprendi")
    page.wait(f"return Number(document.querySelector('.lab input[type=range]').value) > {tick + 20}")
    lab_press(page, "Pausa")
    script = page.js("return Module.UTF8ToString(Module._velmora_lab_script())")
    shown = lab_shown(page)
    check("the game saved holds the set, and velmora-sim replays it to the line \"Stato\" shows",
          "\nset velX 30\n" in script and simulate(script)[-1] == shown[2],
          f"{script!r}, {shown}")

    lab_change(page, "velY", "40000")
    refusal = page.wait("return document.querySelector('.lab-set [role=alert]').textContent")
    check("velY 40000 is refused in Italian, and nothing changes",
          refusal == "Il valore non cambia: '40000' è fuori dai limiti: un Integer va da"
          " -32768 a 32767." and lab_shown(page) == shown
          and page.js("return Module.UTF8ToString(Module._velmora_lab_script())") == script,
          f"{refusal!r}, {lab_shown(page)}")
    violations = page.axe()
    check("axe-core finds nothing with a value refused", not violations, f"{violations}")
    page.cdp("Emulation.clearDeviceMetricsOverride")


# The script language's files (README): each opened in the lab and given to velmora-sim is
# read alike, to the same last state line or refused at the same line.
LAB_SCRIPTS = {
    "bom.txt": b"\xef\xbb\xbf# con BOM\nactivate\ntick 100\n",
    "utf16.txt": "activate\ntick 100\n".encode("utf-16"),
    "senza_activate.txt": b"tick 100\n",
    "cr.txt": b"activate\rtick 100\rpick 200\rtick 20\r",
    "commenti.txt": b"# nota\nactivate\ntick 40 # il primo rimbalzo\ntick 43\npick 200 # veloce\n"
                    b"tick 10\n",
    "crlf.txt": b"activate\r\n\ttick 40  \r\n\r\ntick\t43\r\n",
    "nul.txt": b"activate\ntick 5\n\x00salta 3\n",
    "segni.txt": b"activate\ndown +-1 7800 7700\n",
    "fuori.txt": b"activate\nmove 1 1e39 7700\n",
    "invisibile.txt": b"activate\ntick\xc2\xa040\n",
    "parola.txt": b"activate\n" + b"x" * 100000 + b" 3\n",
    "infinita.txt": b"activate\npick 0\ntick 9223372036854775807\n",
}


def simulate_bytes(data):
    """velmora-sim's last state line for the script's bytes, and the line it refused, if any."""
    native = os.path.join(ROOT, "build/release/tools/velmora-sim")
    command = [native] if os.path.exists(native) else [
        os.path.join(ROOT, "tools/node.sh"), os.path.join(ROOT, "build/web/velmora-sim.js")]
    done = subprocess.run(command, input=data, capture_output=True, check=False)
    refused = re.search(r"line (\d+): ", done.stderr.decode())
    return done.stdout.decode().splitlines()[-1], int(refused.group(1)) if refused else None


def play_lab_scripts(page):
    page.driver.get(page.url + "?lab")
    page.wait("return typeof Module == 'object' && Module.calledRun &&"
              " document.querySelector('.lab') != null")
    folder = tempfile.mkdtemp(prefix="velmora-scripts-")
    pending = "return document.querySelector('.lab-refusal').textContent = '\u2026'"
    told = ("const t = document.querySelector('.lab-refusal').textContent;"
            " return t != '\u2026' && [t]")
    try:
        for name, data in LAB_SCRIPTS.items():
            path = os.path.join(folder, name)
            with open(path, "wb") as script:
                script.write(data)
            page.js(pending)
            before = lab_shown(page)
            page.element(".lab input[type=file]").send_keys(path)
            refusal = (page.wait(told) or ["(no answer)"])[0]
            last, refused_at = simulate_bytes(data)
            if refused_at:
                same = refusal.startswith(f"La partita non si apre: riga {refused_at}: ") \
                    and len(refusal) < 200 and lab_shown(page) == before
            else:
                page.js("""const slider = document.querySelector('.lab input[type=range]');
                    slider.value = slider.max;
                    slider.dispatchEvent(new Event('input'));""")
                same = refusal == "" and lab_shown(page)[2] == last
            check(f"{name}: the lab reads it as velmora-sim does"
                  f" ({'refused at line ' + str(refused_at) if refused_at else 'the same state'})",
                  same, f"{refusal!r}, {last!r}, {lab_shown(page)}")

        # A file opened while a run-time error is ending Velmora is refused, and the error
        # box still ends it.
        page.js(pending)
        path = os.path.join(folder, "overflow.txt")
        with open(path, "wb") as script:
            script.write(b"activate\ntick 5\npick 40000\ntick\n")
        page.element(".lab input[type=file]").send_keys(path)
        page.wait(told)
        lab_press(page, "Riprendi")
        page.wait("return document.querySelector('dialog')?.open")
        page.js(pending)
        page.element(".lab input[type=file]").send_keys(os.path.join(folder, "bom.txt"))
        refusal = (page.wait(told) or ["(no answer)"])[0]
        page.key("Enter", "Enter")
        ended = page.wait("return document.querySelector('.ended')?.textContent")
        check("a file opened while a run-time error is ending Velmora is refused, and OK ends it",
              "errore di run-time" in refusal and ended == "Velmora è terminato.Avvia di nuovo",
              f"{refusal!r}, {ended!r}")
    finally:
        shutil.rmtree(folder, ignore_errors=True)


# Each element the student must reach, scrolled into view as a wheel, a finger or the keys
# would: whether its middle (or its first line) is inside the viewport and the element's own
# there, covered by nothing; as [what, reached].
REACH = """
    return arguments[0].map((element) => {
        element.scrollIntoView({block: 'nearest'});
        const box = element.getBoundingClientRect();
        const x = box.left + box.width / 2;
        const y = box.top + Math.min(box.height / 2, 8);
        const hit = document.elementFromPoint(x, y);
        return [element.getAttribute('aria-label') || element.textContent.slice(0, 30)
                    || element.type || element.className,
                box.top >= 0 && box.bottom <= innerHeight + 0.5 && box.left >= 0 &&
                box.right <= innerWidth + 0.5 && hit !== null && element.contains(hit)];
    });"""


def lab_layout_shift(page, width, height, mobile):
    """The lab's page loaded afresh on a screen: its layout shift, as Lighthouse adds it up."""
    page.cdp("Emulation.setDeviceMetricsOverride", width=width, height=height,
             deviceScaleFactor=1, mobile=mobile)
    page.driver.get(page.url + "?lab")
    page.wait("return typeof Module == 'object' && Module.calledRun &&"
              " document.querySelector('.lab') != null")
    time.sleep(0.5)  # the panel's first refresh, and anything that would follow it
    return page.driver.execute_async_script("""const done = arguments[0];
        let shift = 0;
        new PerformanceObserver((found) => found.getEntries().forEach((entry) => {
            shift += entry.hadRecentInput ? 0 : entry.value; }))
            .observe({type: 'layout-shift', buffered: true});
        setTimeout(() => done(shift), 200);""")


def lab_watch_said(page):
    """Counts what the lab's live region says from now on."""
    page.js("""window.said = [];
        new MutationObserver(() => window.said.push(document.querySelector('.lab [role=status]')
            .textContent)).observe(document.querySelector('.lab [role=status]'),
                                   {childList: true, characterData: true, subtree: true});""")


def lab_tick_rate(page, seconds=1.5):
    """The ticks a second of a game opened by GIOCA, over its first `seconds`."""
    started = page.open_game()
    time.sleep(seconds)
    return lab_shown(page)[0] / (time.monotonic() - started)


def play_lab_class(page, shots):
    """The lab as a class uses it: every word in reach, on a phone too; what a screen reader
    is told and the keys; the clock kept; "Vai al tick"; a teacher's link to a moment."""
    shifts = {f"{w}x{h}": lab_layout_shift(page, w, h, mobile)
              for w, h, mobile in ((360, 640, True), (1280, 800, False))}
    print(f"     the lab's layout shift from its first frame: {shifts}", flush=True)
    check("the lab's page paints its windows and its panel in their places: a layout shift of"
          " 0.01 at most, on a phone and a desktop", all(s <= 0.01 for s in shifts.values()),
          f"{shifts}")
    found = {"the lab open": page.axe()}

    # A speed chosen before GIOCA is the first game's from its first tick, and the next one's.
    ActionChains(page.driver).click(page.driver.find_element(
        By.XPATH, "//aside//label[normalize-space()='1/4']")).perform()
    rates = []
    for _ in range(2):
        rates.append(lab_tick_rate(page))
        if len(rates) == 1:
            lab_watch_said(page)
            time.sleep(0.6)  # two more of the panel's refreshes while it plays
            playing = page.js("return window.said")
            found["the lab, a game playing"] = page.axe()
            nodes = page.cdp("Accessibility.getFullAXTree")["nodes"]
            live = sorted(p["value"]["value"] for n in nodes for p in n.get("properties", [])
                          if p["name"] == "live" and n.get("role", {}).get("value") == "status")
        ActionChains(page.driver).click(page.button(1, "Chiudi")).perform()
    check(f"1/4 of the clock chosen before GIOCA plays {rates[0]:.0f} and {rates[1]:.0f} ticks"
          " a second in two games, not 64", all(0 < rate <= 20 for rate in rates), f"{rates}")
    check("while the game plays the lab says nothing; \"Stato\" is no live region, the lab's"
          " one status is", playing == [] and live == ["polite"], f"{playing}, {live}")

    # Paused, stepped by a held Enter: said once each time, the window stays on Escape.
    page.open_game()
    lab_press(page, "Pausa")
    page.wait("return window.said.length > 0")
    paused = lab_shown(page)[0]
    said = page.js("return window.said")
    forward = page.driver.find_element(By.XPATH, "//aside//button[normalize-space()="
                                                 "'Un tick avanti']")
    page.js("arguments[0].focus()", forward)
    page.key("Enter", "Enter", down_only=True)
    for _ in range(5):
        page.key("Enter", "Enter", repeat=True, down_only=True)
    page.cdp("Input.dispatchKeyEvent", type="keyUp", key="Enter", code="Enter",
             windowsVirtualKeyCode=13)
    stepped = lab_shown(page)[0] - paused
    page.key("Escape", "Escape")
    # Before the first bounce (tick 83, five seconds in at 1/4) the ball only moves on.
    expected = [f"tick 1–{tick}: Timer_Timer × {tick}" for tick in range(paused, paused + 7)]
    check(f"\"Pausa\" says the tick's explanation once ({said[-1][:40]!r}); a held Enter on"
          " \"Un tick avanti\" steps 6 ticks, each said once; Escape in the panel keeps the"
          " game window", said == expected[:1] and stepped == 6
          and page.js("return window.said") == expected and page.game_open(),
          f"said {page.js('return window.said')}, stepped {stepped}, open {page.game_open()}")
    found["the lab, paused with entries"] = page.axe()

    # The whole game, at its next-to-last tick by "Vai al tick": on a phone held sideways,
    # every control and the log's first entry in reach, each hit in 24 x 24 pixels or more.
    with open(os.path.join(ROOT, "bench/whole_game.txt")) as source:
        whole = source.read()
    folder = tempfile.mkdtemp(prefix="velmora-lab-")
    try:
        lab_open_file(page, folder, "whole_game.txt", whole)
        page.wait("return document.querySelector('.lab input[type=range]').max == '12699'", 20)
        named = page.js("return document.querySelector('.lab-name').textContent")
    finally:
        shutil.rmtree(folder, ignore_errors=True)
    page.cdp("Emulation.setDeviceMetricsOverride", width=640, height=360, deviceScaleFactor=2,
             mobile=True)
    page.cdp("Emulation.setTouchEmulationEnabled", enabled=True, maxTouchPoints=1)
    page.wait("return innerWidth == 640")
    slider = page.element(".lab input[type=range]")
    track = [slider.rect["width"]]
    goto = page.element(".lab input[type=number]")
    if shots:  # the first bounce, and why
        goto.send_keys("83", Keys.ENTER)
        page.wait("return document.querySelector('.lab input[type=range]').value == '83'")
        page.driver.save_screenshot(f"{shots}/web-lab-phone-sideways.png")
    goto.clear()
    goto.send_keys("12698", Keys.ENTER)
    page.wait("return document.querySelector('.lab input[type=range]').value == '12698'", 10)
    track.append(slider.rect["width"])
    shown = lab_shown(page)
    last_tick = whole.rstrip("\n").rsplit("\n", 1)
    expected = simulate(f"{last_tick[0]}\ntick {int(last_tick[1].split()[1]) - 1}\n")[-1]
    check(f"{named!r}; \"Vai al tick\" 12698 shows it there, \"Stato\" the simulator's line;"
          " the slider's track keeps its width", named == "Partita: whole_game.txt"
          and shown[:3] == [12698, 12699, expected] and track[0] == track[1],
          f"{shown}, expected {expected!r}, track {track}")
    lab_log = page.js("return [...document.querySelectorAll('.lab-log li')].reverse()"
                      ".map((item) => item.textContent)")
    explained = subprocess.run(
        [os.path.join(ROOT, "tools/node.sh"), os.path.join(ROOT, "build/web/velmora-sim.js"),
         "--explain"], input=f"{last_tick[0]}\ntick {int(last_tick[1].split()[1]) - 1}\n",
        text=True, capture_output=True, check=False).stdout
    # velmora-sim prints each entry's lines two spaces in, after the state lines.
    listed = re.split(r"\n(?=tick )", "\n".join(line[2:] for line in explained.splitlines()
                                                if line.startswith("  ")))
    check(f"the log keeps the whole game: its {len(lab_log)} entries from tick 0 are those"
          " velmora-sim --explain lists", lab_log == listed and len(lab_log) > 800,
          f"{len(lab_log)} entries against {len(listed)},"
          f" first apart {next((pair for pair in zip(lab_log, listed) if pair[0] != pair[1]), 0)}")

    controls = page.js("return [...document.querySelectorAll('#lablink, .lab button, .lab input,"
                       " .lab select, .lab-logbox, .lab-log li:last-child')]"
                       ".filter((e) => !e.closest('[hidden]'))")  # not one not shown
    reached = page.js(REACH, controls)
    sizes = page.js("""return arguments[0].map((e) => {
        const box = (e.type == 'radio' ? e.parentElement : e).getBoundingClientRect();
        return [box.width, box.height]; })""", controls[:-2])
    # By the keys: the log takes the focus, and End brings its first entry.
    page.js("document.querySelector('.lab').scrollTop = 0")
    page.element(".lab-logbox").send_keys(Keys.END)
    by_keys = page.js(REACH.replace("element.scrollIntoView({block: 'nearest'});", ""),
                      [page.element(".lab-log li:last-child")])
    # By wheel: the panel, then the log, scroll to their ends. By finger: the panel to its
    # end, flicked above the log's box (a flick that starts on the log scrolls the log), and
    # the log too (a flick moves it about 300 pixels: its end is 100 flicks away).
    ends = []
    for source in ("mouse", "touch"):
        page.js("document.querySelector('.lab').scrollTop = 0;"
                "document.querySelector('.lab-logbox').scrollTop = 0;")
        for css in (".lab", ".lab-logbox"):
            for _ in range(40 if css == ".lab" or source == "mouse" else 1):
                if page.js(f"const e = document.querySelector('{css}');"
                           " return e.scrollTop + e.clientHeight >= e.scrollHeight - 1"):
                    break
                above = ".lab-logbox" if css == ".lab" and source == "touch" else "#nothing"
                x, y = page.js(f"const b = document.querySelector('{css}').getBoundingClientRect();"
                               f" const log = document.querySelector('{above}');"
                               " return [b.left + b.width / 2, Math.min(b.bottom, innerHeight,"
                               " log ? log.getBoundingClientRect().top : Infinity) - 10]")
                if source == "mouse":
                    page.cdp("Input.synthesizeScrollGesture", x=x, y=y, yDistance=-2000,
                             gestureSourceType="mouse", speed=20000)
                else:  # a finger's flick upwards
                    for step in range(8):
                        page.cdp("Input.dispatchTouchEvent",
                                 type="touchMove" if step else "touchStart",
                                 touchPoints=[{"x": x, "y": y - 40 * step}])
                    page.cdp("Input.dispatchTouchEvent", type="touchEnd", touchPoints=[])
        ends.append(page.js(REACH.replace("element.scrollIntoView({block: 'nearest'});", ""),
                            [page.element(".lab-log li:last-child")])[0][1] if source == "mouse"
                    else page.js("const panel = document.querySelector('.lab');"
                                 " return panel.scrollTop + panel.clientHeight >="
                                 " panel.scrollHeight - 1 &&"
                                 " document.querySelector('.lab-logbox').scrollTop > 100"))
    print(f"     640x360, hit sizes: {sizes}", flush=True)
    check(f"a phone held sideways: all {len(controls)} controls and the log's first entry in"
          " reach, by scrolling into view, the keys and the wheel; a finger scrolls the panel"
          " and the log",
          all(ok for _, ok in reached) and by_keys[0][1] and ends == [True, True],
          f"{[what for what, ok in reached if not ok]}, keys {by_keys}, wheel and finger {ends}")
    check("a phone held sideways: every lab control hit in 24 x 24 CSS pixels or more",
          all(w >= 24 and h >= 24 for w, h in sizes), f"{sizes}")

    # A teacher's link to the moment shown: the same game, paused at the same tick.
    link = page.wait("return document.querySelector('#lab-link').value")
    page.cdp("Emulation.setTouchEmulationEnabled", enabled=False)
    page.cdp("Emulation.clearDeviceMetricsOverride")
    print(f"     the whole game's link at tick 12698: {len(link or '')} characters", flush=True)
    page.driver.get("about:blank")
    page.driver.get(link)
    opened = page.wait("return document.querySelector('.lab input[type=range]')?.value =="
                       " '12698' && document.querySelector('.lab-name').textContent", 20)
    check("a teacher's link opens the lab on the same game, paused at its tick",
          opened == "Partita: dal link" and lab_shown(page) == shown and page.game_open(),
          f"{opened!r}, {lab_shown(page)}")
    for broken in ("tick=5&partita=AAAA", "tick=5&partita=" + link.split("partita=")[1][:-9]):
        page.driver.get("about:blank")
        page.driver.get(page.url + "?lab#" + broken)
        refused = page.wait("return document.querySelector('.lab-refusal')?.textContent")
        check(f"a link that does not decode is refused: {refused!r}", refused is not None
              and refused.startswith("Il link non si apre") and not page.game_open())

    # A projector: the largest text, kept by the browser, and the game window whole beside it.
    page.cdp("Emulation.setDeviceMetricsOverride", width=1920, height=1080, deviceScaleFactor=1,
             mobile=False)
    larger = page.driver.find_element(By.CSS_SELECTOR, ".lab-heading button:last-child")
    while larger.is_enabled():
        ActionChains(page.driver).click(larger).perform()
    page.driver.refresh()
    page.wait("return typeof Module == 'object' && Module.calledRun &&"
              " document.querySelector('.lab') != null")
    page.open_game()
    projected = page.wait("""const game = document.querySelectorAll('.window')[1];
        const box = game.getBoundingClientRect();
        const panel = document.querySelector('.lab').getBoundingClientRect();
        return box.right <= panel.left && game.style.transform == 'none' &&
            [getComputedStyle(document.querySelector('.lab')).fontSize, panel.width]""")
    check(f"at a projector the largest text, {projected}, is kept, and the game window stays"
          " whole beside the panel", projected and projected[0] == "24px", f"{projected}")
    page.cdp("Emulation.clearDeviceMetricsOverride")
    page.js("localStorage.clear()")

    # After a game: its last ticks played by "Riprendi", "Game Over !", OK.
    folder = tempfile.mkdtemp(prefix="velmora-lab-")
    try:
        lab_open_file(page, folder, "fine.txt", "activate\ntick 262\n")
        page.wait("return document.querySelector('.lab input[type=range]').max == '262'")
        goto = page.element(".lab input[type=number]")
        goto.send_keys("262", Keys.ENTER)
        lab_press(page, "Riprendi")
        over = page.wait("return document.querySelector('dialog').open", 10)
        page.key("Enter", "Enter")
        page.wait("return !document.querySelector('dialog').open")
        found["the lab after a game"] = page.axe() if over else [["no Game Over !", []]]
    finally:
        shutil.rmtree(folder, ignore_errors=True)
    check("axe-core, target sizes too, finds no violation in " + ", ".join(found),
          not any(found.values()), f"{found}")


def lab_next_turn(tick):
    """The tick after `tick` on which a game left alone turns the ball, knocks out a brick or
    ends, by velmora-sim's state lines: that tick, its line, velX, velY and the brick (or -1)."""
    # A line as loaded, one activated, then one a command, until the game ends.
    lines = simulate(f"activate\ntick {tick}\n" + "tick\n" * 400)[2:]
    fields = [re.search(r"velY=(-?\d+) velX=(-?\d+) .* bricks=\d+:(\d+) over=(\d)", line).groups()
              for line in lines]
    for n in range(1, len(fields)):
        (y0, x0, bricks0, _), (y, x, bricks, over) = fields[n - 1], fields[n]
        if (y, x) != (y0, x0) or bricks != bricks0 or over == "1":
            brick = next((i for i, (a, b) in enumerate(zip(bricks0, bricks)) if a > b), -1)
            return tick + n, lines[n], int(x), int(y), brick
    return None


def lab_predict(page, vel_x, vel_y, brick):
    """A prediction typed into "Prevedi" and asked: the verdict, with the tally, and what the
    tick shown did, with its why."""
    for css, value in (("velX", vel_x), ("velY", vel_y), ("shaX", brick)):
        field = page.driver.find_element(
            By.XPATH, f"//fieldset[contains(@class, 'lab-predict')]//label[starts-with(., '{css}')]"
                      "/input")
        field.clear()
        if value is not None:
            field.send_keys(str(value))
    lab_press(page, "Prevedi")
    return page.js("return [document.querySelector('.lab-verdict').textContent,"
                   " document.querySelector('.lab-now').textContent]")


def play_lab_events(page):
    """"Al prossimo evento" from tick 0 of a live game, along its history and then live, to the
    first bounce; a turn predicted right and one wrong, and the tally; the legend and the
    glossary, closed at first, axe-clean; every new control's size; a still ball."""
    page.driver.get(page.url + "?lab")
    page.wait("return typeof Module == 'object' && Module.calledRun &&"
              " document.querySelector('.lab') != null")
    page.open_game()
    page.wait("return Number(document.querySelector('.lab input[type=range]').value) > 10")
    lab_press(page, "Pausa")
    page.element(".lab input[type=range]").send_keys(Keys.HOME)
    history = lab_shown(page)[1]
    lab_press(page, "Al prossimo evento")
    shown = lab_shown(page)
    now = page.js("return document.querySelector('.lab-now').textContent")
    check(f"\"Al prossimo evento\" from tick 0 (a history of {history} ticks) stops at tick 83,"
          " paused, \"Stato\" the simulator's line, and says why",
          shown[0] == 83 and shown[1] == 83 and shown[3] == "Riprendi" and history < 83
          and shown[2] == simulate("activate\ntick 83\n")[-1]
          and "La palla cade sul terzo destro" in now, f"{shown}, history {history}, {now!r}")

    # "Prevedi": the next turn right, then the one after wrong in velX; the truth is the
    # simulator's.
    tick, line, vel_x, vel_y, brick = lab_next_turn(83)
    verdict, now = lab_predict(page, vel_x, vel_y, None if brick < 0 else brick)
    shown = lab_shown(page)
    check(f"a prediction of tick {tick}'s turn, right: \"giusto\" for each part, the tally"
          f" \"1 su 1\", the why; the lab at tick {tick}, the simulator's line",
          verdict.startswith(f"Tick {tick}: velX {vel_x}: giusto; velY {vel_y}: giusto; mattone ")
          and verdict.count("giusto") == 3 and "sbagliato" not in verdict
          and verdict.endswith("Previsioni giuste: 1 su 1.") and "La palla" in now
          and shown[0] == tick and shown[2] == line,
          f"{verdict!r}, {now!r}, {shown}, expected {tick} {line!r}")
    tick, line, vel_x, vel_y, brick = lab_next_turn(tick)
    verdict, now = lab_predict(page, vel_x + 30, vel_y, None if brick < 0 else brick)
    shown = lab_shown(page)
    check(f"a prediction of tick {tick}'s turn, wrong in velX: \"sbagliato, era {vel_x}\", the"
          " other parts right, the tally \"1 su 2\"",
          f"velX {vel_x + 30}: sbagliato, era {vel_x}; velY {vel_y}: giusto; mattone " in verdict
          and verdict.count("giusto") == 2 and verdict.endswith("Previsioni giuste: 1 su 2.")
          and shown[0] == tick and shown[2] == line, f"{verdict!r}, {shown}")
    verdict, _ = lab_predict(page, 0, 40000, None)
    check("a prediction of velY 40000 is refused, and nothing runs",
          verdict == "velX e velY vanno da -32768 a 32767, il mattone da 0 a 56: numeri interi."
          and lab_shown(page) == shown, f"{verdict!r}, {lab_shown(page)}")

    # The legend and the glossary: closed at first, each word there when opened.
    guides = page.js("return [...document.querySelectorAll('.lab details')].map((d) =>"
                     " [d.open, d.querySelector('summary').textContent,"
                     " [...d.querySelectorAll('dt')].map((t) => t.textContent).join('|')])")
    page.js("document.querySelectorAll('.lab details').forEach((d) => d.open = true)")
    text = page.js("return [...document.querySelectorAll('.lab details')]"
                   ".map((d) => d.textContent).join(' ')")
    check("the legend and the glossary, closed at first, tell the ball's box of 255 × 375"
          " twips, the cross, the thirds, the outline and the path; tick, twip, evento,"
          " gestore, variabile del modulo, with the game's examples",
          [g[:2] for g in guides] == [[False, "Legenda dei segni sul campo"],
                                      [False, "Glossario"]]
          and guides[1][2] == "tick|twip|evento|gestore|variabile del modulo"
          and all(words in text for words in ("255 × 375", "croce", "terzi", "contorno rosso",
                                              "percorso", "1/1440", "Timer_Timer", "velY")),
          f"{guides}")
    found = page.axe()
    controls = page.driver.find_elements(
        By.CSS_SELECTOR, ".lab-time button, .lab-predict input, .lab-predict button,"
                         " .lab summary")
    sizes = page.js("return arguments[0].map((e) => { e.scrollIntoView({block: 'nearest'});"
                    " const b = e.getBoundingClientRect(); return [b.width, b.height]; })",
                    controls)
    check("axe-core finds no violation with the legend and the glossary open, after two"
          " predictions; \"Al prossimo evento\", \"Prevedi\" and its fields, the summaries:"
          " each 24 x 24 CSS pixels or more",
          not found and len(sizes) == 10 and all(w >= 24 and h >= 24 for w, h in sizes),
          f"{found}, {sizes}")
    page.js("document.querySelectorAll('.lab details').forEach((d) => d.open = false)")

    # A ball standing still: the search gives up after its bound, and says so.
    folder = tempfile.mkdtemp(prefix="velmora-lab-")
    try:
        lab_open_file(page, folder, "ferma.txt", "activate\npick 0\ntick 10\n")
        page.wait("return document.querySelector('.lab input[type=range]').max == '10'")
        lab_press(page, "Al prossimo evento")
        shown = lab_shown(page)
        now = page.js("return document.querySelector('.lab-now').textContent")
        check("a ball standing still: \"Al prossimo evento\" stops 6400 ticks on, and says why",
              shown[:2] == [6400, 6400] and shown[3] == "Riprendi" and now.startswith(
                  "Nessun evento nei prossimi 6400 tick: la palla non cambia direzione."),
              f"{shown}, {now!r}")
    finally:
        shutil.rmtree(folder, ignore_errors=True)
    page.key("Escape", "Escape")


def lines_run(tick):
    """The lines velmora-sim --lines says ran on a game left alone's tick `tick` (0: the
    activation), as "game/ball.cpp:52: velX = 30; ...", by file and line."""
    script = "activate\n" + (f"tick {tick - 1}\n" if tick > 1 else "") + ("tick\n" if tick else "")
    printed = simulate(script, "--lines")
    last = max(i for i, line in enumerate(printed) if not line.startswith("  "))
    return [line[4:] for line in printed[last + 1:] if line.startswith("  > ")]


# "Codice" as the student reads it: the caption, the function shown, the deciding line and the
# notes beside the lines; then every function of the step, one click each, and their lit
# lines, as velmora-sim --lines prints them, by file and line.
CODE_VIEW = """
    const text = (css) => document.querySelector(css)?.textContent ?? '';
    const row = (li) => [text('.lab-code-where').split(',')[0], Number(li.querySelector(
        '.lab-code-n').textContent), li.querySelector('.lab-code-text').textContent.trimStart()];
    const shown = {caption: text('.lab-code-caption'), where: text('.lab-code-where'),
        decides: text('.lab-code-lines .decides .lab-code-text').trim(),
        notes: [...document.querySelectorAll('.lab-code-note')].map((n) => n.textContent),
        tabs: [...document.querySelectorAll('.lab-code-functions button')]
            .map((b) => b.textContent), lit: []};
    const pressed = document.querySelector('.lab-code-functions [aria-pressed=true]');
    for (const tab of document.querySelectorAll('.lab-code-functions button')) {
        tab.click();
        shown.lit.push(...[...document.querySelectorAll('.lab-code-lines li.lit')].map(row));
    }
    pressed?.click();
    shown.lit.sort((a, b) => a[0] < b[0] ? -1 : a[0] > b[0] ? 1 : a[1] - b[1]);
    shown.lit = shown.lit.map(([path, line, code]) => path + ':' + line + ': ' + code);
    return shown;"""


def lab_code_at(page, tick, what, expected_decides):
    """Checks "Codice" at `tick`, where the lab has just been taken: its caption, its lit lines
    against velmora-sim's, its deciding line; returns what it shows."""
    page.wait(f"return document.querySelector('.lab-code-caption').textContent.startsWith("
              f"'tick {tick}:')", 5)
    shown = page.js(CODE_VIEW)
    expected = lines_run(tick)
    check(f"\"Codice\" at tick {tick} ({what}): {len(shown['lit'])} lines lit, those velmora-sim"
          f" --lines prints for the tick; the deciding line {expected_decides!r}, marked",
          shown["lit"] == expected and len(expected) > 5
          and expected_decides in shown["decides"] and lab_shown(page)[0] == tick,
          f"{shown}, expected {expected}, at {lab_shown(page)}")
    return shown


def lab_click(page, element):
    """A real click on the element, scrolled into the middle of the view as a student would."""
    page.js("arguments[0].scrollIntoView({block: 'center'})", element)
    ActionChains(page.driver).click(element).perform()


def lab_entry(page, heading):
    """A click on the log entry's heading, which leads to its code."""
    lab_click(page, page.driver.find_element(
        By.XPATH, f"//ol[contains(@class, 'lab-log')]//button[.='{heading}']"))


def play_lab_code(page, shots):
    """"Codice" on a game left alone: the paddle bounce, the right wall, the brick and the fall,
    reached by "Vai al tick", "Un tick indietro", the slider and the log's entries, each lit
    as velmora-sim --lines says, the deciding line marked, the conditions' values and the
    locals beside their lines; a lit line leads to its entry; "Prevedi" shows its turn's code;
    axe-clean, every control 24 x 24 or more, on a phone upright and sideways."""
    page.driver.get(page.url + "?lab")
    page.wait("return typeof Module == 'object' && Module.calledRun &&"
              " document.querySelector('.lab') != null")
    folder = tempfile.mkdtemp(prefix="velmora-lab-")
    try:
        lab_open_file(page, folder, "lasciata.txt", "activate\ntick 265\n")
        page.wait("return document.querySelector('.lab input[type=range]').max == '265'")
    finally:
        shutil.rmtree(folder, ignore_errors=True)
    lab_press(page, "Codice")
    goto = page.element(".lab input[type=number]")
    goto.send_keys("265", Keys.ENTER)
    fall = lab_code_at(page, 265, "the fall, by \"Vai al tick\"", "frame.Height")
    check("at the fall: Timer_Timer calls MuoviPalla, shown; the fall's test \"vero\"",
          fall["caption"] == "tick 265: Timer_Timer chiama MuoviPalla"
          and fall["where"] == "game/ball.cpp, MuoviPalla" and "← vero" in fall["notes"],
          f"{fall}")

    lab_entry(page, "tick 166: Timer_Timer")
    brick = lab_code_at(page, 166, "the brick, by its log entry", "within(xs, bs, bd)")
    check("at the brick: ControllaBlocchi shown, where it decided; each of the loop's tests"
          " true and false with their counts; i, bs, bd and the ball's xs, xd beside their lines",
          brick["where"] == "game/ball.cpp, ControllaBlocchi"
          and "ControllaBlocchi (decide)" in brick["tabs"] and "MuoviPalla" in brick["tabs"]
          and "← i = 41" in brick["notes"]
          and all(any(note.startswith(f"← {name} = ") for note in brick["notes"])
                  for name in ("bs", "bd", "xs", "xd"))
          and any(re.fullmatch(r"← vero ×1, falso ×\d+", note) for note in brick["notes"]),
          f"{brick}")

    goto.clear()
    goto.send_keys("128", Keys.ENTER)
    page.wait("return document.querySelector('.lab input[type=range]').value == '128'")
    lab_press(page, "Un tick indietro")
    lab_code_at(page, 127, "the right wall, by \"Un tick indietro\"", "frame.Width")

    lab_entry(page, "tick 83: Timer_Timer")
    bounce = lab_code_at(page, 83, "the paddle's right third, by its log entry",
                         "within(ballCentre, x2, x3)")
    why = "\n".join(simulate("activate\ntick 83\n", "--explain"))
    centre, *marks = re.search(r"il centro della palla, (\d+), sta tra .*\(i confini dei terzi:"
                               r" (\d+), (\d+), (\d+), (\d+)\)", why).groups()
    check("at the paddle: the ball's centre and the thirds' marks beside their lines, as the"
          " log's sentence has them",
          f"← ballCentre = {centre}" in bounce["notes"] and
          "← " + ", ".join(f"x{i} = {mark}" for i, mark in enumerate(marks)) in bounce["notes"],
          f"{bounce['notes']}, {centre} {marks}")
    lab_click(page, page.element(".lab-code-lines .decides button"))
    found = page.js("return [document.activeElement.textContent,"
                    " document.activeElement.closest('li').classList.contains('lab-found')]")
    check("a lit line leads to its entry in the log, focused and marked",
          found == ["tick 83: Timer_Timer", True], f"{found}")

    lab_entry(page, "tick 1–82: Timer_Timer × 82")
    lab_code_at(page, 82, "the last of \"Timer_Timer × 82\", by its entry", "shaP.Top > 0")
    page.element(".lab input[type=range]").send_keys(Keys.HOME)
    start = lab_code_at(page, 0, "the activation, by the slider", "shaX.Count() == 1")
    check("at tick 0 the slider shows Form_Activate, which builds the pyramid",
          start["caption"] == "tick 0: Form_Activate" and "buildPyramid" in start["tabs"],
          f"{start}")

    # "Prevedi" at the bounce: the next turn is the right wall's, with its code.
    goto.clear()
    goto.send_keys("83", Keys.ENTER)
    page.wait("return document.querySelector('.lab input[type=range]').value == '83'")
    tick, _, vel_x, vel_y, _ = lab_next_turn(83)
    lab_predict(page, vel_x, vel_y, None)
    lab_code_at(page, tick, "after \"Prevedi\"", "frame.Width")

    found = page.axe()
    controls = page.driver.find_elements(By.CSS_SELECTOR, ".lab-code button, .lab-code-title button")
    sizes = page.js("return arguments[0].map((e) => { e.scrollIntoView({block: 'nearest'});"
                    " const b = e.getBoundingClientRect(); return [b.width, b.height]; })",
                    controls)
    check("axe-core finds no violation with \"Codice\" open; each of its controls 24 x 24 CSS"
          " pixels or more", not found and all(w >= 24 and h >= 24 for w, h in sizes),
          f"{found}, {sizes}")
    if shots:
        page.cdp("Emulation.setDeviceMetricsOverride", width=1280, height=800,
                 deviceScaleFactor=1, mobile=False)
        goto.clear()
        goto.send_keys("83", Keys.ENTER)
        page.wait("return document.querySelector('.lab-code-caption').textContent"
                  ".startsWith('tick 83:')")
        page.js("document.querySelector('.lab-code-title').scrollIntoView()")
        page.driver.save_screenshot(f"{shots}/web-lab-code.png")
    for width, height in ((360, 640), (640, 360)):
        page.cdp("Emulation.setDeviceMetricsOverride", width=width, height=height,
                 deviceScaleFactor=1 if width == 360 else 2, mobile=True)
        page.wait(f"return innerWidth == {width}")
        reached = page.js(REACH, page.driver.find_elements(
            By.CSS_SELECTOR, ".lab-code-title button, .lab-code button, .lab-code-box"))
        check(f"a phone {width}x{height}: \"Codice\" and each of its lines and functions in reach",
              all(ok for _, ok in reached), f"{[what for what, ok in reached if not ok]}")
        if shots and width == 360:
            goto.clear()
            goto.send_keys("166", Keys.ENTER)
            page.wait("return document.querySelector('.lab-code-caption').textContent"
                      ".startsWith('tick 166:')")
            lab_click(page, page.driver.find_element(
                By.XPATH, "//aside//button[.='ControllaBlocchi (decide)']"))
            page.js("document.querySelector('.lab-code-where').scrollIntoView()")
            page.driver.save_screenshot(f"{shots}/web-lab-code-phone.png")
    page.cdp("Emulation.clearDeviceMetricsOverride")


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
    page.key("Escape", "Escape")
    page.driver.get(page.url + "?lab")
    lab = page.wait("return typeof Module == 'object' && Module.calledRun &&"
                    " document.querySelector('.lab') != null", 10)
    if lab:
        page.open_game()
    check("with the server stopped, the lab opens and plays from the cache too",
          lab and page.wait("return Number(document.querySelector('.lab input[type=range]')"
                            ".value) > 5"))


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
        for phase in (lambda: play(page, shots), lambda: play_lab(page, shots),
                      lambda: play_lab_class(page, shots), lambda: play_lab_review(page),
                      lambda: play_lab_events(page), lambda: play_lab_code(page, shots),
                      lambda: play_lab_scripts(page),
                      lambda: play_lab_set(page),
                      lambda: play_offline(page, server),
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
