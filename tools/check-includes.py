#!/usr/bin/env python3
"""Fails when an #include crosses a folder of src/ the wrong way.

The folders are ranked from the bottom up; a file may include files of its own folder and
of the folders below it, never of one above. The core includes no Qt header at all. A
folder that is not in the list fails too, so that a new folder is given its place here.
"""
import pathlib
import re
import sys

# Lowest first. Every folder of src/ that holds sources is listed here.
LAYERS = [
    "core/geometry",
    "core/record",
    "core/analysis",
    "core/live",
    "core/agentlog",
    "gui/settings",
    "gui/files",
    "gui/chart",
    "gui/display",
    "gui/windows",
    "gui/export",
    "gui/app",
    "cli",
]
RANK = {name: i for i, name in enumerate(LAYERS)}
# Where a quoted include is looked for, as the build's include paths say.
ROOTS = ["core", "gui", ""]
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^">]+)[">]', re.M)


def folder_of(src, path):
    return path.parent.relative_to(src).as_posix()


def resolve(src, including, name):
    candidates = [including.parent / name] + [src / root / name for root in ROOTS]
    for candidate in candidates:
        if candidate.is_file():
            return candidate.resolve()
    return None


def main():
    src = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else "src").resolve()
    errors = []
    for path in sorted(src.rglob("*")):
        if path.suffix not in (".cpp", ".h"):
            continue
        where = path.relative_to(src).as_posix()
        folder = folder_of(src, path)
        if folder not in RANK:
            errors.append(f"{where}: folder {folder}/ is not ranked in tools/check-includes.py")
            continue
        for match in INCLUDE.finditer(path.read_text(encoding="utf-8", errors="replace")):
            kind, name = match.groups()
            if kind == "<":
                if folder.startswith("core/") and re.match(r"Q[A-Za-z]|qt", name):
                    errors.append(f"{where}: the core includes Qt's <{name}>")
                continue
            target = resolve(src, path, name)
            if target is None or src not in target.parents:
                continue
            to = folder_of(src, target)
            if to not in RANK:
                continue
            if RANK[to] > RANK[folder]:
                errors.append(f'{where}: {folder}/ includes "{name}" from {to}/, a folder above it')
    for error in errors:
        print(error, file=sys.stderr)
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main())
