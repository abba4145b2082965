#!/usr/bin/env python3
# Checks that every place which tells a reader a program's exit codes lists exactly the codes the
# program defines: the Markdown tables in docs/ and netsonde-cli's --help footer, against the
# enums in the programs' own headers.
#   check_exit_codes.py [ROOT]        (default: this checkout)
import pathlib
import re
import sys

ENUM_ENTRY = re.compile(r"^\s*k\w+\s*=\s*(\d+)\s*,", re.M)
TABLE_ROW = re.compile(r"^\|\s*(\d+)\s*\|")
STRING_LITERAL = re.compile(r'"((?:[^"\\]|\\.)*)"')


def codes_in_header(text, enum):
    body = re.search(r"enum\s+" + enum + r"\b[^{]*\{(.*?)\};", text, re.S)
    if not body:
        raise LookupError(f"no enum {enum}")
    return [int(code) for code in ENUM_ENTRY.findall(body.group(1))]


def codes_in_table(text, heading):
    """The first column of the first table after the heading, up to the next heading."""
    lines = text.splitlines()
    try:
        start = next(i for i, line in enumerate(lines) if line.strip("# ") == heading and
                     line.startswith("#"))
    except StopIteration:
        raise LookupError(f"no heading '{heading}'") from None
    codes = []
    for line in lines[start + 1:]:
        if line.startswith("#"):
            break
        row = TABLE_ROW.match(line)
        if row:
            codes.append(int(row.group(1)))
        elif codes and not line.startswith("|"):
            break
    return codes


def codes_in_footer(text, call):
    """The codes named in a CLI11 footer("Exit codes: 0 done, 1 ..."), string pieces joined."""
    found = re.search(re.escape(call) + r"\((.*?)\);", text, re.S)
    if not found:
        raise LookupError(f"no {call}(...)")
    words = "".join(STRING_LITERAL.findall(found.group(1)))
    if not words.startswith("Exit codes:"):
        raise LookupError(f"{call}(...) does not list exit codes")
    return [int(code) for code in re.findall(r"(?:^|[:,] )(\d+) ", words)]


# (program, header, enum, [(file, how to read the codes it tells, argument)])
CHECKS = [
    ("netsonde-cli", "cli/exit_status.h", "ExitStatus", [
        ("docs/cli.md", codes_in_table, "Exit codes"),
        ("cli/arguments.cpp", codes_in_footer, "app.footer"),
    ]),
    ("Netsonde.exe", "app/exit_codes.h", "ExitCode", [
        ("docs/design.md", codes_in_table, "Exit codes of Netsonde.exe"),
    ]),
]


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else
                        pathlib.Path(__file__).resolve().parents[2])
    errors = []
    for program, header, enum, readers in CHECKS:
        try:
            defined = codes_in_header((root / header).read_text(), enum)
        except (OSError, LookupError) as error:
            errors.append(f"{header}: {error}")
            continue
        for place, read, argument in readers:
            try:
                told = read((root / place).read_text(), argument)
            except (OSError, LookupError) as error:
                errors.append(f"{place}: {error}")
                continue
            if sorted(told) != sorted(defined):
                errors.append(f"{place} tells {program}'s exit codes {sorted(told)}; {header} "
                              f"defines {sorted(defined)}")
    for error in errors:
        print(error)
    print(f"check_exit_codes: {len(errors)} problem(s)")
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main())
