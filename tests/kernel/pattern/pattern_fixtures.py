#!/usr/bin/env python3
"""Pattern file fixtures for the kernel tests, made independently of our code.

  seed N COUNT OUT            COUNT bytes of the probe's generator (seed N)
  lzwcodes FILE               the codes of a strip, one "code width" a line
  tiff OUT [key=value ...]    a one-strip 8-bit palette TIFF (see make_tiff)
  bl OUT HEIGHTWORD WIDTHWORD HEX [HEX ...]
                              a layer file: two words, then the bytes of
                              each HEX argument (words inside as "w1234")
  smz OUT [option ...]        an exchange container (see make_smz)
  zik IN OUT                  IN in libVpZik's compressed form
  mutate SRC OUTDIR COUNT SEED
                              COUNT damaged copies of SRC, named m000.EXT ...
"""
import os
import random
import struct
import sys
import zlib


def generator(seed, count):
    s = seed & 0xFFFFFFFF
    out = bytearray()
    for _ in range(count):
        s = (s * 1664525 + 1013904223) & 0xFFFFFFFF
        out.append(s >> 24)
    return bytes(out)


def lzw_codes(data):
    """Reads our strip codes: the width grows when the count of codes read
    reaches 2^width - 257, up to 13 bits; the count restarts at 0 after a
    clear in mid-strip (at 1 after the leading one)."""
    bits = ''.join(format(b, '08b') for b in data)
    pos, width, count, codes = 0, 9, 0, []
    while pos + width <= len(bits):
        code = int(bits[pos:pos + width], 2)
        codes.append((code, width))
        pos += width
        count += 1
        if count == (1 << width) - 257 and width < 13:
            width += 1
        if code == 257:
            break
        if code == 256 and len(codes) > 1:
            width, count = 9, 0
    return codes


def ifd_entry(tag, typ, count, value):
    return struct.pack('<HHII', tag, typ, count, value)


def make_tiff(width=4, height=3, compression=1, photometric=3, rows_per_strip=None,
              predictor=None, samples=1, bits=8, omit=(), magic=b'II', strip=None,
              diroff=8):
    """One strip of raw rows (cell = (x + y) mod 32) unless strip is given."""
    if strip is None:
        strip = bytes((x + y) % 32 for y in range(height) for x in range(width))
    rows_per_strip = height if rows_per_strip is None else rows_per_strip
    entries = [
        (256, 4, 1, width), (257, 4, 1, height), (258, 3, 1, bits),
        (259, 3, 1, compression), (262, 3, 1, photometric), (273, 4, 1, 0),
        (277, 3, 1, samples), (278, 4, 1, rows_per_strip), (279, 4, 1, len(strip)),
    ]
    if predictor is not None:
        entries.append((317, 3, 1, predictor))
    entries = [e for e in entries if e[0] not in omit]
    head = 8 + 2 + 12 * len(entries) + 4
    entries = [(t, ty, c, head if t == 273 else v) for t, ty, c, v in entries]
    body = struct.pack('<H', len(entries)) + b''.join(ifd_entry(*e) for e in entries) + b'\0\0\0\0'
    return magic + struct.pack('<HI', 42, diroff) + body + strip


def bl_bytes(args):
    out = bytearray()
    for a in args:
        if a.startswith('w'):
            out += struct.pack('<H', int(a[1:], 0))
        else:
            out += bytes.fromhex(a)
    return bytes(out)


def zik(data, declared=None):
    return struct.pack('<I', len(data) if declared is None else declared) + zlib.compress(data)


SMZ_IMAGES = {
    21: (b'; script of the set\r\nMODULE A\r\n' * 20, 1),
    22: (bytes([0x02, 0x80, 0x03, 0x80]) + bytes(range(40)) * 3, 2),
    10: (b'!KULIERVARFRONT:[1,2,3]\r\n' * 30, 2),
}


def make_smz(options):
    """Header 0, 32768, 8, then one directory per image (21 raw, 22 and 10
    compressed), each with a description. Options: mark=N, selflink,
    badcount (279 of image 22 past the file), huge (image 22 declares
    2^31 bytes), nodesc."""
    opts = dict(o.split('=', 1) if '=' in o else (o, '1') for o in options)
    mark = int(opts.get('mark', '32768'))
    out = bytearray(struct.pack('<HHI', 0, mark, 0))
    directories = []
    for number, (data, compression) in SMZ_IMAGES.items():
        stored = data if compression == 1 else zik(data, 2 ** 31 if ('huge' in opts and number == 22) else None)
        text = b'Bild %d' % number
        text_at = len(out)
        out += text
        at = len(out)
        directories.append(at)
        entries = [(259, 3, 1, compression)]
        if 'nodesc' not in opts:
            entries.append((270, 2, len(text), text_at))
        count = len(stored) + (10 ** 6 if ('badcount' in opts and number == 22) else 0)
        entries += [(279, 4, 1, count), (317, 3, 1, number)]
        out += struct.pack('<H', len(entries)) + b''.join(ifd_entry(*e) for e in entries)
        out += b'\0\0\0\0' + stored
    struct.pack_into('<I', out, 4, directories[0])
    for i, at in enumerate(directories):
        nxt = directories[i + 1] if i + 1 < len(directories) else (directories[0] if 'selflink' in opts else 0)
        n = struct.unpack_from('<H', out, at)[0]
        struct.pack_into('<I', out, at + 2 + 12 * n, nxt)
    return bytes(out)


def mutate(src, outdir, count, seed):
    data = open(src, 'rb').read()
    ext = os.path.splitext(src)[1]
    rnd = random.Random(seed)
    os.makedirs(outdir, exist_ok=True)
    huge = [0xFFFFFFFF, 0x7FFFFFFF, 0x80000000, 0xFFFF, 0x10000, len(data), len(data) + 1, 0]
    for i in range(count):
        m = bytearray(data)
        kind = i % 4
        if kind == 0:  # byte flips
            for _ in range(rnd.randint(1, 8)):
                p = rnd.randrange(len(m))
                m[p] ^= 1 << rnd.randrange(8) if rnd.random() < 0.5 else rnd.randrange(1, 256)
        elif kind == 1:  # cut
            m = m[:rnd.randrange(len(m))]
        elif kind == 2:  # huge 32-bit counts and offsets, mostly in the directories
            for _ in range(rnd.randint(1, 3)):
                p = rnd.randrange(0, min(len(m) - 4, 400)) if rnd.random() < 0.8 else rnd.randrange(len(m) - 4)
                struct.pack_into('<I', m, p, rnd.choice(huge))
        else:  # huge 16-bit counts and values
            for _ in range(rnd.randint(1, 3)):
                p = rnd.randrange(0, min(len(m) - 2, 400))
                struct.pack_into('<H', m, p, rnd.choice([0xFFFF, 0x8000, 0x7FFF, 0, 1, 2, 3, 5]))
        with open(os.path.join(outdir, 'm%03d%s' % (i, ext)), 'wb') as f:
            f.write(m)


def main(argv):
    cmd = argv[1]
    if cmd == 'seed':
        open(argv[4], 'wb').write(generator(int(argv[2]), int(argv[3])))
    elif cmd == 'lzwcodes':
        for code, width in lzw_codes(open(argv[2], 'rb').read()):
            print(code, width)
    elif cmd == 'tiff':
        kw = {}
        for a in argv[3:]:
            k, v = a.split('=', 1)
            if k == 'omit':
                kw[k] = tuple(int(x) for x in v.split(','))
            elif k in ('magic',):
                kw[k] = v.encode()
            elif k == 'strip':
                kw[k] = bytes.fromhex(v)
            else:
                kw[k] = int(v)
        open(argv[2], 'wb').write(make_tiff(**kw))
    elif cmd == 'bl':
        open(argv[2], 'wb').write(struct.pack('<HH', int(argv[3], 0), int(argv[4], 0)) + bl_bytes(argv[5:]))
    elif cmd == 'smz':
        open(argv[2], 'wb').write(make_smz(argv[3:]))
    elif cmd == 'smzimage':
        data, _ = SMZ_IMAGES[int(argv[2])]
        open(argv[3], 'wb').write(data)
    elif cmd == 'zik':
        open(argv[3], 'wb').write(zik(open(argv[2], 'rb').read()))
    elif cmd == 'mutate':
        mutate(argv[2], argv[3], int(argv[4]), int(argv[5]))
    else:
        sys.exit('unknown command ' + cmd)


if __name__ == '__main__':
    main(sys.argv)
