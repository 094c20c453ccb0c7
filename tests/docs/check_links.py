#!/usr/bin/env python3
"""Every link and picture of the project's Markdown documents (README.md,
docs/*.md and the operator's manual docs/manual/**/*.md) leads to a file that
exists. Links to web addresses and to anchors of the same page are not
followed; a link's own anchor (page.md#part) is left off. Text in code (blocks
indented by four blanks, fenced blocks, `spans`) holds no links.

Usage: check_links.py SOURCE-ROOT"""

import pathlib
import re
import sys

LINK = re.compile(r"!?\[[^\]]*\]\(([^)\s]+)(?:\s+\"[^\"]*\")?\)")


def documents(root):
    yield root / "README.md"
    yield from sorted((root / "docs").glob("*.md"))
    yield from sorted((root / "docs" / "manual").rglob("*.md"))


def prose(text):
    """The text outside code blocks and code spans, line by line."""
    fenced = False
    for number, line in enumerate(text.splitlines(), 1):
        if line.lstrip().startswith("```"):
            fenced = not fenced
            continue
        if fenced or line.startswith("    ") and not line.lstrip().startswith(("-", "*", "[", "!")):
            continue
        yield number, re.sub(r"`[^`]*`", "", line)


def broken_links(root):
    for document in documents(root):
        for number, line in prose(document.read_text(encoding="utf-8")):
            for target in LINK.findall(line):
                if re.match(r"^[a-z][a-z0-9+.-]*:", target) or target.startswith("#"):
                    continue
                path = target.split("#", 1)[0]
                if not (document.parent / path).exists():
                    yield f"{document.relative_to(root)}:{number}: {target} does not exist"


def main():
    root = pathlib.Path(sys.argv[1]).resolve()
    found = list(broken_links(root))
    for problem in found:
        print(problem)
    checked = sum(1 for _ in documents(root))
    print(f"{checked} documents checked, {len(found)} broken links")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
