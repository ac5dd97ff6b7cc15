#!/usr/bin/env python3
"""Installs the build into a temporary prefix and checks what a desktop and a shell find there.

usage: check_install.py BUILD_DIR VERSION APP_ID

`cmake --install BUILD_DIR --prefix P` must put exactly the expected files under P: the two
programs, which print VERSION; a desktop entry and AppStream metadata that their validators
accept; an icon in every size the entry can ask for; the MIME definitions, whose cache the
install refreshes, and which the desktop then opens with the entry; the manual pages;
the shell completion.
"""
import os
import shutil
import struct
import subprocess
import sys
import tempfile

ICON_SIZES = (16, 32, 48, 256)


def run(args, **kwargs):
    return subprocess.run(args, capture_output=True, text=True, timeout=120, **kwargs)


def expected_files(app_id):
    files = {
        "bin/tessarin",
        "bin/tessarin-cli",
        f"share/applications/{app_id}.desktop",
        f"share/metainfo/{app_id}.metainfo.xml",
        f"share/mime/packages/{app_id}.xml",
        f"share/icons/hicolor/scalable/apps/{app_id}.svg",
        "share/man/man1/tessarin.1.gz",
        "share/man/man1/tessarin-cli.1.gz",
        "share/bash-completion/completions/tessarin-cli",
        "share/zsh/vendor-completions/_tessarin-cli",
    }
    files.update(f"share/icons/hicolor/{n}x{n}/apps/{app_id}.png" for n in ICON_SIZES)
    return files


def generated_cache(path):
    """The caches the install's refresh writes beside the definitions."""
    if path.startswith("share/mime/") and not path.startswith("share/mime/packages/"):
        return True
    return path == "share/applications/mimeinfo.cache"


def png_size(path):
    with open(path, "rb") as image:
        header = image.read(24)
    if header[:8] != b"\x89PNG\r\n\x1a\n" or header[12:16] != b"IHDR":
        return None
    return struct.unpack(">II", header[16:24])


def desktop_keys(path):
    keys = {}
    with open(path, encoding="utf-8") as entry:
        for line in entry:
            if "=" in line and not line.startswith("#"):
                key, value = line.rstrip("\n").split("=", 1)
                keys.setdefault(key, value)
    return keys


def check(prefix, version, app_id):
    errors = []
    installed = set()
    for folder, _, names in os.walk(prefix):
        for name in names:
            installed.add(os.path.relpath(os.path.join(folder, name), prefix))
    expected = expected_files(app_id)
    for path in sorted(expected - installed):
        errors.append(f"not installed: {path}")
    for path in sorted(installed - expected):
        if not generated_cache(path):
            errors.append(f"installed but not expected: {path}")
    if "share/mime/mime.cache" not in installed:
        errors.append("the install did not refresh the MIME cache of the prefix (share/mime/mime.cache)")
    if errors:
        return errors

    for program in ("tessarin-cli", "tessarin"):
        path = os.path.join(prefix, "bin", program)
        env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
        result = run([path, "--version"], env=env)
        if result.returncode != 0 or result.stdout != f"{program} {version}\n":
            errors.append(f"{path} --version printed {result.stdout!r} (status {result.returncode}), "
                          f"expected {program} {version!r}")

    desktop = os.path.join(prefix, "share/applications", f"{app_id}.desktop")
    result = run(["desktop-file-validate", desktop])
    if result.returncode != 0 or result.stdout.strip():
        errors.append(f"desktop-file-validate {desktop}:\n{result.stdout}{result.stderr}")
    keys = desktop_keys(desktop)
    if keys.get("Icon") != app_id:
        errors.append(f"the desktop entry's icon is {keys.get('Icon')!r}, not the installed {app_id!r}")
    if keys.get("Exec", "").split()[:1] != ["tessarin"] or "%f" not in keys.get("Exec", ""):
        errors.append(f"the desktop entry runs {keys.get('Exec')!r}, expected tessarin with %f")
    mime_types = set(filter(None, keys.get("MimeType", "").split(";")))
    with open(os.path.join(prefix, "share/mime/packages", f"{app_id}.xml"), encoding="utf-8") as definitions:
        text = definitions.read()
    for mime_type in sorted(mime_types):
        if f'type="{mime_type}"' not in text:
            errors.append(f"the desktop entry opens {mime_type}, which the MIME definitions do not define")

    # The desktop finds the entry as the handler of each of its types: a double-click opens them.
    env = {k: v for k, v in os.environ.items() if k not in ("XDG_CURRENT_DESKTOP", "DESKTOP_SESSION")}
    env.update(XDG_DATA_HOME=os.path.join(prefix, "share"), XDG_CONFIG_HOME=os.path.join(prefix, "config"))
    for mime_type in sorted(mime_types):
        result = run(["xdg-mime", "query", "default", mime_type], env=env)
        if result.stdout.strip() != f"{app_id}.desktop":
            errors.append(f"xdg-mime query default {mime_type}: {result.stdout.strip()!r}, expected {app_id}.desktop")

    metainfo = os.path.join(prefix, "share/metainfo", f"{app_id}.metainfo.xml")
    result = run(["appstreamcli", "validate", "--no-net", metainfo])
    if result.returncode != 0:
        errors.append(f"appstreamcli validate --no-net {metainfo}:\n{result.stdout}{result.stderr}")
    with open(metainfo, encoding="utf-8") as source:
        if f'<release version="{version}"' not in source.read():
            errors.append(f"the metadata names no release {version}")

    for size in ICON_SIZES:
        path = os.path.join(prefix, f"share/icons/hicolor/{size}x{size}/apps/{app_id}.png")
        if png_size(path) != (size, size):
            errors.append(f"{path} is {png_size(path)}, not a {size}x{size} PNG")

    for page in ("tessarin", "tessarin-cli"):
        path = os.path.join(prefix, f"share/man/man1/{page}.1.gz")
        result = run(["man", "-P", "cat", "-l", path], env=dict(os.environ, MANWIDTH="80"))
        if result.returncode != 0 or version not in result.stdout:
            errors.append(f"man -l {path} does not render a page of version {version}: {result.stderr}")
    return errors


def main():
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    build, version, app_id = sys.argv[1:]
    for tool in ("desktop-file-validate", "appstreamcli", "update-mime-database", "update-desktop-database", "xdg-mime",
                 "man"):
        if not shutil.which(tool):
            sys.exit(f"{tool} is missing: run tools/install-deps.sh")
    with tempfile.TemporaryDirectory() as prefix:
        result = run(["cmake", "--install", build, "--prefix", prefix])
        if result.returncode != 0:
            sys.exit(f"cmake --install failed:\n{result.stdout}{result.stderr}")
        errors = check(prefix, version, app_id)
    for error in errors:
        print(error, file=sys.stderr)
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main())
