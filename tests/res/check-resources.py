#!/usr/bin/env python3
"""Checks the wizard's compiled resources: the dialog templates control by
control, their font, the dialog initialisation data, the icon, the bitmap
and the manifest.

    python3 tests/res/check-resources.py FILE

FILE is a .res file (windres -O res), the object windres writes in the
build (-O coff) or the linked program.

Exits 1 with a message at the first fault, else prints "resources: ok".
"""
import struct
import sys

# Window and control styles.
WS_POPUP = 0x80000000
WS_CHILD = 0x40000000
WS_VISIBLE = 0x10000000
WS_DISABLED = 0x08000000
WS_CAPTION = 0x00C00000
WS_BORDER = 0x00800000
WS_VSCROLL = 0x00200000
WS_SYSMENU = 0x00080000
WS_GROUP = 0x00020000
WS_MINIMIZEBOX = 0x00020000
WS_TABSTOP = 0x00010000
WS_EX_CONTROLPARENT = 0x00010000
WS_EX_APPWINDOW = 0x00040000
DS_MODALFRAME = 0x80
DS_SETFONT = 0x40
DS_CONTROL = 0x400
BS_TYPEMASK = 0xF
BS_PUSHBUTTON = 0
BS_DEFPUSHBUTTON = 1
BS_AUTOCHECKBOX = 3
BS_GROUPBOX = 7
BS_AUTORADIOBUTTON = 9
SS_TYPEMASK = 0x1F
SS_LEFT = 0
SS_CENTER = 1
SS_ICON = 3
SS_BITMAP = 0xE
SS_ETCHEDHORZ = 0x10
SS_ETCHEDFRAME = 0x12
SS_NOTIFY = 0x100
SS_REALSIZEIMAGE = 0x800
CBS_TYPEMASK = 0x3
CBS_DROPDOWNLIST = 3
CBS_SORT = 0x100
ES_MULTILINE = 0x4
ES_AUTOVSCROLL = 0x40
ES_READONLY = 0x800

RT_BITMAP, RT_ICON, RT_DIALOG, RT_STRING, RT_GROUP_ICON, RT_MANIFEST = 2, 3, 5, 6, 14, 24
RT_DLGINIT_DATA = 240
ORDINAL_CLASSES = {0x80: "BUTTON", 0x81: "EDIT", 0x82: "STATIC", 0x83: "LISTBOX", 0x84: "SCROLLBAR",
                   0x85: "COMBOBOX"}

RICH_TEXT_CLASS = "InstalixRichText"
FONT_FACE = "宋体"


class Fault(Exception):
    pass


def expect(cond, message):
    if not cond:
        raise Fault(message)


# ---------------------------------------------------------------------------
# The .res file: a sequence of entries, each a header (data size, header
# size, type, name, data version, memory flags, language, version,
# characteristics) and its data, both padded to four bytes.

def read_id(data, at):
    """A name or ordinal: 0xFFFF and a WORD, or a NUL-terminated UTF-16 string."""
    (first,) = struct.unpack_from("<H", data, at)
    if first == 0xFFFF:
        return struct.unpack_from("<H", data, at + 2)[0], at + 4
    end = at
    while struct.unpack_from("<H", data, end)[0] != 0:
        end += 2
    return data[at:end].decode("utf-16-le"), end + 2


def align4(n):
    return (n + 3) & ~3


LANG_CHINESE_PRC = 0x0804
LANG_ENGLISH_US = 0x0409


def read_all(path):
    """{(type, name, language): bytes} of a .res file, of the COFF object
    windres writes (-O coff, as the build does) or of a linked program."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:2] == b"MZ":
        return read_pe(data)
    if len(data) >= 2 and struct.unpack_from("<H", data, 0)[0] in (0x14C, 0x8664):
        return read_coff(data)
    return read_res(data)


def read_resources(path, language=LANG_CHINESE_PRC):
    """{(type, name): (bytes, language)}: each resource in `language`, or in
    its only language where it has one (the pictures, the manifest)."""
    by_name = {}
    for (rtype, name, lang), body in read_all(path).items():
        by_name.setdefault((rtype, name), {})[lang] = body
    resources = {}
    for key, langs in by_name.items():
        if language in langs:
            resources[key] = (langs[language], language)
        elif len(langs) == 1:
            (lang, body), = langs.items()
            resources[key] = (body, lang)
    return resources


def read_tree(section, base):
    """The resource directory of a .rsrc section: three levels, type, name
    and language; base is what a data entry's address is counted from."""
    resources = {}

    def entries(at):
        named, numbered = struct.unpack_from("<HH", section, at + 12)
        for i in range(named + numbered):
            key, offset = struct.unpack_from("<II", section, at + 16 + 8 * i)
            if key & 0x80000000:
                (n,) = struct.unpack_from("<H", section, key & 0x7FFFFFFF)
                start = (key & 0x7FFFFFFF) + 2
                key = section[start:start + 2 * n].decode("utf-16-le").upper()
            yield key, offset

    for rtype, sub in entries(0):
        expect(sub & 0x80000000, "resource directory: a type without names")
        for name, sub2 in entries(sub & 0x7FFFFFFF):
            expect(sub2 & 0x80000000, "resource directory: a name without languages")
            for language, leaf in entries(sub2 & 0x7FFFFFFF):
                rva, size = struct.unpack_from("<II", section, leaf)
                start = rva - base
                body = section[start:start + size]
                expect(start >= 0 and len(body) == size, "truncated resource %r/%r" % (rtype, name))
                expect((rtype, name, language) not in resources,
                       "resource %r/%r twice in language %r" % (rtype, name, language))
                resources[(rtype, name, language)] = body
    return resources


def sections(data, at, count):
    for i in range(count):
        name, vsize, vaddr, rawsize, rawptr = struct.unpack_from("<8sIIII", data, at + 40 * i)
        yield name.rstrip(b"\0"), vaddr, data[rawptr:rawptr + rawsize]


def read_coff(data):
    count, _, _, _, optional = struct.unpack_from("<HIIIH", data, 2)
    for name, _, raw in sections(data, 20 + optional, count):
        if name == b".rsrc":
            # Data addresses are relocated against the section: in the
            # object they count from its start.
            return read_tree(raw, 0)
    raise Fault("no .rsrc section in the object")


def read_pe(data):
    (pe,) = struct.unpack_from("<I", data, 0x3C)
    expect(data[pe:pe + 4] == b"PE\0\0", "not a PE file")
    count, _, _, _, optional = struct.unpack_from("<HIIIH", data, pe + 6)
    opt = pe + 24
    magic = struct.unpack_from("<H", data, opt)[0]
    directories = opt + (96 if magic == 0x10B else 112)
    rva, _ = struct.unpack_from("<II", data, directories + 2 * 8)
    expect(rva != 0, "the program has no resources")
    for name, vaddr, raw in sections(data, opt + optional, count):
        if vaddr <= rva < vaddr + len(raw):
            return read_tree(raw[rva - vaddr:], rva)
    raise Fault("the resource directory lies in no section")


def read_res(data):
    resources = {}
    at = 0
    first = True
    while at < len(data):
        expect(at + 8 <= len(data), "truncated .res header at %d" % at)
        size, header = struct.unpack_from("<II", data, at)
        rtype, p = read_id(data, at + 8)
        name, p = read_id(data, p)
        p = align4(p)
        _, _, language, _, _ = struct.unpack_from("<IHHII", data, p)
        body = data[at + header:at + header + size]
        expect(len(body) == size, "truncated resource %r/%r" % (rtype, name))
        if first:
            expect(size == 0 and rtype == 0 and name == 0, "not a .res file (no empty first entry)")
            first = False
        else:
            expect((rtype, name, language) not in resources,
                   "resource %r/%r twice in language %r" % (rtype, name, language))
            resources[(rtype, name, language)] = body
        at = align4(at + header + size)
    return resources


# ---------------------------------------------------------------------------
# DIALOGEX templates.

def read_sz_or_ord(data, at):
    (first,) = struct.unpack_from("<H", data, at)
    if first == 0:
        return "", at + 2
    return read_id(data, at)


def parse_dialogex(data):
    ver, sig, _help, exstyle, style, count, x, y, cx, cy = struct.unpack_from("<HHIIIHhhhh", data, 0)
    expect(ver == 1 and sig == 0xFFFF, "not a DIALOGEX template")
    at = 26
    menu, at = read_sz_or_ord(data, at)
    wclass, at = read_sz_or_ord(data, at)
    title, at = read_sz_or_ord(data, at)
    dialog = dict(exstyle=exstyle, style=style, rect=(x, y, cx, cy), menu=menu, wclass=wclass, title=title,
                  font=None, controls=[])
    if style & DS_SETFONT:
        points, weight, italic, charset = struct.unpack_from("<HHBB", data, at)
        face, at = read_sz_or_ord(data, at + 6)
        dialog["font"] = (points, face)
    for _ in range(count):
        at = align4(at)
        _help, cex, cstyle, x, y, cx, cy, cid = struct.unpack_from("<IIIhhhhi", data, at)
        at += 24
        cclass, at = read_sz_or_ord(data, at)
        text, at = read_sz_or_ord(data, at)
        (extra,) = struct.unpack_from("<H", data, at)
        at += 2 + extra
        if isinstance(cclass, int):
            cclass = ORDINAL_CLASSES.get(cclass, cclass)
        dialog["controls"].append(dict(id=cid, exstyle=cex, style=cstyle, rect=(x, y, cx, cy),
                                       cls=cclass.upper() if isinstance(cclass, str) else cclass, text=text))
    return dialog


# Expected templates.  A control: id, class, text, rectangle (None where
# the size is ours to choose), (style value, mask) pairs it must show.
def btn(kind):
    return (kind, BS_TYPEMASK)


def sts(kind):
    return (kind, SS_TYPEMASK)


ON = lambda bits: (bits, bits)           # these bits set
OFF = lambda bits: (0, bits)             # these bits clear
COMBO_LIST = [(CBS_DROPDOWNLIST, CBS_TYPEMASK), ON(WS_VSCROLL | WS_TABSTOP)]

FRAME = {
    "id": 102, "size": (330, 218), "caption": "打印机驱动安装V1.0", "page": False,
    "style": [ON(DS_MODALFRAME | WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX)],
    "exstyle": [ON(WS_EX_APPWINDOW)],
    "controls": [
        (-1, "STATIC", "按“F1”查看帮助", (4, 207, 77, 8), [sts(SS_LEFT), ON(WS_VISIBLE)]),
        (1001, "STATIC", "", (106, 4, 217, 187), [sts(SS_ETCHEDFRAME), OFF(WS_VISIBLE)]),
        (1002, "BUTTON", "<<上一步（&B）", (109, 198, 59, 17), [btn(BS_PUSHBUTTON), ON(WS_DISABLED | WS_VISIBLE)]),
        (1, "BUTTON", "确定", (184, 198, 59, 17), [btn(BS_DEFPUSHBUTTON), ON(WS_DISABLED | WS_VISIBLE)]),
        (2, "BUTTON", "取消", (259, 198, 59, 17), [btn(BS_PUSHBUTTON), OFF(WS_DISABLED), ON(WS_VISIBLE)]),
        (-1, "STATIC", "", (107, 197, 217, 1), [sts(SS_ETCHEDHORZ)]),
        (-1, "STATIC", 136, (4, 4, 95, 195), [sts(SS_BITMAP), ON(SS_REALSIZEIMAGE | WS_VISIBLE)]),
    ],
}

ABOUT = {
    "id": 100, "size": (223, 55), "caption": "关于 Instalix", "page": False,
    "style": [ON(DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU)],
    "exstyle": [],
    "controls": [
        (-1, "STATIC", 128, (7, 11, None, None), [sts(SS_ICON)]),
        (-1, "STATIC", "Instalix 版本 1.0", (40, 10, None, 8), [sts(SS_LEFT)]),
        (1, "BUTTON", "确定", (166, 7, 50, 15), [btn(BS_DEFPUSHBUTTON)]),
    ],
}

RADIO = btn(BS_AUTORADIOBUTTON)
FIRST = ON(WS_GROUP | WS_TABSTOP)

OS_PAGE = {
    "id": 130, "size": (220, 188), "caption": "", "page": True,
    "controls": [
        (-1, "BUTTON", "选择安装系统", (7, 5, 206, 176), [btn(BS_GROUPBOX)]),
        (1026, "BUTTON", "Windows 98/Me", (39, 36, None, None), [RADIO, FIRST]),
        (1027, "BUTTON", "Windows NT", (39, 67, None, None), [RADIO, OFF(WS_GROUP)]),
        (1028, "BUTTON", "Windows 2000", (39, 98, None, None), [RADIO, OFF(WS_GROUP)]),
        (1029, "BUTTON", "Windows XP", (39, 129, None, None), [RADIO, OFF(WS_GROUP)]),
        (1075, "BUTTON", "Windows Server 2003 ", (39, 160, None, None), [RADIO, OFF(WS_GROUP)]),
    ],
}

PRINTER_PAGE = {
    "id": 131, "size": (220, 182), "caption": "", "page": True,
    "controls": [
        (-1, "BUTTON", "选择安装打印机", (7, 4, 206, 152), [btn(BS_GROUPBOX)]),
        (1019, "BUTTON", "收据打印机", (19, 27, None, None), [RADIO, FIRST]),
        (1020, "BUTTON", "票据打印机", (19, 60, None, None), [RADIO, OFF(WS_GROUP)]),
        (1021, "BUTTON", "标签打印机", (19, 93, None, None), [RADIO, OFF(WS_GROUP)]),
        (1073, "BUTTON", "嵌入式打印机", (19, 126, None, None), [RADIO, OFF(WS_GROUP)]),
        (1030, "COMBOBOX", "", (88, 25, 110, None), COMBO_LIST + [OFF(CBS_SORT)]),
        (1031, "COMBOBOX", "", (88, 58, 110, None), COMBO_LIST + [OFF(CBS_SORT)]),
        (1032, "COMBOBOX", "", (88, 91, 110, None), COMBO_LIST + [OFF(CBS_SORT)]),
        (1074, "COMBOBOX", "", (88, 124, 110, None), COMBO_LIST + [OFF(CBS_SORT)]),
        (1046, "BUTTON", "设置为默认打印机", (7, 165, None, None), [btn(BS_AUTOCHECKBOX), ON(WS_TABSTOP)]),
    ],
}

PORT_PAGE = {
    "id": 132, "size": (220, 188), "caption": "", "page": True,
    "controls": [
        (-1, "BUTTON", "设置打印机端口", (7, 4, 206, 149), [btn(BS_GROUPBOX)]),
        (-1, "STATIC", "端口：", (18, 27, 32, 8), [sts(SS_LEFT)]),
        (1049, "COMBOBOX", "", (63, 25, 136, 74), COMBO_LIST + [ON(CBS_SORT)]),
        (-1, "BUTTON", "串口设置", (11, 49, 198, 98), [btn(BS_GROUPBOX)]),
        (-1, "STATIC", "每秒位数：", (16, 69, 37, 8), [sts(SS_LEFT)]),
        (1041, "COMBOBOX", "", (63, 67, 45, 98), COMBO_LIST + [OFF(CBS_SORT)]),
        (-1, "STATIC", "奇偶校验：", (115, 69, 37, 8), [sts(SS_LEFT)]),
        (1043, "COMBOBOX", "", (156, 67, 45, 82), COMBO_LIST + [OFF(CBS_SORT)]),
        (-1, "STATIC", "数据位：", (16, 97, 32, 8), [sts(SS_LEFT)]),
        (1042, "COMBOBOX", "", (63, 95, 45, 68), COMBO_LIST + [OFF(CBS_SORT)]),
        (-1, "STATIC", "停止位：", (115, 97, 33, 8), [sts(SS_LEFT)]),
        (1044, "COMBOBOX", "", (156, 95, 45, 55), COMBO_LIST + [OFF(CBS_SORT)]),
        (-1, "STATIC", "数据流控制：", (16, 125, 46, 8), [sts(SS_LEFT)]),
        (1045, "COMBOBOX", "", (63, 123, 85, 70), COMBO_LIST + [OFF(CBS_SORT)]),
        (1052, "BUTTON", "光栅位图打印", (8, 158, 92, 10), [btn(BS_AUTOCHECKBOX), ON(WS_DISABLED | WS_TABSTOP)]),
        (1065, "STATIC", "请确认已连接打印机并安装了USB设备驱动程序", (7, 171, 206, 11),
         [sts(SS_CENTER), OFF(WS_VISIBLE | SS_NOTIFY)]),
    ],
}

AGREEMENT_PAGE = {
    "id": 133, "size": (220, 188), "caption": "", "page": True,
    "controls": [
        (-1, "BUTTON", "软件许可协议书", (3, 4, 210, 177), [btn(BS_GROUPBOX)]),
        (1063, RICH_TEXT_CLASS.upper(), "", (16, 20, 181, 122),
         [ON(WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_BORDER | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL)]),
        (1057, "BUTTON", "我接受所有的软件许可条款", (16, 151, 132, 10), [RADIO, FIRST]),
        (1058, "BUTTON", "我拒绝接受所有的许可条款", (16, 168, 109, 10), [RADIO, OFF(WS_GROUP)]),
    ],
}

MODE_PAGE = {
    "id": 137, "size": (220, 188), "caption": "", "page": True,
    "controls": [
        (-1, "BUTTON", "安装方式", (7, 7, 206, 174), [btn(BS_GROUPBOX)]),
        (1066, "BUTTON", "典型安装", (38, 42, 46, 10), [RADIO, FIRST]),
        (1067, "BUTTON", "高级安装", (38, 80, 46, 10), [RADIO, OFF(WS_GROUP)]),
        (-1, "STATIC", "", (16, 111, 187, 1), [sts(SS_ETCHEDHORZ)]),
        (-1, "STATIC", "说明：", (16, 119, 23, 8), [sts(SS_LEFT)]),
        (1068, "STATIC", None, (32, 136, 173, 8), [sts(SS_LEFT), ON(WS_VISIBLE)]),
        (1069, "STATIC", None, (68, 151, 137, 8), [sts(SS_LEFT), OFF(WS_VISIBLE)]),
        (1070, "STATIC", None, (68, 166, 135, 8), [sts(SS_LEFT), OFF(WS_VISIBLE)]),
    ],
}

TEMPLATES = [ABOUT, FRAME, OS_PAGE, PRINTER_PAGE, PORT_PAGE, AGREEMENT_PAGE, MODE_PAGE]


def check_bits(value, rules, what):
    for want, mask in rules:
        expect(value & mask == want, "%s: style 0x%08x, expected 0x%x under mask 0x%x" % (what, value, want, mask))


def check_dialog(resources, template):
    tid = template["id"]
    expect((RT_DIALOG, tid) in resources, "dialog template %d missing" % tid)
    d = parse_dialogex(resources[(RT_DIALOG, tid)][0])
    where = "dialog %d" % tid
    expect(d["font"] == (10, FONT_FACE), "%s: font %r, expected 10 pt %s" % (where, d["font"], FONT_FACE))
    expect(d["rect"][2:] == template["size"], "%s: size %r, expected %r" % (where, d["rect"][2:], template["size"]))
    expect(d["title"] == template["caption"], "%s: caption %r, expected %r" % (where, d["title"], template["caption"]))
    expect(d["menu"] == "" and d["wclass"] == "", "%s: has a menu or a window class" % where)
    if template["page"]:
        check_bits(d["style"], [ON(WS_CHILD | DS_CONTROL), OFF(WS_VISIBLE | WS_POPUP | WS_CAPTION)], where)
        check_bits(d["exstyle"], [ON(WS_EX_CONTROLPARENT)], where + " (extended)")
    else:
        check_bits(d["style"], template["style"] + [OFF(WS_CHILD)], where)
        check_bits(d["exstyle"], template["exstyle"], where + " (extended)")
    got = [c["id"] for c in d["controls"]]
    want = [c[0] for c in template["controls"]]
    expect(got == want, "%s: control ids %r, expected %r" % (where, got, want))
    _, _, width, height = d["rect"]
    for c, (cid, cls, text, rect, rules) in zip(d["controls"], template["controls"]):
        what = "%s, control %d (%r)" % (where, cid, text)
        expect(c["cls"] == cls, "%s: class %r, expected %r" % (what, c["cls"], cls))
        if text is not None:
            expect(c["text"] == text, "%s: text %r, expected %r" % (what, c["text"], text))
        for g, w in zip(c["rect"], rect):
            expect(w is None or g == w, "%s: rectangle %r, expected %r" % (what, c["rect"], rect))
        check_bits(c["style"], [ON(WS_CHILD)] + rules, what)
        # Everything lies inside the dialog; a combo box's height is that of
        # its drop-down list, so only its edit line counts.
        x, y, cx, cy = c["rect"]
        if cls == "COMBOBOX":
            cy = 12
        expect(cx > 0 and cy > 0 and x >= 0 and y >= 0 and x + cx <= width and y + cy <= height,
               "%s: rectangle %r leaves the %dx%d dialog" % (what, c["rect"], width, height))
        if template["page"] and cls == "BUTTON":
            expect(c["style"] & BS_TYPEMASK != BS_DEFPUSHBUTTON, "%s: a default button on a page" % what)


# ---------------------------------------------------------------------------
# Initialisation data: records of control id, kind, length and bytes,
# ended by a zero id.

ADD_COMBO_STRING = 0x0403
RICH_TEXT_DOCUMENT = 0x037A


def parse_dlginit(data, where):
    records = []
    at = 0
    while True:
        expect(at + 2 <= len(data), "%s: no terminating zero" % where)
        (cid,) = struct.unpack_from("<H", data, at)
        if cid == 0:
            expect(at + 2 == len(data), "%s: %d bytes after the terminator" % (where, len(data) - at - 2))
            return records
        expect(at + 8 <= len(data), "%s: truncated record header" % where)
        kind, length = struct.unpack_from("<HI", data, at + 2)
        body = data[at + 8:at + 8 + length]
        expect(len(body) == length, "%s: record of control %d longer than the data" % (where, cid))
        records.append((cid, kind, body))
        at += 8 + length


SERIAL_LISTS = [
    (1041, ["110", "300", "1200", "2400", "4800", "9600", "19200", "38400", "57600", "115200"]),
    (1043, ["Even", "Mark", "None", "Odd", "Space"]),
    (1042, ["5", "6", "7", "8"]),
    (1044, ["1", "1.5", "2"]),
    (1045, ["None", "Xon/Xoff", "Hardware"]),
]


def check_dlginit(resources):
    for tid in (132, 133):
        expect((RT_DLGINIT_DATA, tid) in resources, "initialisation data of template %d missing" % tid)
    expect(sorted(n for t, n in resources if t == RT_DLGINIT_DATA) == [132, 133],
           "initialisation data for other templates than 132 and 133")
    records = parse_dlginit(resources[(RT_DLGINIT_DATA, 132)][0], "data of 132")
    want = [(cid, ADD_COMBO_STRING, entry.encode("ascii") + b"\0") for cid, entries in SERIAL_LISTS for entry in entries]
    for i, (g, w) in enumerate(zip(records, want)):
        expect(g == w, "data of 132, record %d: control %d kind 0x%04x %r, expected control %d kind 0x%04x %r"
               % (i, g[0], g[1], g[2][:40], w[0], w[1], w[2]))
    expect(len(records) == len(want), "data of 132: %d records, expected %d" % (len(records), len(want)))
    records = parse_dlginit(resources[(RT_DLGINIT_DATA, 133)][0], "data of 133")
    expect(len(records) == 1, "data of 133: %d records, expected one" % len(records))
    cid, kind, rtf = records[0]
    expect(cid == 1063 and kind == RICH_TEXT_DOCUMENT,
           "data of 133: record of control %d kind 0x%04x, expected 1063 kind 0x037A" % (cid, kind))
    expect(rtf.startswith(b"{\\rtf1"), "data of 133: the document is no RTF")
    expect(8000 <= len(rtf) <= 8700, "data of 133: the document has %d bytes" % len(rtf))
    expect(all(b < 0x80 for b in rtf), "data of 133: the RTF is not pure ASCII")
    expect(b"\\fcharset134" in rtf and b"\\ansicpg936" in rtf, "data of 133: no code page 936 font")
    expect(rtf.rstrip().endswith(b"}") and rtf.count(b"{") - rtf.count(b"\\{") == rtf.count(b"}") - rtf.count(b"\\}"),
           "data of 133: unbalanced braces")
    # The agreement is there in words: its title, as GBK escapes.
    title = "".join("\\'%02x" % b for b in "软件许可协议书".encode("gbk")).encode("ascii")
    expect(title in rtf.replace(b"\r", b"").replace(b"\n", b""), "data of 133: the title is missing")


# ---------------------------------------------------------------------------
# Pictures and manifest.

def check_pictures(resources):
    expect((RT_GROUP_ICON, 128) in resources, "icon 128 missing")
    group = resources[(RT_GROUP_ICON, 128)][0]
    reserved, kind, count = struct.unpack_from("<HHH", group, 0)
    expect(kind == 1 and count == 1, "icon 128: %d images, expected one" % count)
    w, h, colours, _, planes, bits, size, image_id = struct.unpack_from("<BBBBHHIH", group, 6)
    expect((w, h, bits) == (32, 32, 4), "icon 128: %dx%d, %d bits, expected 32x32, 4 bits" % (w, h, bits))
    expect((RT_ICON, image_id) in resources, "icon 128: image %d missing" % image_id)
    image = resources[(RT_ICON, image_id)][0]
    hsize, iw, ih, iplanes, ibits, compression = struct.unpack_from("<IiiHHI", image, 0)
    expect((hsize, iw, ih, ibits, compression) == (40, 32, 64, 4, 0),
           "icon 128: image header %r" % ((hsize, iw, ih, ibits, compression),))
    # Header, 16 palette entries, 4-bit colour rows and the 1-bit mask.
    expect(len(image) == 40 + 16 * 4 + 32 * 16 + 32 * 4, "icon 128: image of %d bytes" % len(image))
    expect(size == len(image), "icon 128: the group gives %d bytes, the image has %d" % (size, len(image)))
    mask = image[40 + 64 + 512:]
    expect(any(b != 0xFF for b in mask) and any(b != 0 for b in mask), "icon 128: the mask is uniform")

    expect((RT_BITMAP, 136) in resources, "bitmap 136 missing")
    bmp = resources[(RT_BITMAP, 136)][0]
    hsize, bw, bh, bplanes, bbits, compression = struct.unpack_from("<IiiHHI", bmp, 0)
    expect((hsize, bw, bh, bbits, compression) == (40, 166, 317, 24, 0),
           "bitmap 136: %dx%d, %d bits, expected 166x317 bottom-up, 24 bits" % (bw, bh, bbits))
    stride = (166 * 3 + 3) & ~3
    expect(len(bmp) >= 40 + stride * 317, "bitmap 136: %d bytes of pixels missing" % (40 + stride * 317 - len(bmp)))

    expect((RT_MANIFEST, 1) in resources, "manifest (type 24, id 1) missing")
    manifest = resources[(RT_MANIFEST, 1)][0].decode("utf-8")
    for needle in ('name="Microsoft.Windows.Common-Controls"', 'version="6.0.0.0"',
                   'level="requireAdministrator"', 'urn:schemas-microsoft-com:asm.v2',
                   'processorArchitecture="*"'):
        expect(needle in manifest, "manifest: %s missing" % needle)

    # The string table is compiled in too (the About entry, 101).
    expect((RT_STRING, 101 // 16 + 1) in resources, "string table missing")


# ---------------------------------------------------------------------------
# The English resources: every template again, control for control, in the
# font of an English system; the strings and the initialisation data.

ENGLISH_FONT = (8, "MS Sans Serif")
# Dialog base units in pixels of the two fonts at 96 dots per inch: a
# dialog unit is a quarter of the first across and an eighth of the second
# down.
ZH_UNITS, EN_UNITS = (7, 14), (6, 13)


def pixels(rect, units):
    x, y, cx, cy = rect
    return (x * units[0] / 4, y * units[1] / 8, cx * units[0] / 4, cy * units[1] / 8)


def check_english(all_resources):
    def only(lang):
        return {(t, n): (b, l) for (t, n, l), b in all_resources.items() if l == lang}

    zh, en = only(LANG_CHINESE_PRC), only(LANG_ENGLISH_US)
    for template in TEMPLATES:
        tid = template["id"]
        where = "English dialog %d" % tid
        expect((RT_DIALOG, tid) in en, "%s missing" % where)
        z, e = parse_dialogex(zh[(RT_DIALOG, tid)][0]), parse_dialogex(en[(RT_DIALOG, tid)][0])
        expect(e["font"] == ENGLISH_FONT, "%s: font %r, expected %r" % (where, e["font"], ENGLISH_FONT))
        expect((e["style"], e["exstyle"]) == (z["style"], z["exstyle"]), "%s: styles differ from the Chinese" % where)
        expect(all(ord(ch) < 0x80 for ch in e["title"]), "%s: caption %r is not English" % (where, e["title"]))
        # The same size on the screen as the Chinese one, within 3 per cent.
        zw, zh_ = pixels(z["rect"], ZH_UNITS)[2:]
        ew, eh = pixels(e["rect"], EN_UNITS)[2:]
        expect(abs(ew - zw) <= 0.03 * zw and abs(eh - zh_) <= 0.03 * zh_,
               "%s: %dx%d pixels, the Chinese %dx%d" % (where, ew, eh, zw, zh_))
        expect([c["id"] for c in e["controls"]] == [c["id"] for c in z["controls"]],
               "%s: control ids differ from the Chinese" % where)
        _, _, width, height = e["rect"]
        for ce, cz in zip(e["controls"], z["controls"]):
            what = "%s, control %d (%r)" % (where, ce["id"], ce["text"])
            expect(ce["cls"] == cz["cls"] and ce["style"] == cz["style"] and ce["exstyle"] == cz["exstyle"],
                   "%s: class or style differs from the Chinese" % what)
            if isinstance(cz["text"], str):
                expect(isinstance(ce["text"], str) and all(ord(ch) < 0x80 for ch in ce["text"]),
                       "%s: text is not English" % what)
                expect(bool(ce["text"]) == bool(cz["text"]), "%s: text empty where the Chinese is not" % what)
            else:
                expect(ce["text"] == cz["text"], "%s: picture %r, the Chinese %r" % (what, ce["text"], cz["text"]))
            x, y, cx, cy = ce["rect"]
            if ce["cls"] == "COMBOBOX":
                cy = 12
            expect(cx > 0 and cy > 0 and x >= 0 and y >= 0 and x + cx <= width and y + cy <= height,
                   "%s: rectangle %r leaves the %dx%d dialog" % (what, ce["rect"], width, height))
    # The frame's picture keeps its real size: it must end before the page
    # area begins.
    frame = parse_dialogex(en[(RT_DIALOG, 102)][0])
    picture = [c for c in frame["controls"] if c["cls"] == "STATIC" and c["text"] == 136]
    area = [c for c in frame["controls"] if c["id"] == 1001]
    expect(picture and area, "English frame: the picture or the page area is missing")
    left = pixels(picture[0]["rect"], EN_UNITS)[0]
    expect(left + 166 <= pixels(area[0]["rect"], EN_UNITS)[0],
           "English frame: the 166-pixel picture runs into the page area")
    # Every string of the Chinese table, in English.
    zh_blocks = sorted(n for t, n in zh if t == RT_STRING)
    en_blocks = sorted(n for t, n in en if t == RT_STRING)
    expect(zh_blocks and zh_blocks == en_blocks, "English string table blocks %r, the Chinese %r" % (en_blocks, zh_blocks))
    for block in zh_blocks:
        zs, es = strings_of(zh[(RT_STRING, block)][0]), strings_of(en[(RT_STRING, block)][0])
        for i, (a, b) in enumerate(zip(zs, es)):
            expect(bool(a) == bool(b), "English string %d: %s where the Chinese %s" % (
                (block - 1) * 16 + i, "present" if b else "missing", "is not" if b else "is"))
            expect(all(ord(ch) < 0x80 for ch in b), "English string %d is not English" % ((block - 1) * 16 + i))
    # The same serial lists; the agreement in English.
    expect(sorted(n for t, n in en if t == RT_DLGINIT_DATA) == [132, 133], "English initialisation data missing")
    expect(en[(RT_DLGINIT_DATA, 132)][0] == zh[(RT_DLGINIT_DATA, 132)][0], "English serial lists differ")
    records = parse_dlginit(en[(RT_DLGINIT_DATA, 133)][0], "English data of 133")
    expect(len(records) == 1 and records[0][:2] == (1063, RICH_TEXT_DOCUMENT), "English data of 133: one document")
    rtf = records[0][2]
    expect(all(b < 0x80 for b in rtf) and b"\\ansicpg1252" in rtf, "English agreement: not code page 1252 ASCII RTF")
    expect(b"Software License Agreement" in rtf, "English agreement: its title is missing")


def strings_of(block):
    """The 16 strings of a string-table block."""
    out, at = [], 0
    for _ in range(16):
        (n,) = struct.unpack_from("<H", block, at)
        out.append(block[at + 2:at + 2 + 2 * n].decode("utf-16-le"))
        at += 2 + 2 * n
    return out


def main(argv):
    if len(argv) != 2:
        sys.stderr.write("usage: check-resources.py FILE.res|FILE.o|PROGRAM.exe\n")
        return 2
    try:
        resources = read_resources(argv[1])
        for template in TEMPLATES:
            check_dialog(resources, template)
        check_dlginit(resources)
        check_english(read_all(argv[1]))
        check_pictures(resources)
    except Fault as fault:
        sys.stderr.write("resources: %s\n" % fault)
        return 1
    except (struct.error, UnicodeDecodeError, OSError) as error:
        sys.stderr.write("resources: cannot read %s: %s\n" % (argv[1], error))
        return 1
    print("resources: ok")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
