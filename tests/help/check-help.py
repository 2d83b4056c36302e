#!/usr/bin/env python3
"""Checks a compiled help manual, Guide.CHM or GuideEN.CHM, as the viewer will read it.

    check-help.py GUIDE.CHM [--language zh|en] [--sources DIR] [--strings RC]
                  [--program-sources DIR]

The manuals are two: the Chinese one (--language zh, the default: help/,
res/strings.rc, code page 936) and the English one (--language en: help/en/,
res/strings-en.rc, code page 1252); both get the same checks, each with its
own title, language, code page and string table.

The file is read back with chmls (fp-utils): its listing, and every file
extracted from it.  It must hold every topic and stylesheet of the sources
(help/) with the contents and the index it names; every link, contents and
index entry must reach a file in it, and an anchor in that file; every topic
must be in the contents; the index must have an entry for every message of
the string table (res/strings.rc or res/strings-en.rc), by its text and by its
number ("消息 N", "Message N"), leading to a page that shows the text, and one
for every fixed English message the program shows (src/); the stored title
and the viewer window's caption must be the one the wizard's F1 looks for, in
the manual's code page, and every page must be in that code page and say so.  Prints one line per
check and "passed=N failed=N"; exits 1 when a check failed.
"""
import argparse
import html
import os
import re
import struct
import subprocess
import sys
import tempfile


class Language:
    def __init__(self, title, lcid, lcid_name, encoding, code_page, charset, message, sources, strings):
        self.title_text = title
        self.title = title.encode(encoding)
        self.lcid = lcid
        self.lcid_name = lcid_name
        self.encoding = encoding
        self.code_page = code_page
        self.charset = charset
        self.message = message
        self.sources = sources
        self.strings = strings


LANGUAGES = {
    # The caption F1 looks for on a system whose ANSI code page is 936.
    "zh": Language("打印机驱动安装手册", 0x0804, "Chinese (PRC)", "gbk", 936, "gb2312", "消息 %d",
                   ("help",), ("res", "strings.rc")),
    # And on every other system.
    "en": Language("Printer Driver Setup Guide", 0x0409, "English (United States)", "cp1252", 1252,
                   "windows-1252", "Message %d", ("help", "en"), ("res", "strings-en.rc")),
}
# HHWIN_PROP_CHANGE_TITLE: the viewer would caption its window with each
# topic's title, and F1 would no longer find it.
CHANGE_TITLE = 0x2000

here = os.path.dirname(os.path.abspath(__file__))
top = os.path.normpath(os.path.join(here, "..", ".."))

passed = failed = 0


def report(ok, what, details=()):
    global passed, failed
    if ok:
        passed += 1
        print("[ OK ] " + what)
    else:
        failed += 1
        print("[FAIL] " + what)
        for d in list(details)[:20]:
            print("       " + d)


def chm_files(chm):
    """{name: size} of the files in the CHM's directory (folders left out)."""
    out = subprocess.run(["chmls", "-p", "list", chm], capture_output=True)
    if out.returncode != 0:
        return None
    files = {}
    for line in out.stdout.decode("latin-1").splitlines():
        m = re.match(r"^\s*\d+\s+\d+\s+(\d+)\s+/(.+[^/])$", line)
        if m:
            files[m.group(2)] = int(m.group(1))
    return files


def system_records(data):
    """The #SYSTEM file: a version, then records of code, length and data."""
    records = {}
    i = 4
    while i + 4 <= len(data):
        code, length = struct.unpack_from("<HH", data, i)
        records[code] = data[i + 4:i + 4 + length]
        i += 4 + length
    return records


def cstring(data, offset=0):
    end = data.find(b"\0", offset)
    return data[offset:end if end >= 0 else len(data)]


def window_types(windows, strings):
    """(name, caption, properties) of every window type in #WINDOWS."""
    if len(windows) < 8:
        return []
    count, size = struct.unpack_from("<II", windows, 0)
    types = []
    for k in range(count):
        base = 8 + k * size
        if base + 0x18 > len(windows):
            break
        name, props, caption = (struct.unpack_from("<I", windows, base + o)[0] for o in (0x08, 0x10, 0x14))
        types.append((cstring(strings, name), cstring(strings, caption), props))
    return types


LINK = re.compile(rb"""(?:href|src)\s*=\s*"([^"]*)"|<param\s+name="Local"\s+value="([^"]*)\"""", re.I)
ANCHOR = re.compile(rb"""\b(?:id|name)\s*=\s*"([^"]+)\"""", re.I)
ENTRY = re.compile(rb"""<object\s+type="text/sitemap">(.*?)</object>""", re.I | re.S)
PARAM = re.compile(rb"""<param\s+name="(\w+)"\s+value="([^"]*)">""", re.I)


def sitemap_entries(data, encoding):
    """(Name, Local) of every entry of a contents or index file, as text."""
    entries = []
    for obj in ENTRY.findall(data):
        params = {k.decode().lower(): html.unescape(v.decode(encoding, "replace")) for k, v in PARAM.findall(obj)}
        entries.append((params.get("name", ""), params.get("local", "")))
    return entries


def page_text(data, encoding):
    """The text a page shows: tags dropped, line breaks kept, entities resolved."""
    text = data.decode(encoding, "replace")
    text = re.sub(r"(?i)<br\s*/?>", "\n", text)
    text = re.sub(r"<[^>]*>", "", text)
    return html.unescape(text)


def string_table(rc_path):
    """{id: [lines]} of the string table, as the message boxes show the texts."""
    resource_h = os.path.join(os.path.dirname(rc_path), "resource.h")
    with open(resource_h, encoding="utf-8") as f:
        ids = {m.group(1): int(m.group(2)) for m in re.finditer(r"#define\s+(IDS_\w+)\s+(\d+)", f.read())}
    with open(rc_path, encoding="utf-8") as f:
        rc = f.read()
    table = {}
    for m in re.finditer(r'^\s*(IDS_\w+)\s+"((?:[^"]|"")*)"', rc, re.M):
        text = m.group(2).replace('""', '"').replace("&", "")
        table[ids[m.group(1)]] = text.split("\\n")
    return table


def fixed_messages(src_dir):
    """The English texts the program shows as they are in the code: arguments
    of ShowText, Say and ShowCode, up to the first conversion of a format."""
    call = re.compile(r'\b(?:ShowText|Say|ShowCode)\((?:[^;"()]*,\s*)?"((?:[^"\\]|\\.)*)"')
    texts = set()
    for root, dirs, files in os.walk(src_dir):
        # The simulated machine is the tests' Windows, not the program.
        dirs[:] = [d for d in dirs if os.path.join(root, d) != os.path.join(src_dir, "sys", "sim")]
        for name in files:
            if name.endswith(".cpp"):
                with open(os.path.join(root, name), encoding="utf-8") as f:
                    for literal in call.findall(f.read()):
                        texts.add(literal.split("%")[0].strip())
    return sorted(texts)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("chm")
    ap.add_argument("--language", choices=sorted(LANGUAGES), default="zh")
    ap.add_argument("--sources")
    ap.add_argument("--strings")
    ap.add_argument("--program-sources", default=os.path.join(top, "src"))
    args = ap.parse_args()
    lang = LANGUAGES[args.language]
    args.sources = args.sources or os.path.join(top, *lang.sources)
    args.strings = args.strings or os.path.join(top, *lang.strings)
    enc = lang.encoding

    listing = chm_files(args.chm) if os.path.isfile(args.chm) else None
    if not listing:
        report(False, "%s is a compiled help file that chmls can list" % args.chm)
        return 1
    with tempfile.TemporaryDirectory() as work:
        subprocess.run(["chmls", "extractall", args.chm, work], capture_output=True)
        files = {}
        for name, size in listing.items():
            path = os.path.join(work, name)
            if os.path.isfile(path):
                with open(path, "rb") as f:
                    files[name] = f.read()
            elif size == 0:
                files[name] = b""
    unreadable = [n for n in listing if len(files.get(n, b"")) != listing[n]]
    report(not unreadable, "all %d files of its directory can be extracted" % len(listing), unreadable)

    system = system_records(files.get("#SYSTEM", b""))
    contents = cstring(system.get(0, b"")).decode("latin-1")
    index = cstring(system.get(1, b"")).decode("latin-1")
    default = cstring(system.get(2, b"")).decode("latin-1")

    # The sources' pages and stylesheets, and the contents and index the file names.
    expected = sorted(n for n in os.listdir(args.sources) if n.lower().endswith((".htm", ".html", ".css")))
    missing = [n for n in expected + [contents, index] if not n or n not in files]
    report(not missing and contents.endswith(".hhc") and index.endswith(".hhk"),
           "the file holds all %d topics and stylesheets, the contents %s and the index %s"
           % (len(expected), contents or "(none)", index or "(none)"), ["missing: " + (n or "(unnamed)") for n in missing])
    report(default in files and default.endswith((".htm", ".html")), "the default topic %s is in the file" % (default or "(none)"))

    # Title and language; the viewer's caption is the window type's, else the title.
    title = cstring(system.get(3, b""))
    lcid = struct.unpack_from("<I", system[4])[0] if len(system.get(4, b"")) >= 4 else None
    report(title == lang.title, "the stored title is %s in code page %d" % (lang.title_text, lang.code_page),
           ["stored: %r" % title])
    report(lcid == lang.lcid, "the language is 0x%x %s" % (lang.lcid, lang.lcid_name), ["stored: %r" % lcid])
    types = window_types(files.get("#WINDOWS", b""), files.get("#STRINGS", b""))
    bad = ["%s: caption %s, properties 0x%x" % (n.decode(enc, "replace"), c.decode(enc, "replace"), p)
           for n, c, p in types
           if c != lang.title or p & CHANGE_TITLE]
    report(not bad, "every window type is captioned with the title and keeps it (%d)" % len(types), bad)

    # Pages in the manual's code page that say so.
    pages = [n for n in files if n.lower().endswith((".htm", ".html", ".hhc", ".hhk"))]
    code_page = "GBK" if lang.code_page == 936 else "code page %d" % lang.code_page
    charset = re.compile(rb'<meta\s+http-equiv="Content-Type"\s+content="text/html;\s*charset=' +
                         re.escape(lang.charset.encode()) + rb'">', re.I)
    wrong = []
    for n in pages:
        data = files[n]
        try:
            data.decode(enc)
        except UnicodeDecodeError as e:
            wrong.append("%s: not %s (%s)" % (n, code_page, e.reason))
            continue
        if re.search(rb"[\x80-\xff]", data):
            try:
                data.decode("utf-8")
                wrong.append("%s: UTF-8, not %s" % (n, code_page))
            except UnicodeDecodeError:
                pass
        if not charset.search(data):
            wrong.append("%s: no %s charset" % (n, lang.charset))
    report(not wrong and pages, "all %d pages are %s with a %s charset" % (len(pages), code_page, lang.charset), wrong)

    # Every link of every page, contents and index entry: a file of the CHM,
    # and an anchor in it.
    anchors = {n: {a.decode("latin-1") for a in ANCHOR.findall(files[n])} for n in pages}
    broken = []
    links = 0
    for n in pages:
        for href, local in LINK.findall(files[n]):
            target = html.unescape((href or local).decode(enc, "replace"))
            links += 1
            if re.match(r"^[a-zA-Z][\w+.-]*:", target):
                broken.append("%s: %s leaves the manual" % (n, target))
                continue
            path, _, fragment = target.partition("#")
            path = os.path.normpath(os.path.join(os.path.dirname(n), path)).replace("\\", "/") if path else n
            if path not in files:
                broken.append("%s: %s (no such file)" % (n, target))
            elif fragment and fragment not in anchors.get(path, ()):
                broken.append("%s: %s (no such anchor)" % (n, target))
    report(not broken and links > 0, "all %d links, contents and index entries lead to a file and anchor of the manual" % links,
           broken)

    toc = sitemap_entries(files.get(contents, b""), enc)
    in_toc = {local.partition("#")[0] for _, local in toc}
    topics = sorted(n for n in pages if n.lower().endswith((".htm", ".html")))
    report(topics and not [t for t in topics if t not in in_toc],
           "every topic is in the contents (%d entries)" % len(toc), [t for t in topics if t not in in_toc])

    # The index: every message of the string table by its text (the first
    # line) and by its number, both leading to the page that shows it.
    entries = sitemap_entries(files.get(index, b""), enc)
    table = string_table(args.strings)
    problems = []
    for number, lines in sorted(table.items()):
        by_text = [l for name, l in entries if l.endswith("#m%d" % number) and name.startswith(lines[0])]
        by_number = [l for name, l in entries if l.endswith("#m%d" % number) and name.startswith(lang.message % number)]
        if not by_text:
            problems.append("%d %s: no index entry with its text" % (number, lines[0]))
        if not by_number:
            problems.append("%d: no index entry %s" % (number, lang.message % number))
        for local in set(by_text + by_number):
            shown = page_text(files.get(local.partition("#")[0], b""), enc)
            absent = [line for line in lines if line and line not in shown]
            if absent:
                problems.append("%d: %s does not show %s" % (number, local, " / ".join(absent)))
    report(len(table) >= 30 and not problems,
           "the index has every message %d..%d of the string table (%d), by text and number, on pages that show it"
           % (min(table), max(table), len(table)), problems)

    english = fixed_messages(args.program_sources)
    missing = []
    for text in english:
        found = [l for name, l in entries if name.startswith(text)]
        if not found:
            missing.append("%s: no index entry" % text)
        elif not any(text in page_text(files.get(l.partition("#")[0], b""), enc) for l in found):
            missing.append("%s: not shown on %s" % (text, ", ".join(found)))
    report(len(english) >= 5 and not missing,
           "the index has every fixed English message of the program (%d)" % len(english), missing)

    size = os.path.getsize(args.chm)
    report(20 * 1024 <= size <= 2 * 1024 * 1024, "its size, %d bytes, is between 20 KB and 2 MB" % size)

    print("passed=%d failed=%d" % (passed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
