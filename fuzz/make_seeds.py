#!/usr/bin/env python3
"""Writes the seed corpus of the fuzz targets: a whole download session and a few sim reports."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def reply(seq, payload):
    n = len(payload)
    cs = (0xFA + 0x2A + seq + n + sum(payload)) & 0xFF
    frame = bytes([0xFA, 0x2A, seq, n]) + bytes(payload) + bytes([cs, 0xF5])
    return frame + bytes(32 - len(frame))


def report(seq, payload):
    n = len(payload)
    cs = (0xFA + 0xA2 + seq + n + sum(payload)) & 0xFF
    frame = bytes([0x00, 0x20, 0xFA, 0xA2, seq, n]) + bytes(payload) + bytes([cs, 0xF5])
    return frame + bytes(32 - len(frame))


def factory_image():
    m = bytearray(1100)
    struct.pack_into('<I', m, 0, 4660)
    m[4:10] = bytes([3, 7, 11, 15, 16, 19])
    struct.pack_into('<H', m, 24, 600)
    freqs = [20, 25, 32, 40, 50, 63, 80, 100, 125, 160, 200, 250, 315, 400, 500, 630, 800, 1000, 1250,
             1600, 2000, 2500, 3150, 4000, 5000, 6300, 8000, 10000, 12500, 16000, 20000]
    for ch in range(6):
        struct.pack_into('<H', m, 26 + 2 * ch, 600)
        struct.pack_into('<H', m, 1016 + 2 * ch, 20)
        m[1028 + ch] = 3
        m[1034 + ch] = 1
        struct.pack_into('<H', m, 1046 + 2 * ch, 20000)
        m[1058 + ch] = 3
        m[1064 + ch] = 1
        for b in range(31):
            e = ch * 31 + b
            struct.pack_into('<H', m, 80 + 2 * e, freqs[b])
            struct.pack_into('<H', m, 452 + 2 * e, 240)
            m[824 + e] = 30
    return m


def chunk(rep):
    return bytes([32]) + rep


def session(image):
    out = chunk(reply(0, [0x16] + list(b'NV_PRC52') + [0] * 8))
    for p in range(55):
        out += chunk(reply(p + 1, [0xAA, p] + list(image[p * 20:p * 20 + 20])))
    for k in range(1, 10):
        name = list(b'Scene%d' % k) + [0] * (16 - len(b'Scene%d' % k))
        out += chunk(reply(60 + k, [0x10, k] + name))
    out += chunk(reply(80, [0x02, 2])) + chunk(reply(81, [0x0D, 0x58, 0x02]))
    return out


def main():
    d = os.path.join(HERE, 'corpus', 'replies')
    os.makedirs(d, exist_ok=True)
    image = factory_image()
    open(os.path.join(d, 'download'), 'wb').write(session(image))
    odd = bytearray(image)
    for i in range(80, 1100, 7):
        odd[i] = 0xFF
    open(os.path.join(d, 'download-nonsense'), 'wb').write(session(odd))
    d = os.path.join(HERE, 'corpus', 'sim')
    os.makedirs(d, exist_ok=True)
    seeds = {
        'name': report(0, [6, 0x16]),
        'page': report(1, [6, 0xAA, 3]),
        'eq': report(2, [5, 0x08, 0, 4, 0x32, 0, 0xF0, 0, 30]),
        'fw': report(3, [5, 0xB0, 0, 0] + list(range(16))),
        'scene': report(4, [5, 0x0E, 3] + list(b'Front stage\0\0\0\0\0')),
        'pagewrite': report(5, [5, 0x41, 2] + list(range(20))),
    }
    for name, data in seeds.items():
        open(os.path.join(d, name), 'wb').write(data)
    d = os.path.join(HERE, 'corpus', 'files')
    os.makedirs(d, exist_ok=True)
    sce = bytearray(image) + bytes(4096 - 1100)
    open(os.path.join(d, 'scene.SCE'), 'wb').write(sce)
    open(os.path.join(d, 'firmware.bin'), 'wb').write(b'MVO' + bytes(range(37)))
    open(os.path.join(d, 'short.SCE'), 'wb').write(sce[:1000])


if __name__ == '__main__':
    main()
