#!/usr/bin/python3
"""Whole-process figures on a private Xvfb screen, watched through one X connection (python3-xlib)
that is open before any program starts, so that nothing else connects while a program does.

  bench/startup.py [--build DIR] [--runs N] [--inputs FOLDER]

Start-up: from the exec of bitvik (7 x 7) to the first frame whose tray shows the picture, and the
process's peak memory, for the 400 x 300 BMP and the photos, without a thumbnail and with the one
Tralloma wrote; runs interleaved, medians quoted with the ratio to the BMP.
With --before BUILD, that build's programs are measured alongside (start-up without a thumbnail).
Browsing: 39 Down presses 30 ms apart through 40 photos of 24 MP in Tralloma; the time from the
last press until the window stops changing. Listing: Tralloma's exec to its window mapped, in a
folder of 2000 pictures against a folder of one."""

import argparse
import hashlib
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

import Xlib.X
import Xlib.display
import Xlib.XK
from Xlib.ext import xtest

PHOTOS = ["bild-400x300.bmp", "foto-24mp.jpg", "foto-50mp.jpg", "foto-progressiv-24mp.jpg"]


class Screen:
    def __init__(self):
        read, write = os.pipe()
        self.xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0",
                                      "1280x1024x24", "-nolisten", "tcp", "-noreset"],
                                     pass_fds=(write,), stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as pipe:
            self.name = ":" + pipe.readline().strip()
        self.x = Xlib.display.Display(self.name)
        self.root = self.x.screen().root
        self.root.change_attributes(event_mask=Xlib.X.SubstructureNotifyMask)
        self.x.sync()

    def close(self):
        self.x.close()
        self.xvfb.terminate()
        self.xvfb.wait()

    def mapped(self, title, deadline):
        """The next top-level window of that title to map, and when it did."""
        while time.monotonic() < deadline:
            while self.x.pending_events():
                event = self.x.next_event()
                if event.type == Xlib.X.MapNotify:
                    when = time.monotonic()
                    name = event.window.get_wm_name()
                    if name == title:
                        return event.window, when
            time.sleep(0.0005)
        raise RuntimeError(f"no window {title!r}")

    def grab(self, window, box):
        x, y, w, h = box
        return window.get_image(x, y, w, h, Xlib.X.ZPixmap, 0xFFFFFFFF).data

    def key(self, name):
        code = self.x.keysym_to_keycode(Xlib.XK.string_to_keysym(name))
        xtest.fake_input(self.x, Xlib.X.KeyPress, code)
        xtest.fake_input(self.x, Xlib.X.KeyRelease, code)
        self.x.sync()


def peak_kb(pid):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmHWM:"):
                return int(line.split()[1])
    return 0


def stop(process):
    process.kill()
    process.wait()


# The middle of the tray's top-left piece: the picture, once drawn, in a 7 x 7 game.
TRAY = (40, 20, 16, 16)


def start_game(screen, bitvik, folder, cache, reference=None):
    env = dict(os.environ, DISPLAY=screen.name, XDG_CACHE_HOME=cache)
    env.pop("QT_QPA_PLATFORM", None)
    started = time.monotonic()
    process = subprocess.Popen([bitvik], cwd=folder, env=env, stderr=subprocess.DEVNULL)
    window, _ = screen.mapped("Bitvik", started + 20)
    if reference is None:  # the picture as it shows once everything has settled
        time.sleep(1.5)
        shown = screen.grab(window, TRAY)
        stop(process)
        return shown
    while screen.grab(window, TRAY) != reference:
        if time.monotonic() > started + 20:
            raise RuntimeError("the picture never showed")
    painted = time.monotonic() - started
    time.sleep(0.3)
    memory = peak_kb(process.pid)
    stop(process)
    return painted * 1000, memory


def tralloma_thumbnail(screen, tralloma, folder, cache):
    """Tralloma started in the folder previews its one picture and saves its thumbnail."""
    env = dict(os.environ, DISPLAY=screen.name, XDG_CACHE_HOME=cache)
    env.pop("QT_QPA_PLATFORM", None)
    before = sum(len(files) for _, _, files in os.walk(cache))
    process = subprocess.Popen([tralloma], cwd=folder, env=env, stderr=subprocess.DEVNULL)
    screen.mapped("Hämta", time.monotonic() + 20)
    deadline = time.monotonic() + 10
    while sum(len(files) for _, _, files in os.walk(cache)) == before:
        if time.monotonic() > deadline:
            break
        time.sleep(0.05)
    time.sleep(0.2)
    stop(process)


def median_line(label, values, base=None, unit="ms"):
    m = statistics.median(values)
    ratio = f"  {m / base:5.2f} x" if base else ""
    return f"{label:38} {m:8.1f} {unit}  ({min(values):.1f} .. {max(values):.1f}){ratio}", m


def browse(screen, tralloma, folder, work):
    """Seconds from the last of 39 Down presses until the window stops changing, and whether
    it then shows the picture of the last entry."""
    cache = tempfile.mkdtemp(dir=work)
    env = dict(os.environ, DISPLAY=screen.name, XDG_CACHE_HOME=cache)
    env.pop("QT_QPA_PLATFORM", None)
    process = subprocess.Popen([tralloma], cwd=folder, env=env, stderr=subprocess.DEVNULL)
    window, _ = screen.mapped("Hämta", time.monotonic() + 20)
    time.sleep(1.5)
    geometry = window.get_geometry()
    box = (0, 0, geometry.width, geometry.height)
    for _ in range(39):
        screen.key("Down")
        time.sleep(0.03)
    last_press = time.monotonic()
    frame = hashlib.sha1(screen.grab(window, box)).digest()
    changed = last_press
    while time.monotonic() - changed < 1.0:
        now = hashlib.sha1(screen.grab(window, box)).digest()
        if now != frame:
            frame, changed = now, time.monotonic()
    preview = screen.grab(window, (340, 40, 200, 60))
    stop(process)
    shutil.rmtree(cache, True)
    return (changed - last_press) * 1000, preview


def listing(screen, tralloma, folder, work):
    cache = tempfile.mkdtemp(dir=work)
    env = dict(os.environ, DISPLAY=screen.name, XDG_CACHE_HOME=cache)
    env.pop("QT_QPA_PLATFORM", None)
    started = time.monotonic()
    process = subprocess.Popen([tralloma], cwd=folder, env=env, stderr=subprocess.DEVNULL)
    _, when = screen.mapped("Hämta", started + 20)
    stop(process)
    shutil.rmtree(cache, True)
    return (when - started) * 1000


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default="build")
    parser.add_argument("--runs", type=int, default=11)
    parser.add_argument("--inputs")
    parser.add_argument("--only", choices=["startup", "browse"])
    parser.add_argument("--before", help="another build whose bitvik is measured alongside")
    args = parser.parse_args()
    build = os.path.abspath(args.build)
    bitvik, tralloma = f"{build}/game/bitvik", f"{build}/setup/tralloma"
    work = tempfile.mkdtemp(prefix="bitvik-startup-")
    inputs = os.path.abspath(args.inputs) if args.inputs else os.path.join(work, "inputs")
    subprocess.run([f"{build}/bench/bitvik-bench", "--generate", inputs], check=True,
                   env=dict(os.environ, QT_QPA_PLATFORM="offscreen"), stderr=subprocess.DEVNULL)
    screen = Screen()
    try:
        if args.only != "browse":
            before = os.path.abspath(args.before) + "/game/bitvik" if args.before else None
            startup(screen, bitvik, tralloma, inputs, work, args.runs, before)
        if args.only != "startup":
            before = os.path.abspath(args.before) + "/setup/tralloma" if args.before else None
            browsing(screen, tralloma, inputs, work, args.runs, before)
    finally:
        screen.close()
        shutil.rmtree(work, True)


def startup(screen, bitvik, tralloma, inputs, work, runs, before):
    cases = []
    with_cache, without_cache = os.path.join(work, "cache"), os.path.join(work, "empty")
    os.makedirs(without_cache)
    for photo in PHOTOS:
        folder = os.path.join(work, photo)
        os.makedirs(folder)
        os.link(os.path.join(inputs, photo), os.path.join(folder, photo))
        with open(os.path.join(folder, "bitvik.ini"), "wb") as settings:
            settings.write(b'7\r\n7\r\n"' + photo.encode() + b'"\r\n')
        tralloma_thumbnail(screen, tralloma, folder, with_cache)
        programs = [(bitvik, without_cache, "no thumbnail"), (bitvik, with_cache, "thumbnail")]
        if before:
            programs.append((before, without_cache, "before"))
        for program, cache, kind in programs:
            if photo.endswith(".bmp") and kind == "thumbnail":
                continue
            reference = start_game(screen, program, folder, cache)
            cases.append((f"{photo} ({kind})", folder, cache, reference, [], [], program))
    for _ in range(runs):
        for _, folder, cache, reference, times, peaks, program in cases:
            painted, memory = start_game(screen, program, folder, cache, reference)
            times.append(painted)
            peaks.append(memory / 1024)
    print(f"bitvik, exec to the picture painted, 7 x 7, medians of {runs} interleaved runs")
    base_time = statistics.median(cases[0][4])
    base_memory = statistics.median(cases[0][5])
    for label, _, _, _, times, peaks, _ in cases:
        print(median_line(label, times, base_time)[0])
        print(median_line("   peak resident", peaks, base_memory, "MB")[0])


def browsing(screen, tralloma, inputs, work, runs, before):
    photos = os.path.join(work, "photos")
    os.makedirs(photos)
    # Two pictures in turn, so that the last entry's picture differs from the one before it.
    for i in range(40):
        source = "foto-24mp.jpg" if i % 2 else "foto-progressiv-24mp.jpg"
        os.link(os.path.join(inputs, source), os.path.join(photos, f"foto-{i:02}.jpg"))
    one, many = os.path.join(work, "one"), os.path.join(work, "many")
    os.makedirs(one)
    os.makedirs(many)
    os.link(os.path.join(inputs, "bild-400x300.bmp"), os.path.join(one, "bild-0000.bmp"))
    for i in range(2000):
        os.link(os.path.join(inputs, "bild-400x300.bmp"), os.path.join(many, f"bild-{i:04}.bmp"))
    settle, settle_before, alone, crowded = [], [], [], []
    for _ in range(runs):
        settle.append(browse(screen, tralloma, photos, work)[0])
        if before:
            settle_before.append(browse(screen, before, photos, work)[0])
        alone.append(listing(screen, tralloma, one, work))
        crowded.append(listing(screen, tralloma, many, work))
    print(f"tralloma, medians of {runs} interleaved runs")
    print(median_line("39 x Down, last press to still window", settle)[0])
    if before:
        print(median_line("   the same, before", settle_before)[0])
    line, base = median_line("window mapped, folder of 1 picture", alone)
    print(line)
    print(median_line("window mapped, folder of 2000 pictures", crowded, base)[0])


if __name__ == "__main__":
    sys.exit(main())
