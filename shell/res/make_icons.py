# Writes the program's icons and cursor (run in this folder).
import struct, sys
def image(size, fg, bg, shape):
    # 32-bit BGRA bottom-up XOR bitmap plus a 1-bit AND mask (all opaque via alpha)
    px = bytearray()
    for y in range(size-1, -1, -1):
        for x in range(size):
            inside = shape(x, y, size)
            c = fg if inside else bg
            a = 255 if inside or bg is not None else 0
            if c is None: c = (0,0,0)
            px += bytes((c[2], c[1], c[0], a))
    rowbytes = ((size + 31)//32)*4
    mask = bytearray()
    for y in range(size-1, -1, -1):
        row = 0; bits = bytearray(rowbytes)
        for x in range(size):
            if not shape(x, y, size) and bg is None:
                bits[x//8] |= 0x80 >> (x % 8)
        mask += bits
    hdr = struct.pack('<IiiHHIIiiII', 40, size, size*2, 1, 32, 0, len(px)+len(mask), 0, 0, 0, 0)
    return hdr + bytes(px) + bytes(mask)
def ico(path, fg, bg, shape, cur=False, hot=(0,0)):
    imgs = [image(s, fg, bg, shape) for s in ((32,) if cur else (16, 32))]
    sizes = (32,) if cur else (16, 32)
    out = struct.pack('<HHH', 0, 2 if cur else 1, len(imgs))
    off = 6 + 16*len(imgs)
    for s, im in zip(sizes, imgs):
        if cur:
            out += struct.pack('<BBBBHHII', s, s, 0, 0, hot[0], hot[1], len(im), off)
        else:
            out += struct.pack('<BBBBHHII', s, s, 0, 0, 1, 32, len(im), off)
        off += len(im)
    for im in imgs: out += im
    open(path, 'wb').write(out)
tile = lambda x, y, s: (x//(s//4) + y//(s//4)) % 2 == 0 or x in (0, s-1) or y in (0, s-1)
frame = lambda x, y, s: x < 2 or y < 2 or x >= s-2 or y >= s-2 or (y >= s//2-1 and y <= s//2)
bar = lambda x, y, s: s//3 <= y <= 2*s//3
dot = lambda x, y, s: (x - s/2 + .5)**2 + (y - s/2 + .5)**2 <= (s/2.2)**2
ico('program.ico', (40, 90, 170), (230, 235, 245), tile)
ico('theme.ico', (170, 60, 40), (245, 235, 225), frame)
ico('bar.ico', (30, 130, 70), (235, 245, 235), bar)
ico('skin.ico', (120, 60, 150), (240, 230, 245), dot)
ico('editor_node.ico', (90, 90, 90), None, dot)
panes = lambda x, y, s: x in (0, s-1, s//2-1, s//2) or y in (0, s-1, s//2-1, s//2)
ico('../../types/res/virtual_desktops.ico', (40, 90, 170), (225, 235, 250), panes)
arrow = lambda x, y, s: (x >= 8 and x < 14 and y >= 10) or (y < 12 and x >= 4 + (11 - y) // 2 and x <= 18 - (11 - y) // 2)
ico('hand.cur', (0, 0, 0), None, lambda x, y, s: (6 <= x <= 10 and y < 20) or (4 <= x <= 22 and 14 <= y <= 28), cur=True, hot=(8, 0))
# The clock item (132): a dial with two hands; the special menu item (130): a
# list of lines beside a column of dots.
def clock_face(x, y, s):
    cx = cy = s / 2 - .5
    r2 = (x - cx)**2 + (y - cy)**2
    ring = (s/2.3)**2 >= r2 >= (s/2.3 - max(1, s//12))**2
    minute_hand = abs(x - cx) <= s/24 + .3 and cy - s/3 <= y <= cy
    hour_hand = abs(y - cy) <= s/24 + .3 and cx <= x <= cx + s/4
    return ring or minute_hand or hour_hand
def menu_list(x, y, s):
    row = y * 4 // s
    in_row = (y % (s // 4)) in range(s // 16, s // 16 + max(2, s // 10))
    return in_row and (s//8 <= x < s//8 + max(2, s//10) or s//3 <= x < s - s//8) and row < 4
ico('clock.ico', (30, 60, 140), None, clock_face)
ico('special_menu.ico', (120, 80, 20), None, menu_list)
# The popup item (126): a small bar with the triangle that marks a submenu;
# the separator item (211): a dashed line across the middle.
def popup_bar(x, y, s):
    u = s / 16
    box = u <= y < 5 * u and u <= x < 15 * u and (y < 2 * u or y >= 4 * u or x < 2 * u or x >= 14 * u)
    tip = 7 * u <= y < 15 * u and abs(y - 11 * u + .5) <= (13 * u - x) * .5 and x >= 5 * u
    return box or tip
def dashed_line(x, y, s):
    u = s / 16
    return 7 * u <= y < 9 * u and u <= x < 15 * u and int(x / (3 * u)) % 2 == 0
ico('popup_item.ico', (40, 90, 170), None, popup_bar)
ico('separator_item.ico', (90, 90, 90), None, dashed_line)
