#!/usr/bin/env python3
"""The text example, run in gpsim, must print what lumetra-cli text draws.

For each case: write the font's table with lumetra-cli font, assemble
ks0108_text_pic16.asm with the string, page and column (no warning allowed),
run it in gpsim, replay its port writes into the KS0108 model of
gpsim_ks0108.py and compare the display, bit for bit, with the picture
lumetra-cli text draws of the same string at column X, row page * 8.

The table cuts a glyph's ink to its block (its advance, PAGES pages from
the top of the line) and the PIC does no kerning, where the text command
does neither. So each case first checks that every character of its string,
drawn alone, keeps its ink inside its block; the strings avoid pairs the
fonts kern (a kerned pair would show as a difference of the whole line).

usage: gpsim_ks0108_text.py LUMETRA_CLI GPASM GPSIM EXAMPLES_DIR
Exit code 77 when gpsim, a font or lumetra-cli's font commands are missing.
"""
import os
import re
import shutil
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from gpsim_ks0108 import Fault, describe_difference, run, simulate  # noqa: E402

PROGRAM = 'ks0108_text_pic16.asm'
TERMINUS = '/usr/share/fonts/X11/misc/ter-u16n_unicode.pcf.gz'
DEJAVU = '/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf'

CASES = [  # font, size, font options, string, page, column, chip selects active low
    # cp1251: the PIC indexes the 224 glyphs by the Windows-1251 byte; the
    # table crosses the 2K boundaries at 0x800 and 0x1000. From column 37 a
    # glyph straddles the two crystals and another the right edge.
    (TERMINUS, 16, ['--charset', 'cp1251'], 'Привет, KS0108!', 5, 37, False),
    # An outline font three pages high, on modules with /CS1 /CS2.
    (DEJAVU, 20, ['--chars', '32-126'], 'Lumetra 3.4', 1, 3, True),
    # Its lower pages fall below the last page of the screen.
    (DEJAVU, 13, ['--chars', '32-126'], 'mini 1024', 7, 58, False),
]


def read_table(path):
    """The table's constants and the bytes under each label of font.inc."""
    constants, data, label = {}, {}, None
    with open(path, encoding='ascii') as f:
        for line in f:
            m = re.match(r'font_(\w+)\s+equ\s+\.(\d+)', line)
            if m:
                constants[m.group(1)] = int(m.group(2))
            elif re.match(r'font_\w+\s*$', line):
                label = line.strip()[len('font_'):]
                data[label] = []
            elif re.match(r'\s+Dt\s', line):
                data[label] += [int(value, 16) for value in line.split(None, 1)[1].split(',')]
    return constants, data


def ink_box(picture):
    """(left, top, right, bottom) around the lit pixels of a .chr picture, or None."""
    lit = [(x, page * 8 + bit) for page in range(8) for x in range(128)
           for bit in range(8) if picture[page * 128 + x] >> bit & 1]
    if not lit:
        return None
    return min(x for x, _ in lit), min(y for _, y in lit), max(x for x, _ in lit), max(y for _, y in lit)


def draw(cli, work, font, size, string, x, y):
    run([cli, 'text', font, '--size', str(size), '--at', '%d,%d' % (x, y), string, '-o', 'text.chr'], cwd=work)
    with open(os.path.join(work, 'text.chr'), 'rb') as f:
        return f.read()


def check_blocks(cli, work, font, size, string, constants, widths):
    """Each character of string, drawn alone, keeps its ink in its block."""
    for char in sorted(set(string)):
        width = widths[char.encode('cp1251')[0] - constants['FIRST']]
        box = ink_box(draw(cli, work, font, size, char, 40, 8))
        if box and (box[0] < 40 or box[2] >= 40 + width or box[1] < 8 or box[3] >= 8 + 8 * constants['PAGES']):
            raise Fault('%r has ink outside its block of %d columns, %d pages: choose another string'
                        % (char, width, constants['PAGES']))


def check_case(tools, work, case):
    cli, gpasm, gpsim, examples = tools
    font, size, options, string, page, column, cs_active_low = case
    run([cli, 'font', font, '--size', str(size), *options, '--name', 'font', '-o', 'font.inc'], cwd=work)
    constants, data = read_table(os.path.join(work, 'font.inc'))
    check_blocks(cli, work, font, size, string, constants, data['widths'])
    # The string goes to gpasm as Windows-1251 bytes, as a source file would hold it.
    message = os.fsdecode(b'MESSAGE="%s"' % string.encode('cp1251'))
    flags = ['-D', message, '-D', 'TEXT_PAGE=%d' % page,
             '-D', 'TEXT_COLUMN=%d' % column] + (['-D', 'CS_ACTIVE_LOW'] if cs_active_low else [])
    shutil.copy(os.path.join(examples, PROGRAM), work)
    assembled = run([gpasm, *flags, '-o', 'program.hex', PROGRAM], cwd=work)
    if 'Warning[' in assembled or 'Error[' in assembled:
        raise Fault('gpasm:\n' + assembled)
    shown = simulate(gpsim, work, PROGRAM, 'p16f877a', cs_active_low)
    want = draw(cli, work, font, size, string, column, page * 8)
    if shown != want:
        raise Fault(describe_difference(want, shown))


def main():
    cli, gpasm, gpsim, examples = sys.argv[1:5]
    missing = [name for name in (TERMINUS, DEJAVU) if not os.path.exists(name)]
    if not shutil.which(gpsim) or missing:
        print('skipped: missing %s' % ', '.join(missing or ['gpsim']))
        return 77
    with tempfile.TemporaryDirectory() as work:
        try:
            run([cli, 'font', '--help'])
            run([cli, 'text', '--help'])
        except Fault:
            print('skipped: this lumetra-cli has no font and text commands')
            return 77
        failures = []
        for case in CASES:
            try:
                check_case((cli, gpasm, gpsim, examples), work, case)
            except Fault as fault:
                failures.append('%s %d px, %r at page %d column %d: %s'
                                % (os.path.basename(case[0]), case[1], case[3], case[4], case[5], fault))
    for failure in failures:
        print('FAIL ' + failure)
    if not failures:
        print('%d strings printed as lumetra-cli text draws them' % len(CASES))
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
