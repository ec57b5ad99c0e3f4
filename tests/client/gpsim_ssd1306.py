#!/usr/bin/env python3
"""The SSD1306 example, run in gpsim, must put the picture on the display.

For random pictures: write the listing with lumetra-cli --display ssd1306,
assemble the example with gpasm (no warning allowed), run it in gpsim logging
every write to its port, turn the pin levels into the bytes of the SPI bus,
feed them to a model of the controller and compare its display memory with
the picture, bit for bit.

usage: gpsim_ssd1306.py LUMETRA_CLI GPASM GPSIM EXAMPLES_DIR
Set SSD1306_SEED to repeat a run; exit code 77 when gpsim is missing.
"""
import os
import random
import re
import shutil
import sys
import tempfile

from gpsim_ks0108 import Fault, report, run

# The wiring the example declares at its top (all on PORTB).
SCK, SDA, DC, CS, RES = (1 << bit for bit in range(5))
PROGRAM = 'ssd1306_pic16.asm'

# Commands followed by argument bytes, and how many.
ARGUMENTS = {0x20: 1, 0x21: 2, 0x22: 2, 0x81: 1, 0x8D: 1, 0xA8: 1, 0xD3: 1, 0xD5: 1, 0xD9: 1, 0xDA: 1, 0xDB: 1}
# Commands of one byte that set something the picture does not depend on.
SETTINGS = set(range(0x40, 0x80)) | {0xA0, 0xA1, 0xA4, 0xA6, 0xC0, 0xC8}


class Controller:
    """Display memory of 8 pages of 128 columns, in page addressing."""

    def __init__(self):
        self.ram = [[None] * 128 for _ in range(8)]
        self.reset()

    def reset(self):
        self.on, self.pump, self.mode, self.page, self.column = False, False, 2, None, 0
        self.pending, self.arguments = None, []

    def command(self, byte):
        if self.pending is not None:
            self.arguments.append(byte)
            if len(self.arguments) == ARGUMENTS[self.pending]:
                if self.pending == 0x20:
                    self.mode = byte & 3
                elif self.pending == 0x8D:
                    self.pump = byte == 0x14
                self.pending = None
        elif byte in ARGUMENTS:
            self.pending, self.arguments = byte, []
        elif 0xB0 <= byte <= 0xB7:
            self.page = byte & 7
        elif byte <= 0x0F:
            self.column = (self.column & 0xF0) | byte
        elif byte <= 0x1F:
            self.column = (self.column & 0x0F) | (byte & 0x0F) << 4
        elif byte in (0xAE, 0xAF):
            self.on = byte == 0xAF
        elif byte not in SETTINGS:
            raise Fault('unknown command 0x%02X' % byte)

    def data(self, byte):
        if self.mode != 2 or self.page is None:
            raise Fault('display data before page addressing and a page address')
        if self.column > 127:
            raise Fault('display data beyond column 127 of page %d' % self.page)
        self.ram[self.page][self.column] = byte
        self.column += 1

    def picture(self):
        if not self.on or not self.pump:
            raise Fault('display on=%s, charge pump on=%s' % (self.on, self.pump))
        out = bytearray()
        for page, row in enumerate(self.ram):
            for column, byte in enumerate(row):
                if byte is None:
                    raise Fault('page %d column %d never written' % (page, column))
                out.append(byte)
        return bytes(out)


class Bus:
    """Four-wire SPI: SDIN taken as SCLK rises while CS# is low, MSB first;
    D/C# at the eighth bit says command or data."""

    def __init__(self):
        self.controller, self.levels, self.shift, self.bits = Controller(), 0, 0, 0

    def set_pins(self, levels):
        old, self.levels = self.levels, levels
        if not levels & RES:
            self.controller.reset()
        if levels & CS or not levels & RES:
            self.shift = self.bits = 0
            return
        if levels & SCK and not old & SCK:
            if (old ^ levels) & (SDA | DC):
                raise Fault('SDIN or D/C# changed as SCLK rose')
            self.shift = (self.shift << 1 | bool(levels & SDA)) & 0xFF
            self.bits += 1
            if self.bits == 8:
                (self.controller.data if levels & DC else self.controller.command)(self.shift)
                self.bits = 0


def replay(trace_path):
    regs, bus = {'portb': 0, 'trisb': 0xFF}, Bus()
    write = re.compile(r'Wrote: 0x([0-9A-Fa-f]+) to (portb|trisb)\(')
    with open(trace_path) as trace:
        for line in trace:
            m = write.search(line)
            if m:
                regs[m.group(2)] = int(m.group(1), 16)
                bus.set_pins(regs['portb'] & ~regs['trisb'] & 0xFF)  # an input floats low
    return bus.controller.picture()


def show(tools, work, picture):
    cli, gpasm, gpsim, examples = tools
    shutil.copy(os.path.join(examples, PROGRAM), work)
    with open(os.path.join(work, 'picture.chr'), 'wb') as f:
        f.write(picture)
    run([cli, 'listing', '--display', 'ssd1306', 'picture.chr', '-o', 'picture.inc'], cwd=work)
    report = run([gpasm, '-o', 'program.hex', PROGRAM], cwd=work)
    if 'Warning[' in report or 'Error[' in report:
        raise Fault('gpasm %s:\n%s' % (PROGRAM, report))
    trace = os.path.join(work, 'trace.log')
    if os.path.exists(trace):
        os.remove(trace)
    with open(os.path.join(work, 'run.stc'), 'w') as f:
        # About 130000 cycles draw the picture; ten times that is a hang.
        f.write('log on trace.log\nlog w trisb\nlog w portb\n'
                'break e done, "reached done"\nbreak c 1300000\nrun\nquit\n')
    out = run([gpsim, '-i', '-S', 'disable', '-s', 'program.cod', '-c', 'run.stc'], cwd=work, timeout=120)
    if 'Message:reached done' not in out:
        raise Fault('gpsim: %s did not reach done:\n%s' % (PROGRAM, out[-600:]))
    return replay(trace)


def main():
    cli, gpasm, gpsim, examples = sys.argv[1:5]
    if not shutil.which(gpsim):
        print('gpsim missing: skipped')
        return 77
    seed = int(os.environ.get('SSD1306_SEED', random.randrange(1 << 30)))
    rng = random.Random(seed)
    failures = []
    with tempfile.TemporaryDirectory() as work:
        for number in range(2):
            picture = bytes(rng.randrange(256) for _ in range(1024))
            try:
                shown = show((cli, gpasm, gpsim, examples), work, picture)
                wrong = [i for i, (a, b) in enumerate(zip(picture, shown)) if a != b]
                if wrong:
                    page, column = divmod(wrong[0], 128)
                    raise Fault('%d of 1024 bytes differ; first page %d column %d: want 0x%02X, shown 0x%02X'
                                % (len(wrong), page, column, picture[wrong[0]], shown[wrong[0]]))
            except Fault as fault:
                failures.append('picture %d: %s' % (number, fault))
    return report(failures, 'SSD1306_SEED', seed, 'the SSD1306 example shows every picture')


if __name__ == '__main__':
    sys.exit(main())
