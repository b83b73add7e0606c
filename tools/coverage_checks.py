#!/usr/bin/env python3
"""The bars that tools/coverage holds the suite to, from gcovr's summary and
the texts the tests' games showed.

  tools/coverage_checks.py SUMMARY.json SHOWN_FOLDER

Lines: every line of the game's own layers is run by some test, and at least
PLATFORM_BAR of the lines of the platform built for this machine. Messages:
every text of the game's layers is in what some test's game showed, unless
tests/unshown_messages.txt says why not. Prints what falls short and exits 1.
"""
import json
import os
import re
import sys

GAME_LAYERS = ["world", "game", "buildings", "commands", "encounters", "turn", "endings", "console"]
GAME_BAR = 100.0
PLATFORM_BAR = 95.0
# Built for other machines only: never in this build's counts.
OTHER_MACHINES = ["src/platform/web/", "src/platform/windows/"]
EXEMPTIONS = "tests/unshown_messages.txt"

# A comment, a string literal or a character literal, in the order they come.
TOKEN = re.compile(r'//[^\n]*|/\*.*?\*/|"(?:\\.|[^"\\\n])*"|\'(?:\\.|[^\'\\\n])*\'', re.S)
# Calls whose texts are compared with what the player typed or name a sound,
# never shown.
NOT_SHOWN_IN = {"commandIs", "refuseDirection", "play", "strcmp", "strncmp", "compare"}


def group_of(path):
    parts = path.split("/")
    if len(parts) > 2 and parts[0] == "src" and parts[1] in GAME_LAYERS:
        return "game"
    if path.startswith("src/platform/") and not any(path.startswith(other) for other in OTHER_MACHINES):
        return "platform"
    return None


def check_lines(summary_path):
    with open(summary_path) as file:
        files = json.load(file)["files"]
    totals = {"game": [0, 0], "platform": [0, 0]}
    short = []
    for entry in files:
        group = group_of(entry["filename"])
        if not group:
            continue
        totals[group][0] += entry["line_covered"]
        totals[group][1] += entry["line_total"]
        if entry["line_covered"] < entry["line_total"]:
            short.append((group, entry["filename"], entry["line_covered"], entry["line_total"]))
    failed = False
    for group, bar in (("game", GAME_BAR), ("platform", PLATFORM_BAR)):
        covered, total = totals[group]
        percent = 100.0 * covered / total if total else 100.0
        ok = covered == total if bar == 100.0 else percent >= bar
        print(f"coverage: {group}: {covered} of {total} lines, {percent:.1f}% (the bar: {bar:g}%)"
              + ("" if ok else "  BELOW THE BAR"))
        if not ok:
            failed = True
            for file_group, name, file_covered, file_total in short:
                if file_group == group:
                    print(f"  {name}: {file_total - file_covered} of {file_total} lines never run")
    return not failed


def unescape(literal):
    """The bytes a C++ string literal (quotes included) stands for."""
    body = literal[1:-1]
    out = bytearray()
    place = 0
    simple = {"n": 10, "t": 9, "r": 13, "a": 7, "b": 8, "f": 12, "v": 11, "0": 0, "\\": 92, '"': 34, "'": 39, "?": 63}
    while place < len(body):
        char = body[place]
        if char != "\\":
            out += char.encode("utf-8")
            place += 1
            continue
        kind = body[place + 1]
        if kind == "x":
            digits = re.match(r"[0-9a-fA-F]+", body[place + 2:]).group(0)
            out.append(int(digits, 16) & 0xFF)
            place += 2 + len(digits)
        elif kind in "01234567":
            digits = re.match(r"[0-7]{1,3}", body[place + 1:]).group(0)
            out.append(int(digits, 8) & 0xFF)
            place += 1 + len(digits)
        else:
            out.append(simple[kind])
            place += 2
    return bytes(out)


def called_with(code, at):
    """The name of the call whose parentheses hold position at, if any."""
    depth = 0
    for place in range(at - 1, -1, -1):
        char = code[place]
        if char == ")":
            depth += 1
        elif char == "(":
            if depth == 0:
                name = re.search(r"([A-Za-z_][A-Za-z_0-9]*)\s*$", code[:place])
                return name.group(1) if name else ""
            depth -= 1
        elif char in ";}":
            return ""
        elif char == "{" and depth == 0 and code[:place].rstrip()[-1:] not in ",(=":
            # A block's brace, not a list's.
            return ""
    return ""


# The start of a table's initializer: its name, then "= {" (or "[] = {").
TABLE_START = re.compile(r"([A-Za-z_][A-Za-z_0-9]*)\s*(?:\[[^\]]*\])?\s*=\s*\{")


def table_of(code, at):
    """The name of the table whose initializer holds position at, if any."""
    start = None
    for start in TABLE_START.finditer(code, 0, at):
        pass
    if start and ";" not in code[start.end():at]:
        return start.group(1)
    return ""


def game_texts(root):
    """Each text of the game's layers that may be shown, as (place, source, table, bytes)."""
    texts = []
    for layer in GAME_LAYERS:
        folder = os.path.join(root, "src", layer)
        for name in sorted(os.listdir(folder)):
            if not name.endswith((".cpp", ".h")):
                continue
            path = os.path.join("src", layer, name)
            with open(os.path.join(root, path), encoding="utf-8") as file:
                code = file.read()
            # Adjacent literals are one text, as the compiler joins them.
            run = None
            for token in TOKEN.finditer(code):
                text = token.group(0)
                if text[0] != '"':
                    continue
                line_start = code.rfind("\n", 0, token.start()) + 1
                if code[line_start:token.start()].lstrip().startswith("#"):
                    continue
                if run and code[run[1]:token.start()].strip() == "":
                    run[1] = token.end()
                    run[2].append(text)
                    continue
                run = [token.start(), token.end(), [text]]
                texts.append((path, code, run))
    shown = []
    for path, code, (start, end, literals) in texts:
        before = code[:start].rstrip()
        if before.endswith(("==", "!=")) or called_with(code, start) in NOT_SHOWN_IN:
            continue
        line = code.count("\n", 0, start) + 1
        shown.append((f"{path}:{line}", " ".join(literals), table_of(code, start),
                      b"".join(unescape(literal) for literal in literals)))
    return shown


def read_exemptions(root):
    """The texts no test need show, each with its reason: the text as the source
    spells it (or "table NAME" for every text of a table), a tab, the reason."""
    exempt = {}
    with open(os.path.join(root, EXEMPTIONS), encoding="utf-8") as file:
        for number, line in enumerate(file, 1):
            if not line.strip() or line.startswith("#"):
                continue
            text, tab, reason = line.rstrip("\n").partition("\t")
            if not tab or not reason.strip():
                sys.exit(f"{EXEMPTIONS}:{number}: a text, a tab and the reason it is never shown")
            exempt[text] = reason
    return exempt


def check_messages(root, shown_folder):
    shown = b"\0".join(open(os.path.join(shown_folder, name), "rb").read()
                       for name in sorted(os.listdir(shown_folder)))
    exempt = read_exemptions(root)
    texts = game_texts(root)
    unseen = [(place, source) for place, source, table, text in texts
              if text not in shown and source not in exempt and f"table {table}" not in exempt]
    stale = sorted(set(exempt) - {source for _, source, _, _ in texts} - {f"table {table}" for _, _, table, _ in texts})
    print(f"messages: {len(texts)} texts of the game, {len(exempt)} exempt, "
          f"{len(unseen)} shown by no test")
    for place, source in unseen:
        print(f"  {place}: {source}")
    for source in stale:
        print(f"  {EXEMPTIONS}: {source} is no longer a text of the game")
    return not unseen and not stale


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    lines_ok = check_lines(sys.argv[1])
    messages_ok = check_messages(root, sys.argv[2])
    sys.exit(0 if lines_ok and messages_ok else 1)


if __name__ == "__main__":
    main()
