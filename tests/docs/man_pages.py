#!/usr/bin/env python3
"""The man pages keep step with --help: the same commands and options, and man renders them
without a warning.

usage: man_pages.py PROGRAM MANPAGE [PROGRAM MANPAGE ...]
"""
import re
import subprocess
import sys


def help_names(program):
    """Commands ("tags", "tags set") and --options of a program's --help."""
    text = subprocess.run([program, "--help"], check=True, capture_output=True, text=True).stdout
    options = set(re.findall(r"--[a-z][a-z-]*", text))
    commands = set()
    for line in text.splitlines()[1:]:
        if not re.match(r"  [a-z]", line):
            continue
        usage = re.split(r"\s{2,}", line.strip())[0]
        # "schedule dump FILE | build IN OUT": the later alternatives are subcommands.
        alternatives = re.split(r" \| (?![^\[]*\])", usage)
        command = alternatives[0].split()[0]
        commands.add(command)
        for alternative in alternatives:
            words = alternative.split()
            if words[0] == command:
                words = words[1:]
            if words and re.fullmatch(r"[a-z]+", words[0]):
                commands.add(command + " " + words[0])
    return commands, options


def man_names(page):
    """Commands (the tags of the COMMANDS section) and --options of a man page's source."""
    source = open(page, encoding="utf-8").read()
    plain = re.sub(r"\\f[BIRP]", "", source).replace("\\-", "-").replace('"', "")
    # The options of the program itself; later sections quote other programs.
    options = set(re.findall(r"--[a-z][a-z-]*", plain.split("\n.SH ENVIRONMENT")[0]))
    commands = set()
    section = re.search(r"^\.SH COMMANDS\n(.*?)^\.SH ", plain, re.S | re.M)
    if section:
        tagged = re.findall(r"^\.TP\n\.B[I]? (.*)$", section.group(1), re.M)
        tagged += re.findall(r"^\.br\n\.B[I]? (.*)$", section.group(1), re.M)
        for entry in tagged:
            words = entry.split()
            commands.add(words[0])
            if len(words) > 1 and re.fullmatch(r"[a-z]+", words[1]):
                commands.add(words[0] + " " + words[1])
    return commands, options


def rendering_warnings(page):
    result = subprocess.run(["man", "--warnings", "-E", "UTF-8", "-l", page],
                            capture_output=True, text=True, env={"MANWIDTH": "80", "LANG": "C.UTF-8",
                                                                 "PATH": "/usr/bin:/bin"})
    return result.stderr.strip() if result.returncode == 0 or result.stderr else "man failed"


def main(pairs):
    faults = []
    for program, page in zip(pairs[0::2], pairs[1::2]):
        help_commands, help_options = help_names(program)
        page_commands, page_options = man_names(page)
        for name in sorted(help_commands - page_commands):
            faults.append(f"{page}: command '{name}' of --help is not described")
        for name in sorted(page_commands - help_commands):
            faults.append(f"{page}: command '{name}' is not in --help")
        for name in sorted(help_options - page_options):
            faults.append(f"{page}: option {name} of --help is not described")
        for name in sorted(page_options - help_options):
            faults.append(f"{page}: option {name} is not in --help")
        warnings = rendering_warnings(page)
        if warnings:
            faults.append(f"{page}: man warns: {warnings}")
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
