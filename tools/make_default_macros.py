#!/usr/bin/python3
"""Writes the shipped default macro files.

skins/INI_EN/defMacro.dat and skins/INI_CN/defMacro.dat hold the macros that
a reset restores (names in English resp. Portuguese); dist_data/Macro_EN.dat
and dist_data/Macro_CN.dat are copies of them, the working files a fresh
installation starts with.

The files are written exactly as the program's own Save writes them: section
[Macros], key macroNum, then one key per slot whose value is the 1064-byte
record as three decimal digits per byte, in the file's group order.
"""
import os
import struct
import sys

RECORD_SIZE = 1064
EVENT_SLOTS = 254
NAME_CHARS = 19
DOWN, UP = 1, 2
PAUSE = 30  # ms between steps and after the last one, as the editor inserts

# Virtual-key codes used below.
VK_TAB, VK_ESCAPE, VK_LSHIFT, VK_LCONTROL, VK_LMENU = 9, 27, 160, 162, 164
LEFT_BUTTON = 240


def key(code):
    return ord(code) if isinstance(code, str) else code


def tap(code):
    return [(key(code), DOWN), (key(code), UP)]


def chord(modifiers, code):
    mods = [key(m) for m in modifiers]
    return ([(m, DOWN) for m in mods] + tap(code) + [(m, UP) for m in reversed(mods)])


def record(name, events, pause=PAUSE, repeat=None):
    """The 1064 bytes of one macro record."""
    if len(name) > NAME_CHARS:
        raise ValueError("name too long: " + name)
    if not 0 < len(events) <= EVENT_SLOTS:
        raise ValueError("bad event count in " + name)
    data = bytearray(RECORD_SIZE)
    encoded = name.encode("utf-16-le")
    data[0:len(encoded)] = encoded
    data[40] = 0 if repeat is None else 1
    struct.pack_into("<H", data, 41, 1 if repeat is None else repeat)
    data[43] = len(events)
    for k, (code, direction) in enumerate(events):
        data[44 + 2 * k] = code
        data[45 + 2 * k] = direction
    # Word j is the pause before event j; word n the pause after the last.
    for j in range(1, len(events) + 1):
        struct.pack_into("<H", data, 552 + 2 * j, pause)
    return bytes(data)


def group_offset(group):
    if group < 44:
        return group
    k, part = divmod(group - 44, 4)
    return (44 + 2 * k, 45 + 2 * k, 554 + 2 * k, 555 + 2 * k)[part]


def encode(data):
    return "".join("%03d" % data[group_offset(g)] for g in range(RECORD_SIZE))


def macro_file(records):
    lines = ["[Macros]", "macroNum=%d" % len(records)]
    lines += ["%d=%s" % (i, encode(r)) for i, r in enumerate(records)]
    return ("\r\n".join(lines) + "\r\n").encode("ascii")


# (English name, Portuguese name, events, options)
DEFAULTS = [
    ("Double Click", "Clique Duplo", tap(LEFT_BUTTON) * 2, {"pause": 40}),
    ("Rapid Fire x5", "Tiro Rápido x5", tap(LEFT_BUTTON), {"pause": 40, "repeat": 5}),
    ("Copy", "Copiar", chord([VK_LCONTROL], "C"), {}),
    ("Paste", "Colar", chord([VK_LCONTROL], "V"), {}),
    ("Cut", "Recortar", chord([VK_LCONTROL], "X"), {}),
    ("Undo", "Desfazer", chord([VK_LCONTROL], "Z"), {}),
    ("Select All", "Selecionar Tudo", chord([VK_LCONTROL], "A"), {}),
    ("Switch Window", "Alternar Janela", chord([VK_LMENU], VK_TAB), {}),
    ("Task Manager", "Gerenciador Tarefas", chord([VK_LCONTROL, VK_LSHIFT], VK_ESCAPE), {}),
]


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    for language, column in (("EN", 0), ("CN", 1)):
        content = macro_file([record(d[column], d[2], **d[3]) for d in DEFAULTS])
        for path in (os.path.join(root, "skins", "INI_" + language, "defMacro.dat"),
                     os.path.join(root, "dist_data", "Macro_%s.dat" % language)):
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "wb") as out:
                out.write(content)
            print("wrote", os.path.relpath(path, root))
    return 0


if __name__ == "__main__":
    sys.exit(main())
