#!/usr/bin/env python3
# Checks that every relative link in the README, docs/ and the other pages they link to leads
# somewhere: the file or folder exists, and a #anchor names a heading of the page it points
# into, by GitHub's rules for heading anchors. Web links are not followed (CI has no network).
#   check_links.py [ROOT]        (default: this checkout)
import pathlib
import re
import sys
import unicodedata

FENCE = re.compile(r"^\s*(```|~~~)")
INLINE_LINK = re.compile(r"!?\[(?:[^\[\]]|\[[^\]]*\])*\]\(\s*<?([^)\s>]*)>?(?:\s+\"[^\"]*\")?\s*\)")
REFERENCE_LINK = re.compile(r"^\s{0,3}\[[^\]]+\]:\s*<?(\S+?)>?(?:\s+.*)?$")
CODE_SPAN = re.compile(r"(`+)(.+?)\1")
HEADING = re.compile(r"^\s{0,3}(#{1,6})\s+(.*?)\s*#*\s*$")
HTML_ANCHOR = re.compile(r"<a\s[^>]*(?:name|id)=\"([^\"]+)\"", re.I)


def slug(heading):
    """GitHub's anchor for a heading: the text as shown, lower case, punctuation dropped
    (letters, digits, marks, '_', '-' and blanks stay), each blank a '-'."""
    text = re.sub(r"!?\[([^\]]*)\]\([^)]*\)", r"\1", heading)  # a link shows its text
    text = CODE_SPAN.sub(lambda m: m.group(2), text)
    text = re.sub(r"<[^>]+>", "", text)
    text = re.sub(r"(\*+|\b_+|_+\b)", "", text)  # emphasis marks
    kept = "".join(c for c in text.lower()
                   if c in " -_" or unicodedata.category(c)[0] in "LNM")
    return kept.replace(" ", "-")


def lines_outside_code(path):
    in_fence = False
    for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        if FENCE.match(line):
            in_fence = not in_fence
            continue
        if not in_fence:
            yield number, line


def anchors(path):
    found, seen = set(), {}
    for _, line in lines_outside_code(path):
        found.update(HTML_ANCHOR.findall(line))
        heading = HEADING.match(line)
        if heading:
            base = slug(heading.group(2))
            count = seen.get(base, 0)
            seen[base] = count + 1
            found.add(base if count == 0 else f"{base}-{count}")
    return found


def links(path):
    for number, line in lines_outside_code(path):
        reference = REFERENCE_LINK.match(line)
        if reference:
            yield number, reference.group(1)
            continue
        for target in INLINE_LINK.findall(CODE_SPAN.sub("", line)):
            yield number, target


def problems(root, page, reached):
    for number, target in links(page):
        if not target or re.match(r"^[a-z][a-z0-9+.-]*:", target, re.I):
            continue  # web and mail links
        file_part, _, anchor = target.partition("#")
        dest = (page.parent / file_part).resolve() if file_part else page
        where = f"{page.relative_to(root)}:{number}: {target}"
        if not dest.exists():
            yield f"{where}: no such file"
            continue
        if dest.suffix == ".md" and root in dest.parents and dest not in reached:
            reached.append(dest)
        if anchor and dest.suffix == ".md" and anchor not in anchors(dest):
            yield f"{where}: no heading with that anchor in {dest.relative_to(root)}"


# Headings whose anchors GitHub is known to make, so that a change to slug() that breaks its
# rules fails here and not only on a page that happens to use the case.
SLUG_CASES = [
    ("Quick start", "quick-start"),
    ("Exit codes of Netsonde.exe", "exit-codes-of-netsondeexe"),
    ("netsonde-cli: the same devices from a command line",
     "netsonde-cli-the-same-devices-from-a-command-line"),
    ("What it does, and what it does not", "what-it-does-and-what-it-does-not"),
    ("Flood and `--check` (50 devices)", "flood-and---check-50-devices"),
    ("The [lab](x.md) by_hand *now*", "the-lab-by_hand-now"),
    ("Texts à la carte: 5 %", "texts-à-la-carte-5-"),
]


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else
                        pathlib.Path(__file__).resolve().parents[2]).resolve()
    errors = [f"slug({h!r}) = {slug(h)!r}, GitHub makes {want!r}"
              for h, want in SLUG_CASES if slug(h) != want]
    pages = [root / "README.md"] + sorted((root / "docs").glob("**/*.md"))
    for page in pages:  # grows with the pages linked to
        errors.extend(problems(root, page, pages))
    for error in errors:
        print(error)
    print(f"check_links: {len(pages)} pages, {len(errors)} problem(s)")
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main())
