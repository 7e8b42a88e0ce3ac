#!/usr/bin/env python3
"""Writes the editor fuzzer's seed corpus: short sessions a person might have, in the record
encoding described at the top of fuzz/editor_fuzz.cpp. Run it again after changing either."""
import os
import struct

HERE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "editor_fuzz")
KEYS = ["space", "delete", "1", "2", "3", "4", "5", "F", "F2", "O", "S", "Y", "Z", "H",
        "escape", "backspace", "return", "A", "tab", "left", "F1", "0", "6", "control", "shift"]
OPENS = ["small", "deep", "malformed", "garbage", "empty", "folder", "missing", "saved0", "saved1", "long"]
MARGIN = 120


def xy(x, y):
    return struct.pack(">HH", x + MARGIN, y + MARGIN)


def move(x, y, left=False): return bytes([0]) + xy(x, y) + bytes([1 if left else 0])
def press(x, y): return bytes([1]) + xy(x, y)
def release(): return bytes([2])
def right(x, y): return bytes([3]) + xy(x, y)
def key(name, ctrl=False, repeats=0): return bytes([4, KEYS.index(name), (1 if ctrl else 0) | repeats << 1])
def panel(i): return bytes([6, i])
def drag(k, dx, dy): return bytes([7]) + struct.pack(">Hbb", k, dx, dy)
def dialog(target): return bytes([8, target])
def open_file(name): return bytes([9, OPENS.index(name)])
def save(slot): return bytes([10, slot])
def draw(): return bytes([11])


def control(value): return bytes([5, 5, 0, value])  # a control character, U+0000 to U+001F


def text(s):
    units = s.encode("utf-16-le")
    out = bytes([12, len(units) // 2])
    for i in range(0, len(units), 2):
        out += bytes([6]) + struct.pack(">H", struct.unpack("<H", units[i:i + 2])[0])
    return out


ROOT = (870, 397)  # the centre of a new map's root
SESSIONS = {
    "build_and_rename": [right(*ROOT), panel(0), key("space"), key("F2"), text("计划 Q3"), key("return"),
                         key("2"), key("5"), draw(), drag(0, 10, -5), draw()],
    "drag_and_undo": [right(*ROOT), right(*ROOT), drag(1, 30, 20), drag(2, -40, 12), key("Z", True),
                      key("Z", True), key("Y", True), draw(), move(500, 300), press(500, 300), release()],
    "collapse": [right(*ROOT), panel(0), panel(0), drag(0, 0, 0), key("F"), draw(), key("F"), panel(4), draw()],
    "surrogates": [key("F2"), text("😀"), bytes([5, 2, 0, 0x10]), bytes([5, 3, 0, 0x20]), key("backspace"),
                   key("return"), draw(), key("F2"), text("a\nb"), key("return"), draw()],
    "open_and_save": [right(*ROOT), save(0), open_file("small"), draw(), key("Z", True), open_file("saved0"),
                      key("Y", True), save(1), open_file("missing"), open_file("folder"), draw()],
    "delete_while_editing": [right(*ROOT), right(*ROOT), panel(3), panel(2), text("x"), key("return"),
                             key("Z", True), key("escape"), panel(5), panel(6), draw()],
    "dialog_typing": [key("O", True), text("abc"), key("backspace", repeats=2), key("escape"), key("H"),
                      panel(9), key("S", True), dialog(2), dialog(1), draw(), key("escape")],
    "long_captions": [open_file("long"), draw(), drag(1, 20, 10), draw(), key("F2"), key("backspace", repeats=3),
                      text("&"), key("return"), draw(), save(0), open_file("saved0"), draw(), drag(2, -30, 0),
                      key("F"), draw(), key("Z", True), draw()],
    "ampersand_controls": [key("F2"), text("&&amp;&#10;"), control(1), control(9), control(10), control(27),
                           text("<&>"), key("return"), draw(), right(*ROOT), key("F2"), text("a&b" * 15),
                           key("return"), draw(), save(1), open_file("saved1"), draw()],
    "typed_paths": [key("S", True), text("typed.mind"), dialog(0), key("O", True), text("typed.mind"), dialog(0),
                    draw(), key("O", True), text("/etc/passwd"), dialog(0), key("S", True), dialog(0)],
    "deep_map": [open_file("deep"), drag(120, 5, 5), key("delete"), key("Z", True), key("Y", True), draw(),
                 open_file("malformed"), open_file("garbage"), open_file("empty"), draw()],
}

os.makedirs(HERE, exist_ok=True)
for name, records in SESSIONS.items():
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(b"".join(records))
