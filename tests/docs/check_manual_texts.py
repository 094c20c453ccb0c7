#!/usr/bin/env python3
"""The English manual (docs/manual/en/**/*.md) names the window's texts as the
English window shows them. A "quoted" text of its prose fails when it is a
Polish text of the window: a source text of translations/kxrd4-pc_en.ts (whole,
with its %1 arguments filled in, or a piece the window joins with other text),
or any text with Polish letters. The one exception helps someone with the
Polish window: the Polish text in parentheses right after its English
translation, as in "Send program" ("Wyślij program") or "Check program"
("Sprawdź program", F7); such a pair must be a message of the .ts.

Text in code (indented or fenced blocks, `spans`) is not prose. A paragraph
with an odd number of quote marks fails too: its quotes cannot be told apart.

Usage: check_manual_texts.py SOURCE-ROOT"""

import pathlib
import re
import sys
import xml.etree.ElementTree as ET

POLISH_LETTERS = re.compile("[ąćęłńóśźżĄĆĘŁŃÓŚŹŻ]")
QUOTE = re.compile(r'"([^"]*)"')
# Lines that begin a paragraph of their own: headings, list items, table rows.
BLOCK_START = re.compile(r"^\s*(#|[-*] |\d+\. |\|)")


class Translation:
    """The messages of a .ts file: each Polish source and its English text."""

    def __init__(self, ts_path):
        self.pairs = set()
        for message in ET.parse(ts_path).getroot().iter("message"):
            source = message.find("source")
            translation = message.find("translation")
            if source is None or translation is None:
                continue
            self.pairs.add(("".join(source.itertext()), "".join(translation.itertext())))
        english = {text.strip() for _, text in self.pairs}
        # A source that is an English text as well ("STOP", "Program") is no
        # sign of the Polish window; nor is a source without three letters.
        self.polish = []
        for source in {source for source, _ in self.pairs}:
            if source.strip() in english or len(re.findall(r"\w", source)) < 3:
                continue
            self.polish.append((re.compile(self.pattern(source)), source.strip()))

    @staticmethod
    def pattern(source):
        """A text the window shows from this source: its %1 arguments filled
        in (or left out as "…"), and a piece with a blank at an end joined
        with more text there."""
        pieces = re.split(r"%\d", source.strip())
        text = ".+".join(re.escape(piece) for piece in pieces)
        if source[:1].isspace():
            text = r"(?:.*\s)?" + text
        if source[-1:].isspace():
            text = text + r"(?:\s.*)?"
        return text

    def polish_source(self, text):
        """The source text this quoted text shows, or None."""
        for pattern, source in self.polish:
            if pattern.fullmatch(text):
                return source
        return None

    def is_pair(self, polish, english):
        return any(
            source.strip() == polish and translation.strip() == english
            for source, translation in self.pairs
        )


def paragraphs(text):
    """(first line number, the paragraph's prose as one line), outside code."""
    fenced = False
    current = []
    for number, line in enumerate(text.splitlines(), 1):
        if line.lstrip().startswith("```"):
            fenced = not fenced
            line = ""
        code = fenced or (line.startswith("    ") and not current)
        if code or not line.strip() or BLOCK_START.match(line):
            if current:
                yield current[0][0], " ".join(part for _, part in current)
            current = []
        if not code and line.strip():
            current.append((number, re.sub(r"`[^`]*`", "", line.strip())))
    if current:
        yield current[0][0], " ".join(part for _, part in current)


def problems(text, translation):
    """The Polish window texts quoted in this English text, as messages."""
    for number, paragraph in paragraphs(text):
        if paragraph.count('"') % 2:
            yield number, "an odd number of quote marks"
            continue
        previous = None
        for match in QUOTE.finditer(paragraph):
            quoted = match.group(1)
            source = translation.polish_source(quoted)
            if source is not None or POLISH_LETTERS.search(quoted):
                after_english = (
                    previous is not None
                    and paragraph[previous.end() : match.start()] == " ("
                )
                if not after_english:
                    yield number, f'"{quoted}" is a text of the Polish window'
                elif not translation.is_pair(quoted, previous.group(1)):
                    yield number, (
                        f'"{previous.group(1)}" ("{quoted}"): not a text of the window '
                        "and its English translation"
                    )
            previous = match


# The rule on a few paragraphs, so that a checker that passes everything fails.
SELF_CHECK = [
    ('Press "Send program" ("Wyślij program").', 0),
    ('Press "Check program" ("Sprawdź program", F7).', 0),
    ('"STOP", "Play/Stop" and "Program" are the same in both.', 0),
    ('Press "Wyślij program".', 1),
    ('It says "Odzyskać niezapisane zmiany z …?".', 1),
    ('It says "Wybrano sterownik KX-RD4 SN 1".', 1),
    ('The title ends in "(symulator)", not in "(process 12)".', 1),
    ('Press "Run program" ("Wyślij program").', 1),
    ('The status bar says "Pozycja zła".', 1),
    ('One "quote too many.', 1),
    ('Code: `"Wyślij program"`.\n\n    "Wyślij program"', 0),
]


def main():
    root = pathlib.Path(sys.argv[1]).resolve()
    translation = Translation(root / "translations" / "kxrd4-pc_en.ts")
    failed = 0
    if len(translation.polish) < 100:
        print(f"only {len(translation.polish)} Polish texts read from the .ts")
        failed += 1
    for text, expected in SELF_CHECK:
        found = list(problems(text, translation))
        if len(found) != expected:
            print(f"check of {text!r}: {len(found)} problems, expected {expected}: {found}")
            failed += 1
    pages = sorted((root / "docs" / "manual" / "en").rglob("*.md"))
    for page in pages:
        for number, problem in problems(page.read_text(encoding="utf-8"), translation):
            print(f"{page.relative_to(root)}:{number}: {problem}")
            failed += 1
    print(f"{len(pages)} pages of the English manual checked, {failed} problems")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
