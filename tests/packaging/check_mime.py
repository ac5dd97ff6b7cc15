#!/usr/bin/env python3
"""Checks that the desktop recognises game logs and sight logs by their content.

usage: check_mime.py MIME_XML CLI DEMO_GAME TEXT_GAME COMPRESSED_GAME COMPRESSED_JSON_GAME

The MIME definitions are installed into a temporary XDG_DATA_HOME and its database built
with update-mime-database; then `xdg-mime query filetype` must name the game-log type for
copies of real logs renamed to `.dat` (the content decides, not the name; the JSON log is
inflated first), the sight-log
type for a scene that CLI writes, and the compressed types by name, while other files
keep their own types.
"""
import gzip
import os
import shutil
import subprocess
import sys
import tempfile


def run(args, env=None):
    result = subprocess.run(args, capture_output=True, text=True, timeout=60, env=env)
    if result.returncode != 0:
        sys.exit(f"{' '.join(args)} failed with status {result.returncode}:\n{result.stdout}{result.stderr}")
    return result.stdout.strip()


def main():
    if len(sys.argv) != 7:
        sys.exit(__doc__)
    definitions, cli, demo, text_game, compressed_game, compressed_json_game = sys.argv[1:]
    # xdg-mime reads the shared MIME database through the `mimetype` program outside a
    # known desktop; `file`, its fallback, knows nothing of XDG_DATA_HOME.
    for tool in ("xdg-mime", "update-mime-database", "mimetype"):
        if not shutil.which(tool):
            sys.exit(f"{tool} is missing: run tools/install-deps.sh")

    with tempfile.TemporaryDirectory() as home:
        data = os.path.join(home, "data")
        packages = os.path.join(data, "mime", "packages")
        os.makedirs(packages)
        shutil.copy(definitions, os.path.join(packages, "tessarin.xml"))
        env = {k: v for k, v in os.environ.items()
               if k not in ("XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "KDE_FULL_SESSION", "GNOME_DESKTOP_SESSION_ID")}
        env.update(XDG_DATA_HOME=data, HOME=home)
        run(["update-mime-database", os.path.join(data, "mime")], env)

        files = os.path.join(home, "files")
        os.mkdir(files)

        def place(source, name):
            path = os.path.join(files, name)
            shutil.copy(source, path)
            return path

        scene = os.path.join(files, "scene.slh")
        run([cli, "scene", demo, "--cycle", "100", "--self", "1", "--out", scene])
        json_game = os.path.join(files, "json-game.dat")
        with gzip.open(compressed_json_game, "rb") as source, open(json_game, "wb") as out:
            shutil.copyfileobj(source, out)
        other_json = os.path.join(files, "other.json")
        with open(other_json, "w", encoding="utf-8") as out:
            out.write('[{"name": "not a game"}]\n')
        notes = os.path.join(files, "notes.dat")
        with open(notes, "w", encoding="utf-8") as out:
            out.write("ULG is how a game log starts, but this is a note\n")
        cases = [
            (place(demo, "game.dat"), "application/x-rcg"),
            (place(text_game, "text-game.dat"), "application/x-rcg"),
            (json_game, "application/x-rcg"),
            (other_json, "application/json"),
            (place(scene, "scene.dat"), "application/x-slg"),
            (scene, "application/x-slg"),
            (place(compressed_game, "game.rcg.gz"), "application/x-compressed-rcg"),
            (place(compressed_game, "other.gz"), "application/gzip"),
            (notes, "text/plain"),
        ]
        errors = []
        for path, expected in cases:
            found = run(["xdg-mime", "query", "filetype", path], env)
            if found != expected:
                errors.append(f"xdg-mime query filetype {os.path.basename(path)}: {found}, expected {expected}")
    for error in errors:
        print(error, file=sys.stderr)
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main())
