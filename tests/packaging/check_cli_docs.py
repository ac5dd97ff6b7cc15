#!/usr/bin/env python3
"""Checks that the manual pages and the shell completion name what the programs' --help prints.

Each check is a command of this script, run by CTest:
  manual-cli CLI PAGE         the commands and options of `CLI --help` against the manual page
  manual-viewer VIEWER PAGE   the options and display option names of `VIEWER --help`
  bash-completion CLI SCRIPT  the completion's table against `CLI --help`, and its file filter
  zsh-completion CLI SCRIPT   the zsh completion's commands and options against `CLI --help`
  render PAGE...              each page renders with `man -l` without a warning
  changelog CHANGELOG VERSION the newest entry of the changelog is VERSION
Both directions are checked: a name missing from the documentation, and a name documented
that the program no longer has.
"""
import os
import re
import subprocess
import sys
import tempfile

OPTION = re.compile(r"--[a-z][a-z0-9-]*")


def run(args, **kwargs):
    result = subprocess.run(args, capture_output=True, text=True, timeout=60, **kwargs)
    if result.returncode != 0:
        sys.exit(f"{' '.join(args)} failed with status {result.returncode}:\n{result.stderr}")
    return result.stdout


def help_sections(text):
    """The lines of each section ("Options:", "Subcommands:", ...) of a CLI11 help text."""
    sections, current = {}, None
    for line in text.splitlines():
        header = re.match(r"^([A-Z][A-Za-z ]*):$", line)
        if header:
            current = sections.setdefault(header.group(1), [])
        elif current is not None and line.startswith("  "):
            current.append(line)
        elif not line.strip():
            current = None
    return sections


def cli_interface(cli):
    """{command: (options, positionals)} and the top-level options, as --help prints them."""
    top = help_sections(run([cli, "--help"]))
    commands = [line.split()[0] for line in top.get("Subcommands", []) if re.match(r"^  \S", line)]
    if not commands:
        sys.exit(f"{cli} --help lists no commands")
    interface = {}
    for command in commands:
        sections = help_sections(run([cli, command, "--help"]))
        options = set()
        for line in sections.get("Options", []):
            if re.match(r"^  -", line):
                options.update(OPTION.findall(line.split()[0]))
        positionals = {line.split()[0] for line in sections.get("Positionals", []) if re.match(r"^  \S", line)}
        interface[command] = (options, positionals)
    top_options = set()
    for line in top.get("Options", []):
        if re.match(r"^  -", line):
            top_options.update(OPTION.findall(line.split()[0]))
    return interface, top_options


def roff_text(line):
    """A roff source line as plain words: escapes of dashes and fonts removed."""
    line = line.replace(r"\-", "-").replace(r"\&", "").replace(r"\e", "\\")
    return re.sub(r"\\f[BIRP]|\\\(..", "", line)


def page_sections(page):
    """{heading: {"tags", "text", "parent"}} keyed by the .SH or .SS heading; "tags" are the
    options that start a tagged paragraph (.TP), "parent" the .SH heading of a .SS."""
    sections, heading, parent, tag_next = {}, None, None, False
    with open(page, encoding="utf-8") as source:
        for raw in source:
            line = roff_text(raw.rstrip("\n"))
            macro = re.match(r"^\.(SH|SS)\s+(.*)$", line)
            if macro:
                heading = macro.group(2).strip('"')
                if macro.group(1) == "SH":
                    parent = heading
                sections[heading] = {"tags": set(), "text": "", "parent": parent}
                continue
            if heading is None:
                continue
            sections[heading]["text"] += line + "\n"
            if tag_next:
                sections[heading]["tags"].update(OPTION.findall(line))
            tag_next = line.startswith(".TP")
    return sections


def compare(what, expected, documented, where):
    errors = []
    for name in sorted(expected - documented):
        errors.append(f"{what}: {name} is printed by --help but not named in {where}")
    for name in sorted(documented - expected):
        errors.append(f"{what}: {name} is named in {where} but --help does not print it")
    return errors


def check_manual_cli(cli, page):
    interface, top_options = cli_interface(cli)
    sections = page_sections(page)
    errors = compare("tessarin-cli", top_options, sections.get("OPTIONS", {"tags": set()})["tags"], "OPTIONS")
    if "COMMANDS" not in sections:
        return errors + ["the page has no section COMMANDS"]
    documented_commands = {name for name, section in sections.items() if section["parent"] == "COMMANDS" and name != "COMMANDS"}
    errors += compare("commands", set(interface), documented_commands, "the subsections of COMMANDS")
    for command, (options, positionals) in interface.items():
        if command not in sections:
            continue
        # Every command answers --help; the page says so once, under OPTIONS.
        errors += compare(command, options - {"--help"}, sections[command]["tags"], f"its section {command}")
        for positional in sorted(positionals):
            if not re.search(rf"\b{re.escape(positional)}\b", sections[command]["text"]):
                errors.append(f"{command}: the argument {positional} is not named in its section")
    return errors


def check_manual_viewer(viewer, page):
    env = dict(os.environ)
    for name in ("DISPLAY", "WAYLAND_DISPLAY"):
        env.pop(name, None)
    usage = run([viewer, "--help"], env=env)
    printed = set(OPTION.findall(usage))
    names_line = re.search(r"NAME is one of (.*?)\(VALUE 0 or 1\)\s+or\s+(\w+)", usage, re.S)
    if not names_line:
        return ["the viewer's --help no longer lists the display option names"]
    names = set(re.findall(r"[A-Z][A-Za-z]+", names_line.group(1))) | {names_line.group(2)}
    sections = page_sections(page)
    tags = set().union(*(section["tags"] for section in sections.values()))
    errors = compare("tessarin", printed, tags, "the page's option lists")
    text = "".join(section["text"] for section in sections.values())
    for name in sorted(names):
        if not re.search(rf"\b{name}\b", text):
            errors.append(f"tessarin: the display option {name} is printed by --help but not named in the page")
    return errors


def bash_table(script):
    """Runs the completion script and prints its table: command, then its option words."""
    probe = f"""
source {os.path.abspath(script)!r} || exit 3
for command in "${{!_tessarin_cli_options[@]}}"; do
    printf '%s' "$command"
    for word in ${{_tessarin_cli_options[$command]}}; do printf ' %s' "${{word%%=*}}"; done
    printf ' :%s\\n' "${{_tessarin_cli_arguments[$command]-missing}}"
done
"""
    table = {}
    for line in run(["bash", "-c", probe]).splitlines():
        words, arguments = line.rsplit(" :", 1)
        command, *options = words.split()
        table[command] = (set(options), arguments)
    return table


def complete(script, words, cwd):
    """The completions bash offers for the last of `words`, with the bash-completion package."""
    quoted = " ".join("'" + word.replace("'", "'\\''") + "'" for word in words)
    probe = f"""
source /usr/share/bash-completion/bash_completion
source {os.path.abspath(script)!r} || exit 3
COMP_WORDS=({quoted}); COMP_CWORD=$(( ${{#COMP_WORDS[@]}} - 1 )); COMPREPLY=()
_tessarin_cli
printf '%s\\n' "${{COMPREPLY[@]}}"
"""
    return {line for line in run(["bash", "-c", probe], cwd=cwd).splitlines() if line}


def check_bash_completion(cli, script):
    interface, _ = cli_interface(cli)
    table = bash_table(script)
    errors = compare("bash completion commands", set(interface), set(table), "the completion's table")
    for command, (options, positionals) in interface.items():
        if command not in table:
            continue
        completed, arguments = table[command]
        errors += compare(f"bash completion of {command}", options - {"--help"}, completed, "the completion's table")
        if arguments not in ("game", "none"):
            errors.append(f"bash completion of {command}: its arguments are of no known kind ({arguments})")
        elif (arguments == "none") != (not positionals):
            errors.append(f"bash completion of {command}: takes arguments {sorted(positionals)}, completes {arguments}")

    with tempfile.TemporaryDirectory() as folder:
        for name in ("a.rcg", "b.rcg.gz", "c.slg", "d.slh.gz", "notes.txt", "archive.gz", "rcg"):
            open(os.path.join(folder, name), "w").close()
        os.mkdir(os.path.join(folder, "games"))
        cases = [
            (["tessarin-cli", ""], set(interface)),
            (["tessarin-cli", "an"], {"analyze"}),
            (["tessarin-cli", "--v"], {"--version"}),
            (["tessarin-cli", "info", ""], {"a.rcg", "b.rcg.gz", "c.slg", "d.slh.gz", "games"}),
            (["tessarin-cli", "analyze", "--events", "a.rcg", ""], {"a.rcg", "b.rcg.gz", "c.slg", "d.slh.gz", "games"}),
            (["tessarin-cli", "analyze", "--out", ""], {"games"}),
            (["tessarin-cli", "analyze", "a.rcg", "--st"], {"--stats-json"}),
            (["tessarin-cli", "record", "--port", ""], set()),
            (["tessarin-cli", "scene", "--out", "n"], {"notes.txt"}),
        ]
        for words, expected in cases:
            offered = complete(script, words, folder)
            if offered != expected:
                errors.append(f"bash completion of {' '.join(words)!r}: offered {sorted(offered)}, "
                              f"expected {sorted(expected)}")
    return errors


def check_zsh_completion(cli, script):
    interface, top_options = cli_interface(cli)
    with open(script, encoding="utf-8") as source:
        text = source.read()
    run(["zsh", "-n", script])
    listed = set(re.findall(r"^\s+'([a-z][a-z0-9-]*):", text, re.M))
    cases = dict(re.findall(r"^\s+([a-z][a-z0-9-]*)\) _arguments (.*) ;;$", text, re.M))
    errors = compare("zsh completion commands", set(interface), listed, "its list of commands")
    errors += compare("zsh completion cases", set(interface), set(cases), "its cases")
    for command, (options, _) in interface.items():
        if command in cases:
            completed = set(re.findall(r"'(--[a-z][a-z0-9-]*)\[", cases[command]))
            errors += compare(f"zsh completion of {command}", options - {"--help"}, completed, "its case")
    for option in sorted(top_options - {"--help"}):
        if f"{option}[" not in text:
            errors.append(f"zsh completion: the option {option} of tessarin-cli is not completed")
    return errors


def check_render(pages):
    errors = []
    env = dict(os.environ, MANWIDTH="80", LC_ALL="C.UTF-8")
    for page in pages:
        result = subprocess.run(["man", "--warnings", "-E", "UTF-8", "-P", "cat", "-l", page], capture_output=True,
                                text=True, timeout=60, env=env)
        if result.returncode != 0 or result.stderr.strip():
            errors.append(f"man -l {page}: status {result.returncode}, warnings:\n{result.stderr}")
            continue
        for heading in ("NAME", "SYNOPSIS", "DESCRIPTION", "SEE ALSO"):
            if not re.search(rf"^{heading}$", result.stdout, re.M):
                errors.append(f"man -l {page}: no {heading} section in the rendered page")
        whatis = subprocess.run(["lexgrog", page], capture_output=True, text=True, timeout=60)
        if whatis.returncode != 0:
            errors.append(f"lexgrog {page}: the NAME line cannot be parsed for whatis: {whatis.stdout}")
    return errors


def check_changelog(changelog, version):
    with open(changelog, encoding="utf-8") as source:
        entries = re.findall(r"^## (\S+) - (\d{4}-\d{2}-\d{2})$", source.read(), re.M)
    if not entries:
        return ["the changelog has no entry headed \"## VERSION - YYYY-MM-DD\""]
    if entries[0][0] != version:
        return [f"the newest changelog entry is {entries[0][0]}, the project's version is {version}"]
    dates = [date for _, date in entries]
    if dates != sorted(dates, reverse=True):
        return ["the changelog's entries are not newest first"]
    return []


def main():
    checks = {
        "manual-cli": check_manual_cli,
        "manual-viewer": check_manual_viewer,
        "bash-completion": check_bash_completion,
        "zsh-completion": check_zsh_completion,
        "changelog": check_changelog,
    }
    if len(sys.argv) < 3 or (sys.argv[1] not in checks and sys.argv[1] != "render"):
        sys.exit(__doc__)
    errors = check_render(sys.argv[2:]) if sys.argv[1] == "render" else checks[sys.argv[1]](*sys.argv[2:])
    for error in errors:
        print(error, file=sys.stderr)
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main())
