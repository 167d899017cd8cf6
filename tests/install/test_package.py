"""The Debian package as CPack builds it, unpacked into a staging root (nothing is installed on
the machine) and checked by the tools distributions use, and the launcher its menu entries start
the programs through."""

import gzip
import os
import re
import shutil
import struct
import subprocess
import tempfile
import unittest

import desktopentry
from installed import BUILD, entry_path, exec_arguments, expected_exec, install

SIDES = (16, 32, 48, 64, 128, 256)
SOURCE = os.path.join(os.path.dirname(__file__), "..", "..")


def run(argv, text=True, **kwargs):
    return subprocess.run(argv, capture_output=True, text=text, timeout=120, **kwargs)


def validated(entry):
    """What desktop-file-validate says of the entry: (0, "") when it finds nothing."""
    checked = run(["desktop-file-validate", entry])
    return checked.returncode, checked.stdout + checked.stderr


def png_size(path):
    with open(path, "rb") as f:
        head = f.read(24)
    assert head[:8] == b"\x89PNG\r\n\x1a\n", path
    return struct.unpack(">II", head[16:24])


def rgba(path):
    """The pixels of a picture file, row by row, as (r, g, b, a)."""
    width, height = png_size(path)
    raw = run(["convert", path, "-depth", "8", "rgba:-"], text=False).stdout
    assert len(raw) == 4 * width * height, path
    return lambda x, y: tuple(raw[4 * (y * width + x):4 * (y * width + x) + 4])


def library_package(program, library):
    """The package, without its architecture, holding the file the program loads as library."""
    linked = run(["ldd", program]).stdout
    found = re.search(rf"^\s*{re.escape(library)} => (\S+)", linked, re.M)
    assert found, f"{program} does not load {library}:\n{linked}"
    owner = run(["dpkg-query", "-S", os.path.realpath(found.group(1))])
    assert owner.returncode == 0, owner.stderr
    return owner.stdout.split(":", 1)[0]


class TestPackage(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.work = tempfile.mkdtemp(prefix="bitvik-package-")
        # Packed with no locale set, as in a root shell or a container: the demo picture's
        # name is not ASCII.
        unset = re.compile(r"^(LANG|LANGUAGE|LC_.*)$")
        made = run(["cpack", "--config", os.path.join(BUILD, "CPackConfig.cmake"),
                    "-G", "DEB", "-B", cls.work],
                   env={k: v for k, v in os.environ.items() if not unset.match(k)})
        if made.returncode != 0:
            shutil.rmtree(cls.work, True)
            raise AssertionError("cpack failed:\n" + made.stdout + made.stderr)
        debs = [f for f in os.listdir(cls.work) if f.endswith(".deb")]
        assert len(debs) == 1, debs
        cls.deb = os.path.join(cls.work, debs[0])
        cls.root = os.path.join(cls.work, "root")
        subprocess.run(["dpkg-deb", "-x", cls.deb, cls.root], check=True)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.work, True)

    def staged(self, path):
        return os.path.join(self.root, path.lstrip("/"))

    def field(self, name):
        return run(["dpkg-deb", "-f", self.deb, name]).stdout.strip()

    def check_icon(self, path, side):
        # In sixteenths of the side: a window from (1, 2) to (15, 14), its title bar the top
        # three; around it the ground is transparent.
        at, u = rgba(path), side // 16
        self.assertEqual(at(0, 0)[3], 0)
        self.assertEqual(at(side - 1, side - 1)[3], 0)
        self.assertEqual(at(side // 2, int(3.5 * u)), (0, 255, 255, 255))
        self.assertEqual(at(side // 2, int(9.5 * u)), (255, 255, 255, 255))
        self.assertEqual(at(u, int(9.5 * u)), (0, 0, 0, 255))
        self.assertEqual(at(side // 2, 5 * u - 1), (0, 0, 0, 255))
        # The line under the title bar stops at the window's edge.
        self.assertEqual(at(15 * u, 5 * u - 1)[3], 0)
        self.assertEqual(at(side // 2, 14 * u)[3], 0)

    def test_icon_in_the_theme_at_each_size(self):
        for side in SIDES:
            with self.subTest(side):
                path = self.staged(f"/usr/share/icons/hicolor/{side}x{side}/apps/bitvik.png")
                self.assertEqual(png_size(path), (side, side))
                self.check_icon(path, side)

    def test_scalable_icon_draws_the_same_picture(self):
        svg = self.staged("/usr/share/icons/hicolor/scalable/apps/bitvik.svg")
        for side in (64, 256):
            with self.subTest(side):
                png = os.path.join(self.work, f"svg-{side}.png")
                drawn = run(["rsvg-convert", "-w", str(side), "-h", str(side), svg, "-o", png])
                self.assertEqual(drawn.returncode, 0, drawn.stderr)
                self.check_icon(png, side)

    def test_entries_are_valid_and_name_the_staged_files(self):
        for name, title in (("bitvik", "Bitvik"), ("tralloma", "Tralloma")):
            with self.subTest(name):
                path = entry_path(self.staged("/usr"), name)
                self.assertEqual(validated(path), (0, ""))
                entry = desktopentry.read(path)
                self.assertEqual(entry["Type"], "Application")
                self.assertEqual(entry["Name"], title)
                for key in ("Comment", "GenericName"):
                    self.assertIn(f"{key}[sv]", entry)
                    self.assertNotEqual(entry[f"{key}[sv]"], entry[key])
                self.assertEqual(entry["Categories"].split(";"), ["Game", "LogicGame", ""])
                self.assertEqual(entry["Icon"], "bitvik")
                args = desktopentry.exec_arguments(entry["Exec"])
                self.assertEqual(args, expected_exec("/usr", name))
                self.assertTrue(os.access(self.staged(args[0]), os.X_OK))
                self.assertEqual(entry["TryExec"], f"/usr/games/{name}")

    def test_runtime_dependencies(self):
        fields = run(["dpkg-deb", "-f", self.deb, "Package", "Depends", "Section"]).stdout
        self.assertIn("Package: bitvik", fields)
        self.assertIn("Section: games", fields)
        depends = fields.split("Depends:", 1)[1].split("\n", 1)[0]
        names = {part.split()[0] for part in depends.split(",")}
        # The packages of the linked libraries, asked of dpkg: their names change between
        # releases (Debian 13's libqt6core6t64).
        for library in ("libQt6Widgets.so.6", "libQt6Gui.so.6", "libQt6Core.so.6",
                        "libjpeg.so.62"):
            with self.subTest(library):
                self.assertIn(library_package(self.staged("/usr/games/bitvik"), library), names)
        # What Qt loads at run time: the X11 platform plugin and the face the windows are drawn
        # in.
        for needed in ("qt6-qpa-plugins", "fonts-liberation"):
            self.assertIn(needed, names)

    def test_these_files_land_and_nothing_else(self):
        files = []
        for folder, _, names in os.walk(self.root):
            files += [os.path.relpath(os.path.join(folder, n), self.root) for n in names]
        expected = ["usr/games/bitvik", "usr/games/tralloma",
                    "usr/libexec/bitvik/start-in-pictures",
                    "usr/share/applications/bitvik.desktop",
                    "usr/share/applications/tralloma.desktop",
                    "usr/share/bitvik/sol.bmp", "usr/share/bitvik/fjäll.jpg",
                    "usr/share/doc/bitvik/changelog.gz", "usr/share/doc/bitvik/copyright",
                    "usr/share/icons/hicolor/scalable/apps/bitvik.svg",
                    "usr/share/man/man6/bitvik.6.gz", "usr/share/man/man6/tralloma.6.gz",
                    "usr/share/metainfo/se.bitvik.bitvik.metainfo.xml"]
        expected += [f"usr/share/icons/hicolor/{s}x{s}/apps/bitvik.png" for s in SIDES]
        self.assertEqual(sorted(files), sorted(expected))
        for program in ("bitvik", "tralloma"):
            path = self.staged(f"/usr/games/{program}")
            self.assertTrue(os.access(path, os.X_OK), path)
            with open(path, "rb") as f:
                self.assertEqual(f.read(4), b"\x7fELF")

    def test_demo_pictures_are_the_sources(self):
        for name in ("sol.bmp", "fjäll.jpg"):
            with open(self.staged(f"/usr/share/bitvik/{name}"), "rb") as shipped, \
                    open(os.path.join(SOURCE, "demo", name), "rb") as source:
                self.assertEqual(shipped.read(), source.read(), name)

    def test_lintian_reports_no_error_or_warning(self):
        checked = run(["lintian", "--pedantic", "--info", "--display-experimental", self.deb])
        tags = [line for line in checked.stdout.splitlines() if re.match(r"^[EWIPXO]: ", line)]
        print("lintian:", *(tags or ["(no tags)"]), sep="\n  ")
        self.assertEqual([t for t in tags if t[0] in "EW"], [], checked.stdout + checked.stderr)
        self.assertNotIn("E: ", checked.stderr)

    def test_metainfo_validates_and_names_what_ships(self):
        path = self.staged("/usr/share/metainfo/se.bitvik.bitvik.metainfo.xml")
        # Without a network the validator cannot fetch the screenshots' addresses.
        checked = run(["appstreamcli", "validate", "--pedantic", "--no-net", path])
        print("appstreamcli:", checked.stdout.strip())
        self.assertEqual(checked.returncode, 0, checked.stdout + checked.stderr)
        with open(path, encoding="utf-8") as f:
            text = f.read()
        for entry in re.findall(r'<launchable type="desktop-id">([^<]+)<', text):
            self.assertTrue(os.path.exists(self.staged(f"/usr/share/applications/{entry}")))
        self.assertRegex(text, r'<summary xml:lang="sv">')
        shots = re.findall(r"/docs/([^</]+\.png)</image>", text)
        self.assertEqual(sorted(shots), ["bitvik.png", "tralloma.png"])
        for shot in shots:
            width, height = png_size(os.path.join(SOURCE, "docs", shot))
            self.assertIn(f'width="{width}" height="{height}">', text, shot)

    def test_manual_pages(self):
        for name in ("bitvik", "tralloma"):
            with self.subTest(name):
                path = self.staged(f"/usr/share/man/man6/{name}.6.gz")
                with open(path, "rb") as f:
                    head = f.read(10)
                # gzip -9n: no file name, no time stamp, best compression.
                self.assertEqual((head[:2], head[3], head[4:8], head[8]),
                                 (b"\x1f\x8b", 0, b"\0\0\0\0", 2))
                shown = run(["man", "--warnings", "-E", "UTF-8", "-l", "-Tutf8", path],
                            env=dict(os.environ, MANWIDTH="80", LC_ALL="C.UTF-8"))
                self.assertEqual(shown.returncode, 0, shown.stderr)
                self.assertEqual(shown.stderr, "")
                # Bold and underline, as overstrikes or (groff 1.23) as SGR escapes.
                page = re.sub(r"\x1b\[[0-9;]*m|.\x08", "", shown.stdout)
                for heading in ("NAME", "THE FOLDER IT WORKS IN", "FILES", "EXIT STATUS"):
                    self.assertIn(f"\n{heading}\n", page)
                self.assertIn("bitvik.ini", page)

    def test_changelog_and_copyright(self):
        changelog = self.staged("/usr/share/doc/bitvik/changelog.gz")
        with gzip.open(changelog, "rt", encoding="utf-8") as f:
            text = f.read()
        parsed = run(["dpkg-parsechangelog", "-l", "-", "-S", "Version"], input=text)
        self.assertEqual(parsed.stdout.strip(), self.field("Version"), parsed.stderr)
        self.assertIn(f" -- {self.field('Maintainer')}  ", text)
        with open(self.staged("/usr/share/doc/bitvik/copyright"), encoding="utf-8") as f:
            copyright = f.read()
        self.assertTrue(copyright.startswith(
            "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"))
        with open(os.path.join(SOURCE, "LICENSE"), encoding="utf-8") as f:
            licence = f.read()
        # The licence's own text, in the format's indented paragraphs.
        first = licence.split("\n\n")[2].split("\n")[0]
        self.assertIn(" " + first + "\n", copyright)


# Stand-ins for the programs: each notes its name and folder, ended by a NUL as a folder's name
# may hold a newline; Tralloma saves, cancels or fails as FAKE_SETUP says.
FAKE_PROGRAM = r"""#!/bin/sh
printf '%s %s\0' "${0##*/}" "$(pwd -P)" >> "$FAKE_LOG"
case ${0##*/}:$FAKE_SETUP in
tralloma:save) printf '1\r\n1\r\n"x.bmp"\r\n' > bitvik.ini ;;
tralloma:fail) exit 1 ;;
esac
exit 0
"""

# The passwd entry of the user running it, with FAKE_HOME as its home; none where that is empty.
FAKE_GETENT = r"""#!/bin/sh
[ "$1 $2" = "passwd $(id -u)" ] && [ -n "$FAKE_HOME" ] || exit 2
printf 'spelare:x:%s:%s::%s:/bin/sh\n' "$2" "$2" "$FAKE_HOME"
"""

DEMO = ["fjäll.jpg", "sol.bmp"]


def user_dirs(name):
    """user-dirs.dirs naming a Pictures folder in the home as xdg-user-dirs-update writes it: the
    name in double quotes, with the characters they reserve escaped by a backslash."""
    return 'XDG_PICTURES_DIR="$HOME/' + re.sub(r'([\\"$`])', r'\\\1', name) + '"\n'


class TestLauncher(unittest.TestCase):
    """The launcher the entries go through, installed with its demo pictures: which folder,
    which programs in what order, and what it writes."""

    @classmethod
    def setUpClass(cls):
        cls.prefix = tempfile.mkdtemp(prefix="bitvik-launcher-prefix-")
        install(cls.prefix)
        cls.launcher = os.path.join(cls.prefix, "libexec", "bitvik", "start-in-pictures")

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.prefix, True)

    def setUp(self):
        self.folder = tempfile.mkdtemp(prefix="bitvik-launcher-")
        self.addCleanup(shutil.rmtree, self.folder, True)
        self.home = os.path.join(self.folder, "hem")
        self.config = os.path.join(self.folder, "config")
        self.pictures = os.path.join(self.home, "Bilder")
        self.data = os.path.join(self.home, ".local", "share", "bitvik")
        self.bin = os.path.join(self.folder, "bin")
        os.makedirs(self.bin)
        for name, script in (("bitvik", FAKE_PROGRAM), ("tralloma", FAKE_PROGRAM),
                             ("getent", FAKE_GETENT)):
            path = os.path.join(self.bin, name)
            with open(path, "w") as f:
                f.write(script)
            os.chmod(path, 0o755)
        self.fresh_home()

    def fresh_home(self, pictures="Bilder", create=True, dirs=None):
        """An empty home whose Pictures folder, when one is named, is configured (by the text
        dirs where given) and there when create says so."""
        for folder in (self.home, self.config):
            shutil.rmtree(folder, True)
            os.makedirs(folder)
        if pictures:
            with open(os.path.join(self.config, "user-dirs.dirs"), "w") as f:
                f.write(dirs or user_dirs(pictures))
        if pictures and create:
            os.makedirs(os.path.join(self.home, pictures))

    def put(self, folder, name, data=b"picture"):
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)

    def launch(self, *programs, setup="save", path=None, **env):
        """The launcher started on the programs (stand-ins, or given by absolute path), with the
        environment env changes (None takes a variable out)."""
        log = os.path.join(self.folder, "log")
        if os.path.exists(log):
            os.remove(log)
        environment = {"HOME": self.home, "XDG_CONFIG_HOME": self.config, "FAKE_LOG": log,
                       "FAKE_SETUP": setup, "PATH": path or os.environ["PATH"], **env}
        argv = [self.launcher] + [os.path.join(self.bin, p) for p in programs]
        return subprocess.Popen(argv, cwd="/", text=True, stdout=subprocess.PIPE,
                                stderr=subprocess.PIPE,
                                env={k: v for k, v in environment.items() if v is not None})

    def start(self, *programs, **kwargs):
        process = self.launch(*programs, **kwargs)
        out, err = process.communicate(timeout=10)
        done = subprocess.CompletedProcess(process.args, process.returncode, out, err)
        runs = []
        log = os.path.join(self.folder, "log")
        if os.path.exists(log):
            with open(log) as f:
                runs = [tuple(run.split(" ", 1)) for run in f.read().split("\0")[:-1]]
        return done, runs

    def tree(self, folder):
        return sorted(os.path.relpath(os.path.join(d, n), folder)
                      for d, _, names in os.walk(folder) for n in names)

    def test_game_journeys(self):
        pictures = os.path.realpath(os.path.join(self.home, "Bilder"))
        cases = [
            # (what the folder holds, Tralloma's answer, status, programs run, ini after)
            ("settings", "save", 0, ["bitvik"], True),
            ("pictures only", "save", 0, ["tralloma", "bitvik"], True),
            ("pictures only", "cancel", 0, ["tralloma"], False),
            ("pictures only", "fail", 1, ["tralloma"], False),
        ]
        for holds, setup, status, programs, ini in cases:
            with self.subTest(holds=holds, setup=setup):
                self.fresh_home()
                self.put(pictures, "FOTO.JPG")
                if holds == "settings":
                    self.put(pictures, "bitvik.ini", b'1\r\n1\r\n"FOTO.JPG"\r\n')
                done, runs = self.start("bitvik", "tralloma", setup=setup)
                self.assertEqual(done.returncode, status, done.stderr)
                self.assertEqual(runs, [(p, pictures) for p in programs])
                self.assertEqual(os.path.exists(os.path.join(pictures, "bitvik.ini")), ini)
                self.assertFalse(os.path.exists(self.data))

    def test_folders_without_a_listed_picture_lead_to_the_demo_pictures(self):
        cases = {
            "empty": [],
            "screenshots and a camera folder": ["skärmbild.png", "Kamera/IMG_0001.jpg"],
            "a hidden picture": [".gömd.bmp"],
        }
        for holds, files in cases.items():
            with self.subTest(holds):
                self.fresh_home()
                for name in files:
                    self.put(os.path.join(self.pictures, os.path.dirname(name)),
                             os.path.basename(name))
                done, runs = self.start("bitvik", "tralloma")
                self.assertEqual(done.returncode, 0, done.stderr)
                data = os.path.realpath(self.data)
                self.assertEqual(runs, [("tralloma", data), ("bitvik", data)])
                self.assertEqual(self.tree(self.data), ["bitvik.ini", "fjäll.jpg", "sol.bmp"])
                self.assertEqual(self.tree(self.pictures), sorted(files))

    def test_the_data_folder_is_seeded_only_while_it_holds_no_picture(self):
        self.put(self.data, "sol.bmp", b"the user's own")
        self.put(self.data, "bitvik.ini", b'1\r\n1\r\n"sol.bmp"\r\n')
        done, runs = self.start("bitvik", "tralloma")
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertEqual(runs, [("bitvik", os.path.realpath(self.data))])
        self.assertEqual(self.tree(self.data), ["bitvik.ini", "sol.bmp"])
        with open(os.path.join(self.data, "sol.bmp"), "rb") as f:
            self.assertEqual(f.read(), b"the user's own")

    def test_a_namesake_of_a_demo_picture_is_never_replaced(self):
        os.makedirs(os.path.join(self.data, "sol.bmp"))
        self.put(self.data, "fjäll.jpg.txt", b"notes")
        done, runs = self.start("tralloma")
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertEqual(self.tree(self.data), ["bitvik.ini", "fjäll.jpg", "fjäll.jpg.txt"])
        self.assertTrue(os.path.isdir(os.path.join(self.data, "sol.bmp")))

    def test_data_home_from_the_environment_when_absolute(self):
        own = os.path.join(self.folder, "data")
        for value, used in ((own, os.path.join(own, "bitvik")), ("relativ", self.data)):
            with self.subTest(value):
                _, runs = self.start("tralloma", setup="cancel", XDG_DATA_HOME=value)
                self.assertEqual(runs[-1], ("tralloma", os.path.realpath(used)))

    def test_an_unwritable_home_starts_in_the_pictures_folder(self):
        os.makedirs(os.path.join(self.home, ".local"))
        with open(os.path.join(self.home, ".local", "share"), "w"):
            pass  # a file where the data folder would go
        done, runs = self.start("tralloma", setup="cancel")
        self.assertEqual(runs, [("tralloma", os.path.realpath(self.pictures))])
        self.assertIn("kunde inte skapa mappen", done.stderr)

    def test_the_pictures_folder_or_else_home(self):
        cases = [("configured", "Bilder", True, None, self.pictures),
                 ("configured but gone", "Bilder", False, None, self.home),
                 ("none configured", None, False, None, self.home),
                 ("without xdg-user-dir", "Bilder", True, "tom", self.pictures)]
        for what, name, create, path, expected in cases:
            with self.subTest(what):
                self.fresh_home(name, create)
                self.put(expected, "bild.gif")
                empty = None
                if path:
                    empty = os.path.join(self.folder, path)
                    os.makedirs(empty, exist_ok=True)
                    # The launcher needs the tools every system has, but not xdg-user-dir.
                    for tool in ("sh", "dirname", "head", "mkdir", "cmp", "cp", "ln", "mv", "rm"):
                        target = os.path.join(empty, tool)
                        if not os.path.exists(target):
                            os.symlink(shutil.which(tool), target)
                _, runs = self.start("tralloma", setup="cancel", path=empty)
                self.assertEqual(runs, [("tralloma", os.path.realpath(expected))])

    def test_the_pictures_folder_is_read_as_user_dirs_dirs_says(self):
        absolute = os.path.join(self.folder, "Bilder")
        cases = [
            # (the folder, in the home where relative; user-dirs.dirs where not as written by
            # xdg-user-dirs-update)
            ("Mina  bilder", None),
            ("Mina\tbilder", None),
            ("Mina\nbilder", None),
            ("Mina\\bilder", None),
            ("[B]ilder", None),  # a glob that matches the decoy
            (' Foto "$HOME" `date` ', None),
            (absolute, f'# XDG_PICTURES_DIR="$HOME/Fel"\n  XDG_PICTURES_DIR="{absolute}"\n'),
            # the last line counts, though it has no end
            ("Sist", 'XDG_PICTURES_DIR="$HOME/Först"\nXDG_PICTURES_DIR="$HOME/Sist"'),
        ]
        for name, dirs in cases:
            with self.subTest(name):
                self.fresh_home(name, dirs=dirs)
                # Any other answer starts in the decoy, or in the data folder.
                self.put(os.path.join(self.home, "Bilder"), "lockbete.bmp")
                self.put(os.path.join(self.home, name), "bild.gif")
                done, runs = self.start("tralloma", setup="cancel")
                folder = os.path.realpath(os.path.join(self.home, name))
                self.assertEqual(runs, [("tralloma", folder)], done.stderr)

    def test_launches_at_the_same_moment_land_every_demo_picture(self):
        """A double click: two launches on a first run, again and again."""
        lost, reports = 0, []
        for _ in range(50):
            self.fresh_home()
            launches = [self.launch("/bin/true") for _ in range(2)]
            for launch in launches:
                _, err = launch.communicate(timeout=10)
                reports += [err] if err or launch.returncode else []
            lost += self.tree(self.data) != DEMO
        self.assertEqual((lost, reports), (0, []))

    def test_a_first_run_ended_by_a_kill_is_completed_by_the_next(self):
        """A copy in progress is named after its launch: a later one clears it once that launch
        no longer runs, copies what is missing, and leaves every other file alone."""
        ended = subprocess.Popen(["true"])
        ended.wait()
        left, live = f".fjäll.jpg.{ended.pid}.part", f".sol.bmp.{os.getpid()}.part"
        for name in (left, live, ".sol.bmp.part.txt"):
            self.put(self.data, name, b"half")
        shutil.copy(os.path.join(self.prefix, "share", "bitvik", "sol.bmp"), self.data)
        done, _ = self.start("tralloma", setup="cancel")
        self.assertEqual(done.stderr, "")
        self.assertEqual(self.tree(self.data), sorted(DEMO + [live, ".sol.bmp.part.txt"]))

    def test_without_home_the_home_of_the_passwd_entry(self):
        path = self.bin + os.pathsep + os.environ["PATH"]
        # Wherever a launcher at fault looks, its data folder stays in the test's.
        data = os.path.join(self.folder, "data")
        cases = [(None, self.home), ("", self.home), ("hem", self.home), (None, "")]
        for home, entry in cases:
            with self.subTest(home=home, entry=entry):
                self.put(self.pictures, "bild.gif")
                done, runs = self.start("tralloma", setup="cancel", path=path, HOME=home,
                                        FAKE_HOME=entry, XDG_DATA_HOME=data)
                if entry:
                    pictures = os.path.realpath(self.pictures)
                    self.assertEqual((runs, done.stderr), ([("tralloma", pictures)], ""))
                else:
                    self.assertEqual((runs, done.returncode), ([], 1))
                    self.assertRegex(done.stderr, "^start-in-pictures: ingen hemmapp: .*\n$")
        # The programs get that home too.
        done, _ = self.start("/usr/bin/env", path=path, HOME=None, FAKE_HOME=self.home,
                             XDG_DATA_HOME=data)
        self.assertIn(f"\nHOME={self.home}\n", "\n" + done.stdout)


class TestInstallPrefix(unittest.TestCase):
    """`cmake --install` to any prefix writes entries that name the programs there."""

    def test_prefix_with_space_and_dollar(self):
        work = tempfile.mkdtemp(prefix="bitvik-prefix-")
        self.addCleanup(shutil.rmtree, work, True)
        prefix = os.path.join(work, "mina $spel")
        install(prefix)
        for name in ("bitvik", "tralloma"):
            self.assertEqual(validated(entry_path(prefix, name)), (0, ""))
            args = exec_arguments(prefix, name)
            self.assertEqual(args, expected_exec(prefix, name))
            for arg in args:
                self.assertTrue(os.access(arg, os.X_OK), arg)
        # The launcher finds the demo pictures under this prefix too.
        home = os.path.join(work, "hem")
        os.makedirs(home)
        started = run([args[0], "/bin/true"], env={"HOME": home, "PATH": "/usr/bin:/bin"})
        self.assertEqual(started.returncode, 0, started.stderr)
        self.assertEqual(sorted(os.listdir(os.path.join(home, ".local/share/bitvik"))),
                         ["fjäll.jpg", "sol.bmp"])


if __name__ == "__main__":
    unittest.main()
