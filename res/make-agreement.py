#!/usr/bin/env python3
"""Writes the agreement's RTF document (agreement.rtf) from agreement.txt.

The RTF is pure ASCII: the Chinese text is written as \\'xx escapes of its
code page 936 bytes, under a font of charset 134, so that RichEdit 1.0 and
2.0 both read it on any system code page.

    python3 res/make-agreement.py            rewrite res/agreement.rtf
    python3 res/make-agreement.py --check    exit 1 when it is out of date
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


def escape(text):
    """The RTF form of a run of text: GBK bytes, \\'xx above 0x7F."""
    out = []
    for byte in text.encode("gbk"):
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


def build(txt_path):
    face = "".join(escape("宋体"))
    head = ("{\\rtf1\\ansi\\ansicpg936\\deff0\\deflang1033\\deflangfe2052"
            "{\\fonttbl{\\f0\\fnil\\fcharset134 %s;}}\n"
            "\\viewkind4\\uc1\\pard\\lang2052\\f0\\fs%d\n" % (face, BODY_SIZE))
    out = [head]
    for line in source_lines(txt_path):
        tokens = paragraph(line)
        # Break the source line only after an escape or a paragraph mark:
        # readers ignore line breaks there.
        column = 0
        text = []
        for tok in tokens:
            text.append(tok)
            column += len(tok)
            if column >= LINE_WIDTH and tok.startswith("\\'"):
                text.append("\n")
                column = 0
        out.append("".join(text) + "\n")
    out.append("}\n")
    return "".join(out).encode("ascii")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--txt", default=os.path.join(HERE, "agreement.txt"))
    parser.add_argument("--rtf", default=os.path.join(HERE, "agreement.rtf"))
    parser.add_argument("--check", action="store_true",
                        help="compare with the existing RTF instead of writing it")
    args = parser.parse_args()
    data = build(args.txt)
    if args.check:
        try:
            with open(args.rtf, "rb") as f:
                current = f.read()
        except OSError:
            current = None
        if current != data:
            sys.stderr.write("%s is out of date with %s: run python3 res/make-agreement.py\n"
                             % (args.rtf, args.txt))
            return 1
        return 0
    with open(args.rtf, "wb") as f:
        f.write(data)
    print("%s: %d bytes" % (args.rtf, len(data)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
