#!/usr/bin/env python3
"""Writes the seed corpus of every fuzz target (fuzz/corpus/<target>/) from valid examples: replies and
sessions of the processor link, transfers, scene files, firmware images, and the files under fuzz/seeds/
(a REW-style measurement export, a filter file written by the program's own exporter, JSON written by the
command-line tool), and the virtual car's shipped car files."""
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
FREQS = [20, 25, 32, 40, 50, 63, 80, 100, 125, 160, 200, 250, 315, 400, 500, 630, 800, 1000, 1250,
         1600, 2000, 2500, 3150, 4000, 5000, 6300, 8000, 10000, 12500, 16000, 20000]


def reply(seq, payload):
    n = len(payload)
    cs = (0xFA + 0x2A + seq + n + sum(payload)) & 0xFF
    return bytes([0xFA, 0x2A, seq, n]) + bytes(payload) + bytes([cs, 0xF5])


def padded(frame):
    return frame + bytes(32 - len(frame))


def report(seq, payload):
    n = len(payload)
    cs = (0xFA + 0xA2 + seq + n + sum(payload)) & 0xFF
    frame = bytes([0x00, 0x20, 0xFA, 0xA2, seq, n]) + bytes(payload) + bytes([cs, 0xF5])
    return frame + bytes(32 - len(frame))


def factory_image():
    """The processor's memory at the factory: 1100 bytes, gains in the processor's encoding."""
    m = bytearray(1100)
    struct.pack_into('<I', m, 0, 4660)
    m[4:10] = bytes([3, 7, 11, 15, 16, 19])
    struct.pack_into('<H', m, 24, 600)
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
            struct.pack_into('<H', m, 80 + 2 * e, FREQS[b])
            struct.pack_into('<H', m, 452 + 2 * e, 240)
            m[824 + e] = 30
    return m


def tuned_image():
    """A tuned car: crossovers on, some bands cut and boosted, delays, one output muted."""
    m = factory_image()
    for ch in range(6):
        struct.pack_into('<H', m, 44 + 2 * ch, 120 * ch)
        struct.pack_into('<H', m, 1016 + 2 * ch, 80 + 40 * ch)
        m[1034 + ch] = 0
        for b in range(0, 31, 3):
            struct.pack_into('<H', m, 452 + 2 * (ch * 31 + b), 240 + (b % 7 - 3) * 25)
    m[38 + 5] = 1
    struct.pack_into('<H', m, 68, 3)
    return m


def write(target, name, data):
    d = os.path.join(HERE, 'corpus', target)
    os.makedirs(d, exist_ok=True)
    with open(os.path.join(d, name), 'wb') as f:
        f.write(data)


def scanner_seeds():
    # Input: count of old bytes, old bytes, then per report: how (0x80 clear, 0x40 claim more, low bits =
    # extra scans), length, bytes.
    frames = [reply(0, [0x16] + list(b'NV_PRC52') + [0] * 8),
              reply(1, [0xAA, 7] + list(range(20))),
              reply(2, [0x02, 1]) + reply(3, [0x0D, 0x58, 0x02]) + reply(4, [0x02, 2]),
              bytes([0x11, 0xFA, 0x00]) + reply(5, [0x10, 3] + list(b'Front stage') + [0] * 5)[:29]]
    out = bytes([4]) + bytes([0xFA, 0x2A, 0x01, 0x05])
    for f in frames:
        out += bytes([0x81, len(f)]) + f
    write('scanner', 'replies', out)
    write('scanner', 'split', bytes([0]) + bytes([0x80, 10]) + frames[1][:10] + bytes([0x00, 22]) + frames[1][10:])


def link_seeds():
    # The scripted processor: one choice per read (0 answer, 1 late, 2 lost, 3 read fails, 4 garbage,
    # 5 damaged, 6 stray, 7 write fails, 8 unplugged, 9 memory changes); nothing = healthy.
    # The first byte: what the window does meanwhile (bit 0: passes quiet ticks at once; bit 1: orders a
    # re-read at tick 16 * (byte >> 3); bit 2: hears hot-plug events); the rest: the processor's answers.
    write('poll', 'healthy', b'')
    write('poll', 'answers', bytes(300))
    write('poll', 'lossy', bytes([1]) + bytes([0, 0, 2, 0, 1, 0, 5, 7, 0, 0, 0, 6, 0, 1, 7, 0x99, 4, 0, 3] * 12))
    write('poll', 'unplug', bytes([0] * 40 + [8, 2] + [0] * 40 + [7] + [0] * 60))
    write('poll', 'changes', bytes([0]) + bytes([9, 24, 0, 0xFF, 9, 0x60, 0x03, 0x05, 0] * 20))
    write('poll', 'quiet', bytes([1]) + bytes(600))
    write('poll', 'recall', bytes([3 + 8 * 12]) + bytes(900))
    write('poll', 'hotplug', bytes([5]) + bytes([0] * 300 + [8, 1] + [0] * 300))
    write('poll', 'garbage', bytes([0, 0, 0, 4, 32]) + padded(reply(9, [0xAA, 54] + [0xFF] * 20)) + bytes([0] * 200))
    # Transfers: the kind (0 live scene, 1 fetch, 2 store, 3 firmware) and the tries, then the choices.
    # The processor falls silent when the choices run out: the healthy seeds answer every item.
    for kind in range(4):
        write('acks', 'healthy-%d' % kind, bytes([kind | 4]) + (bytes([40]) + bytes(range(40)) if kind == 3 else b'') +
              bytes(9 * 55 + 5))
        write('acks', 'lossy-%d' % kind, bytes([kind | 8]) + (bytes([33]) + bytes(range(33)) if kind == 3 else b'') +
              bytes([0, 1, 0, 2, 0, 5, 1, 0, 6, 2, 7, 9, 0, 0, 4, 7]) + bytes([0, 0, 1, 0] * 40))
    seeds = {
        'name': report(0, [6, 0x16]),
        'page': report(1, [6, 0xAA, 3]),
        'eq': report(2, [5, 0x08, 0, 4, 0x32, 0, 0xF0, 0, 30]),
        'fw': report(3, [5, 0xB0, 0, 0] + list(range(16))),
        'scene': report(4, [5, 0x0E, 3] + list(b'Front stage\0\0\0\0\0')),
        'pagewrite': report(5, [5, 0x41, 2] + list(range(20))),
    }
    for name, data in seeds.items():
        write('sim', name, data)


def file_seeds():
    factory = factory_image() + bytes(4096 - 1100)
    tuned = tuned_image() + bytes(4096 - 1100)
    # Scene files: a mode byte (low four bits 0 = all scenes), then the file's bytes.
    write('scene_files', 'factory.SCE', bytes([1]) + factory)
    write('scene_files', 'tuned.SCE', bytes([1]) + tuned)
    write('scene_files', 'all.ALL', bytes([0]) + tuned)
    bad = bytearray(factory)
    bad[824 + 35] = 250
    struct.pack_into('<H', bad, 24, 700)
    write('scene_files', 'out-of-range.SCE', bytes([1]) + bad)
    # Firmware: a mode byte (31 in the low five bits stretches the image to the size limit), then the image.
    write('firmware', 'small.bin', bytes([0]) + b'MVO' + bytes(range(37)))
    write('firmware', 'blocks.bin', bytes([2]) + b'MVO' + bytes(i * 7 & 0xFF for i in range(16 * 20 - 3)))
    write('firmware', 'largest.bin', bytes([0x1F | 0x40]) + b'MVO' + bytes(61))
    write('firmware', 'unsigned.bin', bytes([0]) + b'MV0' + bytes(20))


def rew_export(name, level, tilt):
    """A measurement in the layout of REW's text export: comment header, 1/48-octave points with phase."""
    lines = ['* Measurement data measured by REW V5.20',
             '* Source: Focusrite USB, Input 1',
             '* Format: 1/48 octave smoothing',
             '* Dated: 9 Dec 2026 21:04:12',
             '* REW Settings:',
             '*  C-weighting compensation: Off',
             '*  Target level: 75.0 dB',
             '* Note: %s' % name,
             '* Measurement: %s' % name,
             '* Smoothing: 1/48 octave',
             '* Frequency Step: 1/48 octave',
             '* Start Frequency: 20.000 Hz',
             '*',
             '* Freq(Hz) SPL(dB) Phase(degrees)']
    f = 20.0
    while f <= 20000.0:
        spl = level + tilt * math.log2(f / 1000.0) + 4.0 * math.sin(math.log(f) * 3.0)
        phase = (math.log(f) * 150.0) % 360.0 - 180.0
        lines.append('%.6f %.3f %.4f' % (f, spl, phase))
        f *= 2 ** (1 / 48)
    return ('\n'.join(lines) + '\n').encode()


def tuning_seeds():
    # Measurement imports: the file name's kind in the first byte (0 .txt, 1 .frd, 2 .zma), then the text.
    write('measurement', 'rew-export.txt', bytes([0]) + rew_export('CH1 front left', 78.0, -0.8))
    frd = '\n'.join('%g\t%.2f\t%.1f' % (20 * 1.5 ** i, 80 - i * 0.3, -i * 4.0) for i in range(18)) + '\n'
    write('measurement', 'speaker.frd', bytes([1]) + frd.encode())
    comma = '\n'.join('%d;%s' % (20 * 2 ** i, ('%.2f' % (70 + i)).replace('.', ',')) for i in range(10)) + '\n'
    write('measurement', 'decimal-comma.txt', bytes([0]) + comma.encode())
    write('measurement', 'impedance.zma', bytes([2]) + frd.encode())
    write('target_curve', 'house.txt', b'Target curve for the car\nHz dB\n20 8.0\n60 8.0\n200 0\n1000 0\n5000 -1.5\n20000 -4.0\n')
    write('target_curve', 'commas.txt', b'* tilt\n20,5.0\n632,0\n20000,-5.0\n')
    # Microphone calibration files: with and without the sensitivity line, phase columns, decimal commas.
    cal = ''.join('%.3f\t%.2f\t%.1f\n' % (10 * 2 ** (i / 3), 0.05 * i - 1.0, -0.5 * i) for i in range(32))
    write('mic_calibration', 'with-sens.txt', b'"Sens Factor =-1.23dB, SERNO: 1234567"\n' + cal.encode())
    write('mic_calibration', 'plain.txt', b'* mic 2\n20 0.5\n1000 0\n20000 -2.25\n')
    write('mic_calibration', 'commas.txt', b'Sens Factor =-0,8dB, AGain =18dB, SERNO: 7001234\n20;1,5\n20000;-3,0\n')
    # Filter files: the text as it stands (with the output's current bands).
    write('filters', 'apo.txt', MODE_BYTE['filters'] + b'Preamp: -6.2 dB\nFilter 1: ON PK Fc 63 Hz Gain -4.5 dB Q 1.41\n'
                                b'Filter 2: ON LSC Fc 105 Hz Gain 3.0 dB Q 0.71\nFilter 3: OFF PK Fc 1000 Hz Gain 2 dB Q 2\n'
                                b'Filter 4: ON PK Fc 25000 Hz Gain 15 dB Q 20\n'
                                b'Filter 5: ON PK Fc 160 Hz Gain -2.5 dB BW Oct 0.667\n')
    write('filters', 'rew-settings.txt', MODE_BYTE['filters'] + b'Filter Settings file\n\nRoom EQ V5.20\nDated: Dec 9, 2026\n\n'
                                         b'Notes:\n\nEqualiser: Generic\nDec 9 21:10:00\n'
                                         b'Filter  1: ON  PK       Fc   45,0 Hz  Gain  -6,5 dB  Q  4,00\n'
                                         b'Filter  2: ON  None\nFilter  3: ON  PK       Fc   2500 Hz  Gain   2.0 dB  Q  1.20\n')


# The mode byte a target reads before the file's bytes (filters: the current bands and the round trip;
# measurement: a ".txt" name; scene JSON: the text rather than a block).
MODE_BYTE = {'filters': b'\x00', 'measurement': b'\x00', 'scene_json': b'\x00'}


def static_seeds():
    """Files made by the program's own tools, kept under fuzz/seeds/<target>/."""
    root = os.path.join(HERE, 'seeds')
    if not os.path.isdir(root):
        return
    for target in os.listdir(root):
        for name in os.listdir(os.path.join(root, target)):
            with open(os.path.join(root, target, name), 'rb') as f:
                write(target, name, MODE_BYTE.get(target, b'') + f.read())


def car_seeds():
    """The cars shipped in sim/cars/."""
    root = os.path.join(HERE, '..', 'sim', 'cars')
    for name in sorted(os.listdir(root)):
        with open(os.path.join(root, name), 'rb') as f:
            write('car_file', name, f.read())


def main():
    scanner_seeds()
    link_seeds()
    file_seeds()
    tuning_seeds()
    static_seeds()
    car_seeds()


if __name__ == '__main__':
    main()
