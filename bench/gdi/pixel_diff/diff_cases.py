#!/usr/bin/env python3
"""Compares two directories of pixel_cases dumps (stand-in, reference) case by case.

Prints one line per case: differing pixels and their bounding box, split into pixels that
only the stand-in paints, only the reference paints, and paints in another colour. With
--show NAME[,NAME...] (or --show all-diff) it also draws the differing area of those cases
as text: '.' both white, '#' same colour, 'S' only the stand-in, 'R' only the reference,
'x' both painted in different colours.

Wine squares off the bottom corners of rounded rectangles outlined with a two-pixel pen (its
top corners follow the pen's rule); the stand-in mirrors the top corners. Differences in the
bottom corner rows of those cases are counted apart as "wine bottom" and left out of the total.
"""
import argparse
import re
import os
import sys


def load(path):
    with open(path, 'rb') as f:
        header = f.readline().split()
        w, h = int(header[0]), int(header[1])
        data = f.read()
    px = [int.from_bytes(data[i:i + 4], 'little') & 0xFFFFFF for i in range(0, 4 * w * h, 4)]
    return w, h, px


def wine_bottom_corner_rows(case, w, h, ref):
    """Rows of the bottom corners of a two-pixel rounded rectangle in the reference, or none."""
    m = re.match(r'round(\d+)_.*_geo2$', case)
    if not m:
        return set()
    rows = [y for y in range(h) if any(ref[y * w + x] == 0xFF0000 for x in range(w))]
    if not rows:
        return set()
    bottom = rows[-1]
    return set(range(bottom - int(m.group(1)) // 2 - 2, bottom + 1))


def wine_note(faults):
    return f'  (wine bottom {len(faults)})' if faults else ''


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument('standin')
    ap.add_argument('reference')
    ap.add_argument('--show', default='')
    ap.add_argument('--filter', default='')
    args = ap.parse_args()
    show = set(args.show.split(',')) if args.show else set()
    white = 0xFFFFFF
    total = 0
    total_faults = 0
    for name in sorted(os.listdir(args.reference)):
        if not name.endswith('.raw') or args.filter not in name:
            continue
        case = name[:-4]
        w, h, ref = load(os.path.join(args.reference, name))
        w2, h2, mine = load(os.path.join(args.standin, name))
        assert (w, h) == (w2, h2)
        diffs = [i for i in range(w * h) if ref[i] != mine[i]]
        known = wine_bottom_corner_rows(case, w, h, ref)
        faults = [i for i in diffs if i // w in known]
        diffs = [i for i in diffs if i // w not in known]
        only_s = sum(1 for i in diffs if ref[i] == white)
        only_r = sum(1 for i in diffs if mine[i] == white)
        total += len(diffs)
        if diffs:
            xs = [i % w for i in diffs]
            ys = [i // w for i in diffs]
            box = (min(xs), min(ys), max(xs), max(ys))
            print(f'{case:42s} {len(diffs):5d}  stand-in only {only_s:4d}  reference only {only_r:4d}  '
                  f'colour {len(diffs) - only_s - only_r:4d}  box {box}' + wine_note(faults))
        else:
            print(f'{case:42s} {0:5d}' + wine_note(faults))
        total_faults += len(faults)
        if diffs and (case in show or 'all-diff' in show):
            x0, y0, x1, y1 = box
            x0, y0 = max(0, x0 - 3), max(0, y0 - 3)
            x1, y1 = min(w - 1, x1 + 3), min(h - 1, y1 + 3)
            print(f'   columns {x0}..{x1}, rows {y0}..{y1}')
            for y in range(y0, y1 + 1):
                row = []
                for x in range(x0, x1 + 1):
                    a, b = mine[y * w + x], ref[y * w + x]
                    if a == b:
                        row.append('.' if a == white else ('#' if a == 0x0000FF or a == 0xFF0000 else 'o'))
                    elif b == white:
                        row.append('S')
                    elif a == white:
                        row.append('R')
                    else:
                        row.append('x')
                print(f'   {y:4d} ' + ''.join(row))
    print(f'total differing pixels: {total}  (and {total_faults} in Wine\'s squared bottom corners)')
    return 0


if __name__ == '__main__':
    sys.exit(main())
