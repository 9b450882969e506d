#!/usr/bin/env python3
"""Writes the fuzzer's seed corpus: sound levels in the fuzzer's input format."""
import pathlib
import struct

SEPARATOR = b"#FILE#"


def block(horizontal, length, x, y):
    cells = [(x + k, y) if horizontal else (x, y + k) for k in range(length)]
    xs = [c[0] for c in cells] + [0] * (3 - length)
    ys = [c[1] for c in cells] + [0] * (3 - length)
    block_id = (x ^ 2) + (y ^ 5)
    image = struct.pack("<B3x3i3i3ii", int(horizontal), length, x, y, *xs, *ys, block_id)
    return image, cells


def level(prisoner, blockers):
    grid = bytearray(36)
    images = []
    for placed in [prisoner] + blockers:
        image, cells = block(*placed)
        images.append(image)
        for cx, cy in cells:
            grid[6 * cx + cy] = 1
    blocker_bytes = b"".join(images[1:]) + bytes(44 * (13 - len(blockers)))
    parts = [struct.pack("<i", 572), struct.pack("<i", len(blockers)), blocker_bytes,
             struct.pack("<i", 44), images[0], bytes(grid)]
    return SEPARATOR.join(parts)


def from_picture(picture):
    """Blocks from six rows of six cells: '.' free, 'P' the prisoner, 'a'.. blockers."""
    rows = picture.split()
    cells = {}
    for y, row in enumerate(rows):
        for x, c in enumerate(row):
            if c != ".":
                cells.setdefault(c, []).append((x, y))

    def block_of(c):
        xs = sorted(p[0] for p in cells[c])
        ys = sorted(p[1] for p in cells[c])
        horizontal = len(set(ys)) == 1
        return (horizontal, len(cells[c]), xs[0], ys[0])

    names = sorted(c for c in cells if c != "P")
    return block_of("P"), [block_of(c) for c in names]


LEVELS = {
    "free_path": ((True, 2, 2, 3), []),
    "one_move": ((True, 2, 0, 3), [(False, 2, 4, 2)]),
    "three_blockers": ((True, 2, 1, 3), [(False, 3, 3, 1), (True, 2, 3, 0), (False, 2, 5, 3)]),
    "walled_up": ((True, 2, 0, 3), [(False, 3, 5, 0), (False, 3, 5, 3)]
                  + [(True, 2, 0, y) for y in (0, 1, 2, 4, 5)]),
    "thirteen": ((True, 2, 0, 3), [(True, 2, x, y) for y in (0, 1, 2, 4, 5) for x in (0, 2)]
                 + [(True, 2, 4, 0), (True, 2, 4, 1), (True, 2, 4, 2)]),
    "dense": ((True, 2, 1, 3), [(False, 3, 0, 0), (True, 3, 1, 0), (False, 2, 4, 0),
                                (True, 2, 1, 1), (False, 3, 3, 1), (False, 2, 5, 1),
                                (False, 3, 0, 3), (False, 2, 4, 4), (True, 2, 1, 5),
                                (True, 2, 2, 4), (False, 2, 5, 3)]),
    "dense11_15": from_picture("kf.bbb kfhae. iihae. .PPa.. .jj..g .ccddg"),
    "dense13_20": from_picture("ah.fjj ah.fgg idccbk idPPbk mme..k lle..."),
}

if __name__ == "__main__":
    out = pathlib.Path(__file__).parent / "corpus"
    out.mkdir(exist_ok=True)
    for name, (prisoner, blockers) in LEVELS.items():
        (out / name).write_bytes(level(prisoner, blockers))
