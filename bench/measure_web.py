#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""Measures Velmora's page in headless Chromium, beside bare pages in the same browser.

Usage: bench/measure_web.py [GAMES]   (default 8, about a minute in all)
       bench/measure_web.py --before SITE [ROUNDS]   (default 3, about five minutes)

  - the code a player downloads (HTML, JavaScript, WebAssembly, CSS, the manifest and the
    service worker; the pictures apart), as served and gzipped;
  - start-up: from navigation to the frame after the start window is in place (its
    buttons and its picture), against bench/bare_start.html's first frame;
  - CPU: Chromium's processes, read from /proc, over the same stretches of wall time of
    games left alone and of bench/bare_disc.html, a disc moved 64 times a second;
  - the tick rate: a game left alone ends on a tick the simulator names, so the time from
    the game window shown to the "Game Over !" box gives ticks a second;
  - the lab (index.html?lab): what its own code adds to the download, the CPU of games left
    alone with the lab open against the same games on the plain page, and the time the
    slider takes to show a tick of tests/traces/whole_game.txt (12,699 ticks), from its end
    to its start (the first show, at the end, also writes the log of the whole game); the same
    game with "Codice" open: a slider move, a step and a log entry shown with their code; and
    the time to open the longest game a script may hold, and to show its last tick.

With --before, it compares instead another build's site (main's, say) with this one, side
by side in one run: a game left alone, from GIOCA to "Game Over !", with the page's CPU
throttled 1, 4 and 6 times (the DevTools protocol's Emulation.setCPUThrottlingRate), first
as the machine is, then with both cores kept busy by two loops of this script's own; the
two builds take turns, game by game, so that both meet the same load. Medians of ROUNDS.
Numbers for the README: nothing here passes or fails.
"""
import argparse
import functools
import gzip
import http.server
import os
import statistics
import subprocess
import tempfile
import threading
import time
from pathlib import Path

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By

ROOT = Path(__file__).resolve().parent.parent
SITE = ROOT / "build/web/site"
SIM = ROOT / "build/web/velmora-sim.js"
CODE = ("index.html", "page.js", "velmora.js", "velmora.wasm", "velmora.css", "manifest.json",
        "sw.js")
LAB = ("lab.js", "lab.css")
STARTS = 7  # page loads of each kind for start-up
CPU_WINDOW = 3.0  # seconds of each game's play that the CPU is read over
HZ = os.sysconf("SC_CLK_TCK")

# Injected before each page's own scripts: the moments the measurements need, in the page's
# own clock (milliseconds from navigation), taken as the page changes, with no polling.
WATCH = """
window.velmoraTimes = {startShown: null, games: [], overs: []};
const velmoraTimes = window.velmoraTimes;
new MutationObserver((changes, observer) => {
    const start = document.querySelector("#desk section.window:not([hidden])");
    const picture = start && start.querySelector("img");
    if (start && start.querySelector("button") && picture) {
        observer.disconnect();
        // Shown: the frame after the picture is there too.
        picture.decode().catch(() => {}).then(() => requestAnimationFrame(() => {
            velmoraTimes.startShown = performance.now();
        }));
    }
}).observe(document, {subtree: true, childList: true});
new MutationObserver((changes) => {
    for (const change of changes) {
        const target = change.target;
        if (target.matches("section.window") && !target.hidden && target.querySelector("canvas")) {
            velmoraTimes.games.push(performance.now());
        } else if (target.matches("dialog") && target.open &&
                   target.textContent.includes("Game Over !")) {
            velmoraTimes.overs.push(performance.now());
        }
    }
}).observe(document, {subtree: true, attributeFilter: ["hidden", "open"]});
"""


class Server:
    """A folder on a free port of 127.0.0.1."""

    def __init__(self, folder):
        class Handler(http.server.SimpleHTTPRequestHandler):
            extensions_map = {".wasm": "application/wasm", ".json": "application/json",
                              ".js": "text/javascript", ".css": "text/css",
                              ".html": "text/html"}

            def log_message(self, *args):
                pass

        self.httpd = http.server.ThreadingHTTPServer(
            ("127.0.0.1", 0), functools.partial(Handler, directory=str(folder)))
        self.url = f"http://127.0.0.1:{self.httpd.server_address[1]}/"
        threading.Thread(target=self.httpd.serve_forever, daemon=True).start()


class Browser:
    def __init__(self, profile):
        options = webdriver.ChromeOptions()
        options.binary_location = "/usr/bin/chromium"
        for flag in ("--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
                     "--no-first-run", "--disable-background-networking",
                     "--disable-component-update", "--disable-sync",
                     "--window-size=1000,800", f"--user-data-dir={profile}"):
            options.add_argument(flag)
        self.service = Service("/usr/bin/chromedriver")
        self.driver = webdriver.Chrome(service=self.service, options=options)
        self.driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": WATCH})
        self.driver.execute_cdp_cmd("Network.enable", {})
        self.driver.execute_cdp_cmd("Network.setCacheDisabled", {"cacheDisabled": True})

    def open_fresh(self, url):
        """Loads url as on a first visit: no cache, no service worker, no stored data."""
        self.driver.get("about:blank")
        self.driver.execute_cdp_cmd("Storage.clearDataForOrigin",
                                    {"origin": url.rstrip("/"), "storageTypes": "all"})
        self.driver.get(url)

    def wait_for(self, script, timeout=20.0):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            value = self.driver.execute_script(script)
            if value:
                return value
            time.sleep(0.05)
        raise TimeoutError(script)

    def cpu_seconds(self):
        """User and system time of every Chromium process (the driver's descendants)."""
        children = {}
        for stat in Path("/proc").glob("[0-9]*/stat"):
            try:
                fields = stat.read_text().rsplit(")", 1)[1].split()
            except OSError:
                continue
            children.setdefault(int(fields[1]), []).append(int(stat.parent.name))
        total, pending = 0, list(children.get(self.service.process.pid, []))
        while pending:
            pid = pending.pop()
            pending += children.get(pid, [])
            try:
                fields = Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()
            except OSError:
                continue
            total += int(fields[11]) + int(fields[12])  # utime, stime
        return total / HZ

    def quit(self):
        self.driver.quit()


def code_size():
    raw = zipped = 0
    for name in CODE:
        data = (SITE / name).read_bytes()
        raw += len(data)
        zipped += len(gzip.compress(data, 9, mtime=0))
    pictures = sum(p.stat().st_size for p in SITE.iterdir() if p.name not in CODE)
    print(f"code a player downloads: {raw / 1024:.1f} KB, {zipped / 1024:.1f} KB gzipped "
          f"(goal 100 KB gzipped); pictures apart: {pictures / 1024:.1f} KB")


def gzipped(name):
    return len(gzip.compress((SITE / name).read_bytes(), 9, mtime=0))


def lab_size():
    own = sum(gzipped(name) for name in LAB)
    added = sum(gzipped(f"velmora-lab{ext}") - gzipped(f"velmora{ext}") for ext in (".js", ".wasm"))
    whole = sum(gzipped(f"velmora-lab{ext}") for ext in (".js", ".wasm"))
    print(f"the lab's own code: {(own + added) / 1024:.1f} KB gzipped (goal at most 30 KB): "
          f"lab.js and lab.css {own / 1024:.1f} KB, velmora-lab.js and .wasm over velmora.js "
          f"and .wasm {added / 1024:.1f} KB; velmora-lab.js and .wasm whole "
          f"{whole / 1024:.1f} KB gzipped")


def last_tick():
    """The tick on which a game left alone ends, as the simulator (under node) plays it."""
    script = "activate\n" + "tick\n" * 5000
    shown = subprocess.run([str(ROOT / "tools/node.sh"), str(SIM)], input=script, text=True,
                           capture_output=True, check=False).stdout.splitlines()
    over = next(i for i, line in enumerate(shown) if "over=1" in line)
    return over - 1  # the state lines of the loaded game and of the activation


def start_up(browser, velmora, bare):
    ours, theirs = [], []
    for _ in range(STARTS + 1):  # the first of each warms the browser up, and is not counted
        browser.open_fresh(velmora)
        ours.append(browser.wait_for("return window.velmoraTimes.startShown"))
        browser.open_fresh(bare)
        theirs.append(browser.wait_for("return window.firstFrame"))
    ours, theirs = statistics.median(ours[1:]), statistics.median(theirs[1:])
    print(f"start-up to start window shown: {ours:.0f} ms; a bare canvas's first frame: "
          f"{theirs:.0f} ms; {ours / theirs:.2f} times (goal at most 2), medians of {STARTS}")


def play(browser, velmora, games, ticks):
    """Games left alone: the CPU over a stretch of each, and the tick rate over all of it."""
    browser.open_fresh(velmora)
    browser.wait_for("return window.velmoraTimes.startShown")
    cpu = 0.0
    for game in range(games):
        browser.driver.find_element(
            By.XPATH, "//section[not(@hidden)]//button[normalize-space()='GIOCA']").click()
        time.sleep(0.5)
        before = browser.cpu_seconds()
        time.sleep(CPU_WINDOW)
        cpu += browser.cpu_seconds() - before
        browser.wait_for(f"return window.velmoraTimes.overs.length > {game}")
        browser.driver.find_element(By.XPATH, "//dialog[@open]//button[.='OK']").click()
        browser.wait_for("return document.querySelectorAll('section.window:not([hidden])')"
                         ".length === 1")
    times = browser.driver.execute_script("return window.velmoraTimes")
    played = sum(o - g for g, o in zip(times["games"], times["overs"])) / 1000
    rate = games * ticks / played
    print(f"tick rate: {rate:.2f} ticks a second (goal 64, within 1%: {rate / 64 - 1:+.2%}); "
          f"{games} games of {ticks} ticks in {played:.2f} s")
    return cpu / (games * CPU_WINDOW)


def idle_disc(browser, bare, games):
    """The bare page's CPU, and its own tick rate: how well this browser keeps a 64 Hz timer."""
    browser.open_fresh(bare)
    cpu = 0.0
    time.sleep(0.5)
    first = browser.driver.execute_script("return [tick, performance.now()]")
    for _ in range(games):
        time.sleep(0.5)
        before = browser.cpu_seconds()
        time.sleep(CPU_WINDOW)
        cpu += browser.cpu_seconds() - before
    last = browser.driver.execute_script("return [tick, performance.now()]")
    rate = (last[0] - first[0]) / (last[1] - first[1]) * 1000
    print(f"the bare page's own timer: {rate:.2f} ticks a second")
    return cpu / (games * CPU_WINDOW)


def game_alone(browser, site, rate):
    """Seconds from GIOCA's game window shown to "Game Over !", the page's CPU throttled."""
    browser.open_fresh(site)
    browser.wait_for("return window.velmoraTimes.startShown")
    browser.driver.execute_cdp_cmd("Emulation.setCPUThrottlingRate", {"rate": rate})
    try:
        browser.driver.find_element(
            By.XPATH, "//section[not(@hidden)]//button[normalize-space()='GIOCA']").click()
        browser.wait_for("return window.velmoraTimes.overs.length > 0", timeout=60)
        times = browser.driver.execute_script("return window.velmoraTimes")
    finally:
        browser.driver.execute_cdp_cmd("Emulation.setCPUThrottlingRate", {"rate": 1})
    return (times["overs"][0] - times["games"][0]) / 1000


def busy_loops(count):
    """Keeps `count` cores busy, as other work on the machine would."""
    return [subprocess.Popen(["sh", "-c", "while :; do :; done"]) for _ in range(count)]


def compare_throttled(before_site, rounds, ticks):
    before, after = Server(before_site).url, Server(SITE).url
    rates = (1, 4, 6)
    print(f"a game left alone: {ticks} ticks, {ticks / 64:.2f} s at 64 a second; "
          f"medians of {rounds}, before | after, the two builds taking turns")
    with tempfile.TemporaryDirectory(prefix="velmora-measure-") as profile:
        browser = Browser(profile)
        try:
            for load in ("as the machine is", "both cores busy elsewhere"):
                loops = busy_loops(2) if "busy" in load else []
                try:
                    start_load = os.getloadavg()[0]
                    seconds = {(site, rate): [] for site in (before, after) for rate in rates}
                    for rate in rates:
                        for _ in range(rounds):
                            for site in (before, after):
                                seconds[site, rate].append(game_alone(browser, site, rate))
                    end_load = os.getloadavg()[0]
                finally:
                    for loop in loops:
                        loop.kill()
                        loop.wait()
                print(f"{load} (load average {start_load:.1f} at the start, "
                      f"{end_load:.1f} at the end):")
                unthrottled = {site: statistics.median(seconds[site, 1]) for site in (before, after)}
                for rate in rates:
                    cells = []
                    for site in (before, after):
                        runs = seconds[site, rate]
                        median = statistics.median(runs)
                        cells.append(f"{median:.2f} s ({median / unthrottled[site]:.2f}x; "
                                     f"{min(runs):.2f}-{max(runs):.2f})")
                    print(f"  CPU {rate}x slower: " + " | ".join(cells))
        finally:
            browser.quit()


# The slider moved to its end, as its End key would: the milliseconds it takes, the panel's
# refresh included.
SLIDER_TO_END = """
    const slider = document.querySelector('.lab input[type=range]');
    const start = performance.now();
    slider.value = slider.max;
    slider.dispatchEvent(new Event('input'));
    return performance.now() - start;"""


def open_whole_game(browser, velmora):
    """bench/whole_game.txt opened in the lab, afresh: its last tick."""
    browser.open_fresh(velmora + "?lab")
    browser.wait_for("return typeof Module == 'object' && Module.calledRun")
    browser.driver.find_element(By.CSS_SELECTOR, ".lab input[type=file]").send_keys(
        str(ROOT / "bench/whole_game.txt"))
    return browser.wait_for("return Number(document.querySelector('.lab input[type=range]')"
                            ".max)")


def rewind(browser, velmora):
    """Opens bench/whole_game.txt (12,699 ticks, 446 inputs) in the lab and moves the slider,
    as its keys would, from the end to the start: the time of each show, the panel's refresh
    included, in the page's clock."""
    last = open_whole_game(browser, velmora)
    first = browser.driver.execute_script(SLIDER_TO_END)
    # One move a frame, as a student's keys or drag come: moved in a loop that never lets a
    # frame be drawn, the canvas's queued drawing is flushed now and then inside a move.
    browser.driver.set_script_timeout(120)
    times = browser.driver.execute_async_script("""
        const [last, done] = arguments;
        const slider = document.querySelector('.lab input[type=range]');
        const times = [];
        const move = (tick) => {
            if (tick < 0) {
                done(times);
                return;
            }
            const start = performance.now();
            slider.value = tick;
            slider.dispatchEvent(new Event('input'));
            times.push(performance.now() - start);
            requestAnimationFrame(() => move(tick - 17));
        };
        move(last - 1);""", last)
    print(f"the slider over {last} ticks: to the end first, {first:.1f} ms; then back to the "
          f"start in {len(times)} steps: a tick shown in {statistics.median(times):.2f} ms "
          f"(median), {max(times):.2f} ms at most (goal within a frame, 16.7 ms)")


def code_view(browser, velmora):
    """Opens bench/whole_game.txt in the lab with "Codice" open and, one move a frame, moves
    the slider from its end to its start, steps back from the end, and follows the log's
    entries from the newest back: the time of each, from the input to the panel and the code
    written and laid out again, in the page's clock."""
    last = open_whole_game(browser, velmora)
    browser.driver.execute_script(SLIDER_TO_END)
    browser.driver.find_element(By.XPATH, "//aside//button[normalize-space()='Codice']").click()
    browser.driver.set_script_timeout(120)
    times = browser.driver.execute_async_script("""
        const [last, done] = arguments;
        const slider = document.querySelector('.lab input[type=range]');
        const back = [...document.querySelectorAll('.lab-time button')]
            .find((b) => b.textContent == 'Un tick indietro');
        const times = {slider: [], step: [], entry: []};
        // To the panel laid out again, the code's rows with it.
        const timed = (kind, work) => {
            const start = performance.now();
            work();
            void document.querySelector('.lab').offsetHeight;
            times[kind].push(performance.now() - start);
        };
        const slide = (tick) => {
            if (tick < 0) {
                slider.value = last;
                slider.dispatchEvent(new Event('input'));
                requestAnimationFrame(() => step(200));
                return;
            }
            timed('slider', () => {
                slider.value = tick;
                slider.dispatchEvent(new Event('input'));
            });
            requestAnimationFrame(() => slide(tick - 17));
        };
        const step = (left) => {
            if (left == 0) {
                requestAnimationFrame(() => entry(200));
                return;
            }
            timed('step', () => back.click());
            requestAnimationFrame(() => step(left - 1));
        };
        // Each entry shown takes the log back to its tick: the next is the one before it.
        const entry = (left) => {
            const whys = document.querySelectorAll('.lab-log .lab-why');
            if (left == 0 || whys.length < 3) {
                done(times);
                return;
            }
            timed('entry', () => whys[Math.min(2, whys.length - 1)].click());
            requestAnimationFrame(() => entry(left - 1));
        };
        slide(last - 1);""", last)
    for kind, words in (("slider", "a slider move"), ("step", "\"Un tick indietro\""),
                        ("entry", "a log entry's heading")):
        print(f"\"Codice\" open on the whole game ({last} ticks): {words} shown with its code in "
              f"{statistics.median(times[kind]):.2f} ms (median), {max(times[kind]):.2f} ms at "
              f"most, of {len(times[kind])} (goal within a frame, 16.7 ms)")


def longest_game(browser, velmora):
    """Opens the longest games a script may hold (velmora-sim's "at most N ticks"), the ball
    standing still and moving sideways for ever, and moves the slider to the end: the time
    from the file chosen to the game shown, and of the slider's end, which writes the log of
    the whole game, in the page's clock."""
    most = 100000
    scripts = {"still": f"activate\npick 0\ntick {most}\n",
               "sideways": f"activate\ntick 83\npick 0\ntick {most - 83}\n"}
    with tempfile.TemporaryDirectory(prefix="velmora-longest-") as folder:
        for name, text in scripts.items():
            path = Path(folder) / f"{name}.txt"
            path.write_text(text)
            browser.open_fresh(velmora + "?lab")
            browser.wait_for("return typeof Module == 'object' && Module.calledRun")
            browser.driver.execute_script("""
                const slider = document.querySelector('.lab input[type=range]');
                const file = document.querySelector('.lab input[type=file]');
                file.addEventListener('change', () => { window.chosen = performance.now(); },
                                      {capture: true});
                new MutationObserver(() => {
                    if (slider.max === String(arguments[0])) { window.shown = performance.now(); }
                }).observe(slider, {attributes: true});""", most)
            browser.driver.find_element(By.CSS_SELECTOR, ".lab input[type=file]").send_keys(
                str(path))
            opened = browser.wait_for("return window.shown && window.shown - window.chosen")
            end = browser.driver.execute_script(SLIDER_TO_END)
            print(f"the longest game ({most} ticks, the ball {name}): opened in {opened:.0f} ms, "
                  f"the slider's end in {end:.0f} ms (goal within 1000 ms each)")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("count", nargs="?", type=int, help="games (or rounds, with --before)")
    parser.add_argument("--before", type=Path, help="another build's site, to compare under load")
    arguments = parser.parse_args()
    if arguments.before:
        compare_throttled(arguments.before, arguments.count or 3, last_tick())
        return
    games = arguments.count or 8
    code_size()
    lab_size()
    ticks = last_tick()
    velmora = Server(SITE).url
    bench = Server(ROOT / "bench").url
    with tempfile.TemporaryDirectory(prefix="velmora-measure-") as profile:
        browser = Browser(profile)
        try:
            start_up(browser, velmora, bench + "bare_start.html")
            ours = play(browser, velmora, games, ticks)
            with_lab = play(browser, velmora + "?lab", games, ticks)
            theirs = idle_disc(browser, bench + "bare_disc.html", games)
            rewind(browser, velmora)
            code_view(browser, velmora)
            longest_game(browser, velmora)
        finally:
            browser.quit()
    print(f"CPU while a game plays alone with the lab open: {100 * with_lab:.1f}% of one core, "
          f"against {100 * ours:.1f}% with it closed: {with_lab / ours:.2f} times "
          f"(goal at most 1.25)")
    print(f"CPU while a game plays alone: {100 * ours:.1f}% of one core; a bare page moving a "
          f"disc 64 times a second: {100 * theirs:.1f}%; {ours / theirs:.2f} times "
          f"(goal at most 1.25), over {games} x {CPU_WINDOW:.0f} s each")


if __name__ == "__main__":
    main()
