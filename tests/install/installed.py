"""The build under test (BITVIK_BUILD) installed to a prefix of its own, and the programs its
menu entries start there."""

import os
import subprocess

import desktopentry

BUILD = os.environ["BITVIK_BUILD"]
# The game's entry names the setup tool too, for a folder with no settings.
PROGRAMS = {"bitvik": ["bitvik", "tralloma"], "tralloma": ["tralloma"]}


def install(prefix):
    done = subprocess.run(["cmake", "--install", BUILD, "--prefix", prefix],
                          capture_output=True, text=True, timeout=120)
    assert done.returncode == 0, done.stderr


def entry_path(prefix, name):
    return os.path.join(prefix, "share", "applications", f"{name}.desktop")


def exec_arguments(prefix, name):
    return desktopentry.exec_arguments(desktopentry.read(entry_path(prefix, name))["Exec"])


def expected_exec(prefix, name):
    """The launcher, then the programs the entry names, all under the prefix."""
    return [os.path.join(prefix, "libexec", "bitvik", "start-in-pictures")] + \
        [os.path.join(prefix, "games", p) for p in PROGRAMS[name]]
