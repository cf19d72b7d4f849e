#!/usr/bin/env python3
"""Compiles every game header after the Windows headers, and fails on any name in them that
those headers define as a macro (CreateFont, near, small, ...): such a name would be renamed
in the files that include <windows.h> first and nowhere else.

Usage: check_game_headers.py COMPILER SOURCE_DIR [INCLUDE_DIR...]
"""
import pathlib
import re
import subprocess
import sys
import tempfile

# Backends whose headers are made to sit on system headers of their own.
SYSTEM_BACKENDS = ("platform/sdl/", "platform/gl/", "platform/web/", "platform/win32/")

# Comments, string and character literals: no names of the code in them.
NOT_CODE = re.compile(r'//[^\n]*|/\*.*?\*/|"(?:\\.|[^"\\\n])*"|\'(?:\\.|[^\'\\\n])*\'', re.S)
DIRECTIVE = re.compile(r"^\s*#\s*(include|pragma)[^\n]*", re.M)
NAME = re.compile(r"\b[A-Za-z_]\w*\b")


def game_headers(source):
    for path in sorted(source.rglob("*.h")):
        relative = path.relative_to(source).as_posix()
        if not relative.startswith(SYSTEM_BACKENDS):
            yield relative, path


def names_in(path):
    code = DIRECTIVE.sub("", NOT_CODE.sub(" ", path.read_text()))
    return set(NAME.findall(code))


def run(compiler, lines, includes, *flags):
    with tempfile.NamedTemporaryFile("w", suffix=".cpp", delete=False) as unit:
        unit.write("\n".join(lines) + "\n")
    command = [compiler, "-std=c++20", *flags, unit.name] + [f"-I{d}" for d in includes]
    result = subprocess.run(command, capture_output=True, text=True)
    pathlib.Path(unit.name).unlink()
    return result


def macros(result):
    return {line.split()[1].split("(")[0] for line in result.stdout.splitlines()
            if line.startswith("#define ")}


def main():
    compiler, source = sys.argv[1], pathlib.Path(sys.argv[2])
    includes = [source] + [pathlib.Path(d) for d in sys.argv[3:]]
    headers = list(game_headers(source))
    users = {}
    for relative, path in headers:
        for name in names_in(path):
            users.setdefault(name, []).append(relative)
    game = [f'#include "{relative}"' for relative, _ in headers]
    beside_windows = ['#include "platform/win32/windows_headers.h"'] + game
    compiled = run(compiler, beside_windows, includes, "-fsyntax-only")
    if compiled.returncode != 0:
        sys.stdout.write(compiled.stderr)
        return 1
    # Macros the game's own and the standard headers define are the game's to use.
    windows_only = macros(run(compiler, beside_windows, includes, "-E", "-dM")) - macros(
        run(compiler, game, includes, "-E", "-dM"))
    renamed = sorted(set(users) & windows_only)
    print(f"{len(headers)} game headers compiled after the Windows headers; "
          f"{len(users)} names checked")
    for name in renamed:
        print(f"{name} (in {', '.join(users[name])}) is a macro of the Windows headers")
    return 1 if renamed else 0


if __name__ == "__main__":
    sys.exit(main())
