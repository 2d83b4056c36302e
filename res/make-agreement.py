#!/usr/bin/env python3
"""Writes the agreement's RTF documents from their texts: agreement.rtf
(Chinese) from agreement.txt and agreement-en.rtf (English) from
agreement-en.txt.

The RTF is pure ASCII: the text is written as \\'xx escapes of its code
page 936 (Chinese, under a font of charset 134) or 1252 (English, charset 0)
bytes, so that RichEdit 1.0 and 2.0 both read it on any system code page.

    python3 res/make-agreement.py            rewrite both RTF files
    python3 res/make-agreement.py --check    exit 1 when one is out of date
"""
import argparse
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))

# Sizes in half points.
BODY_SIZE = 18
TITLE_SIZE = 24
# Hanging indent of numbered paragraphs, in twips: the width of a digit and
# a full-width point at the body size.
HANG = 270
# Source lines of the RTF are broken after this many characters, at a point
# where a line break cannot change the document.
LINE_WIDTH = 78


# Per language: the source, the document, the text's code page, and the
# RTF header's code page, font and language words.
LANGUAGES = {
    "zh": ("agreement.txt", "agreement.rtf", "gbk",
           "\\ansicpg936\\deff0\\deflang1033\\deflangfe2052", "\\fnil\\fcharset134", "宋体", "\\lang2052"),
    "en": ("agreement-en.txt", "agreement-en.rtf", "cp1252",
           "\\ansicpg1252\\deff0\\deflang1033", "\\fswiss\\fcharset0", "Arial", "\\lang1033"),
}
ENCODING = "gbk"


def escape(text):
    """The RTF form of a run of text: its code page's bytes, \\'xx above 0x7F."""
    out = []
    for byte in text.encode(ENCODING):
        ch = chr(byte)
        if byte >= 0x80:
            out.append("\\'%02x" % byte)
        elif ch in "\\{}":
            out.append("\\" + ch)
        elif byte < 0x20:
            raise ValueError("control character in the agreement text")
        else:
            out.append(ch)
    return out


def runs(text):
    """Tokens of a paragraph, with "**" switching bold on and off."""
    tokens = []
    bold = False
    parts = text.split("**")
    if len(parts) % 2 == 0:
        raise ValueError("unbalanced ** in: " + text)
    for i, part in enumerate(parts):
        if i > 0:
            bold = not bold
            tokens.append("\\b " if bold else "\\b0 ")
        tokens.extend(escape(part))
    return tokens


def paragraph(line):
    """The tokens of one source line, paragraph mark included."""
    if line.startswith("== "):
        return ["\\pard\\sb160\\sa60\\keepn\\b "] + runs(line[3:]) + ["\\b0\\par"]
    if line.startswith("= "):
        return (["\\pard\\qc\\sb60\\sa160\\b\\fs%d " % TITLE_SIZE] + runs(line[2:])
                + ["\\b0\\fs%d\\par" % BODY_SIZE])
    number, dot, rest = line.partition(". ")
    if dot and number.isdigit():
        if ENCODING != "gbk":
            # The number and its point, then a tab to the hanging indent.
            return (["\\pard\\fi-%d\\li%d\\tx%d\\sa40 %s.\\tab " % (HANG, HANG, HANG, number)]
                    + runs(rest) + ["\\par"])
        # A full-width point and no blank after it: a blank there would be
        # the only place where some RichEdit versions break the line.
        return (["\\pard\\fi-%d\\li%d\\sa40 %s" % (HANG, HANG, number)]
                + runs("．" + rest) + ["\\par"])
    return ["\\pard\\fi360\\sa60 "] + runs(line) + ["\\par"]


def source_lines(path):
    with open(path, encoding="utf-8") as f:
        for raw in f:
            line = raw.rstrip("\n").rstrip()
            if not line or line.startswith("#"):
                continue
            yield line


def build(txt_path, language="zh"):
    global ENCODING
    _, _, ENCODING, codepage, family, font, lang = LANGUAGES[language]
    face = "".join(escape(font))
    head = ("{\\rtf1\\ansi%s"
            "{\\fonttbl{\\f0%s %s;}}\n"
            "\\viewkind4\\uc1\\pard%s\\f0\\fs%d\n" % (codepage, family, face, lang, BODY_SIZE))
    out = [head]
    for line in source_lines(txt_path):
        tokens = paragraph(line)
        # Break the source line only after an escape or a paragraph mark:
        # readers ignore line breaks there;
        column = 0
        text = []
        for tok in tokens:
            text.append(tok)
            column += len(tok)
            # or after a blank, which the readers keep while they drop the
            # line break.
            if column >= LINE_WIDTH and (tok.startswith("\\'") or (tok == " " and ENCODING != "gbk")):
                text.append("\n")
                column = 0
        out.append("".join(text) + "\n")
    out.append("}\n")
    return "".join(out).encode("ascii")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--check", action="store_true",
                        help="compare with the existing RTF files instead of writing them")
    args = parser.parse_args()
    status = 0
    for language, (txt, rtf, _, _, _, _, _) in sorted(LANGUAGES.items()):
        txt_path, rtf_path = os.path.join(HERE, txt), os.path.join(HERE, rtf)
        data = build(txt_path, language)
        if args.check:
            try:
                with open(rtf_path, "rb") as f:
                    current = f.read()
            except OSError:
                current = None
            if current != data:
                sys.stderr.write("%s is out of date with %s: run python3 res/make-agreement.py\n"
                                 % (rtf_path, txt_path))
                status = 1
            continue
        with open(rtf_path, "wb") as f:
            f.write(data)
        print("%s: %d bytes" % (rtf_path, len(data)))
    return status


if __name__ == "__main__":
    sys.exit(main())
