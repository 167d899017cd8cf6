"""The Debian package as CPack builds it, unpacked into a staging root (nothing is installed on
the machine), and the launcher its menu entries start the programs through."""

import os
import shutil
import struct
import subprocess
import tempfile
import unittest

import desktopentry

BUILD = os.environ["BITVIK_BUILD"]
SIDES = (16, 32, 48)


def run(argv, text=True, **kwargs):
    return subprocess.run(argv, capture_output=True, text=text, timeout=120, **kwargs)


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


class TestPackage(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.work = tempfile.mkdtemp(prefix="bitvik-package-")
        made = run(["cpack", "--config", os.path.join(BUILD, "CPackConfig.cmake"),
                    "-G", "DEB", "-B", cls.work])
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

    def entry(self, name):
        return desktopentry.read(self.staged(f"/usr/share/applications/{name}.desktop"))

    def test_programs_land_in_bin(self):
        for program in ("bitvik", "tralloma"):
            path = self.staged(f"/usr/bin/{program}")
            self.assertTrue(os.access(path, os.X_OK), path)
            with open(path, "rb") as f:
                self.assertEqual(f.read(4), b"\x7fELF")

    def test_icon_in_the_theme_at_each_size(self):
        for side in SIDES:
            path = self.staged(f"/usr/share/icons/hicolor/{side}x{side}/apps/bitvik.png")
            self.assertEqual(png_size(path), (side, side))
            # In sixteenths of the side: a window from (1, 2) to (15, 14), its title bar the
            # top three; around it the ground is transparent.
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

    def test_entries_are_valid(self):
        for name in ("bitvik", "tralloma"):
            path = self.staged(f"/usr/share/applications/{name}.desktop")
            checked = run(["desktop-file-validate", path])
            self.assertEqual((checked.returncode, checked.stdout + checked.stderr), (0, ""))

    def test_entries_name_the_staged_files(self):
        for name, title in (("bitvik", "Bitvik"), ("tralloma", "Tralloma")):
            with self.subTest(name):
                entry = self.entry(name)
                self.assertEqual(entry["Type"], "Application")
                self.assertEqual(entry["Name"], title)
                for key in ("Comment", "GenericName"):
                    self.assertIn(f"{key}[sv]", entry)
                    self.assertNotEqual(entry[f"{key}[sv]"], entry[key])
                self.assertEqual(entry["Categories"].split(";"), ["Game", "LogicGame", ""])
                self.assertEqual(entry["Icon"], "bitvik")
                args = desktopentry.exec_arguments(entry["Exec"])
                self.assertEqual(args, ["/usr/libexec/bitvik/start-in-pictures",
                                        f"/usr/bin/{name}"])
                self.assertTrue(os.access(self.staged(args[0]), os.X_OK))
                self.assertEqual(entry["TryExec"], f"/usr/bin/{name}")

    def test_runtime_dependencies(self):
        fields = run(["dpkg-deb", "-f", self.deb, "Package", "Depends", "Section"]).stdout
        self.assertIn("Package: bitvik", fields)
        self.assertIn("Section: games", fields)
        depends = fields.split("Depends:", 1)[1].split("\n", 1)[0]
        names = {part.split()[0] for part in depends.split(",")}
        # The linked libraries, and what Qt loads at run time: the X11 platform plugin and the
        # face the windows are drawn in.
        for needed in ("libqt6widgets6", "libqt6gui6", "libqt6core6", "qt6-qpa-plugins",
                       "fonts-liberation", "libjpeg62-turbo"):
            self.assertIn(needed, names)

    def test_nothing_else_lands(self):
        files = []
        for folder, _, names in os.walk(self.root):
            files += [os.path.relpath(os.path.join(folder, n), self.root) for n in names]
        expected = ["usr/bin/bitvik", "usr/bin/tralloma",
                    "usr/libexec/bitvik/start-in-pictures",
                    "usr/share/applications/bitvik.desktop",
                    "usr/share/applications/tralloma.desktop"]
        expected += [f"usr/share/icons/hicolor/{s}x{s}/apps/bitvik.png" for s in SIDES]
        self.assertEqual(sorted(files), sorted(expected))


class TestLauncher(unittest.TestCase):
    """The launcher the entries go through: the Pictures folder, else the home folder."""

    def setUp(self):
        self.folder = tempfile.mkdtemp(prefix="bitvik-launcher-")
        self.addCleanup(shutil.rmtree, self.folder, True)
        self.home = os.path.join(self.folder, "hem")
        self.config = os.path.join(self.folder, "config")
        os.makedirs(self.home)
        os.makedirs(self.config)
        self.launcher = os.path.join(os.path.dirname(__file__), "..", "..", "desktop",
                                     "start-in-pictures.sh")

    def pictures_at(self, name):
        with open(os.path.join(self.config, "user-dirs.dirs"), "w") as f:
            f.write(f'XDG_PICTURES_DIR="$HOME/{name}"\n')

    def start(self, *args, path=None):
        env = {"HOME": self.home, "XDG_CONFIG_HOME": self.config,
               "PATH": path if path is not None else os.environ["PATH"]}
        return subprocess.run(["/bin/sh", self.launcher, *args], env=env, cwd="/",
                              capture_output=True, text=True, timeout=10)

    def folder_started_in(self, **kwargs):
        done = self.start("/bin/sh", "-c", "pwd -P", **kwargs)
        self.assertEqual(done.returncode, 0, done.stderr)
        return done.stdout.strip()

    def test_pictures_folder(self):
        if not shutil.which("xdg-user-dir"):
            self.fail("xdg-user-dir is missing (package xdg-user-dirs)")
        self.pictures_at("Bilder")
        os.makedirs(os.path.join(self.home, "Bilder"))
        self.assertEqual(self.folder_started_in(), os.path.realpath(self.home + "/Bilder"))

    def test_home_when_the_pictures_folder_is_gone(self):
        self.pictures_at("Bilder")
        self.assertEqual(self.folder_started_in(), os.path.realpath(self.home))

    def test_home_when_none_is_configured(self):
        self.assertEqual(self.folder_started_in(), os.path.realpath(self.home))

    def test_home_without_xdg_user_dir(self):
        self.pictures_at("Bilder")
        os.makedirs(os.path.join(self.home, "Bilder"))
        empty = os.path.join(self.folder, "tom")
        os.makedirs(empty)
        self.assertEqual(self.folder_started_in(path=empty), os.path.realpath(self.home))

    def test_arguments_and_status_pass_through(self):
        done = self.start("/bin/sh", "-c", 'printf "%s|" "$@"; exit 3', "sh", "a b", 'c"d$e')
        self.assertEqual((done.returncode, done.stdout), (3, 'a b|c"d$e|'))


class TestInstallPrefix(unittest.TestCase):
    """`cmake --install` to any prefix writes entries that name the programs there."""

    def test_prefix_with_space_and_dollar(self):
        work = tempfile.mkdtemp(prefix="bitvik-prefix-")
        self.addCleanup(shutil.rmtree, work, True)
        prefix = os.path.join(work, "mina $spel")
        done = run(["cmake", "--install", BUILD, "--prefix", prefix])
        self.assertEqual(done.returncode, 0, done.stderr)
        for name in ("bitvik", "tralloma"):
            path = os.path.join(prefix, "share", "applications", f"{name}.desktop")
            checked = run(["desktop-file-validate", path])
            self.assertEqual((checked.returncode, checked.stdout + checked.stderr), (0, ""))
            args = desktopentry.exec_arguments(desktopentry.read(path)["Exec"])
            self.assertEqual(args, [os.path.join(prefix, "libexec/bitvik/start-in-pictures"),
                                    os.path.join(prefix, "bin", name)])
            for arg in args:
                self.assertTrue(os.access(arg, os.X_OK), arg)


if __name__ == "__main__":
    unittest.main()
