#!/usr/bin/env python3
"""The KS0108 examples, run in gpsim, must put the picture on the display.

For random pictures: write the listing with lumetra-cli, assemble the example
with gpasm (no warning allowed), run it in gpsim logging every write to the
LCD's ports, replay those writes into a model of the module's two
controllers and compare what they show with the picture, bit for bit.
db-on-pic16 shows what a Db listing does to the picture on a 14-bit core.

usage: gpsim_ks0108.py show|db-on-pic16 LUMETRA_CLI GPASM GPSIM EXAMPLES_DIR
Set KS0108_SEED to repeat a run; exit code 77 when gpsim is missing.
"""
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile

# The wiring both examples declare at their top.
CS1, CS2, RS, RW, EN, RST = (1 << bit for bit in range(6))
NS_PER_CYCLE = 200  # one instruction at 20 MHz
PORTS = {  # processor: (control latch, data latch) as gpsim names them
    'p16f877a': ('portb', 'portd'),
    'p18f452': ('latb', 'latd'),
}


class Fault(Exception):
    pass


class Chip:
    """One controller: 8 pages of 64 columns, the column counting up."""

    def __init__(self):
        self.ram = [[None] * 64 for _ in range(8)]
        self.reset()

    def reset(self):
        self.on, self.start_line, self.page, self.column = False, 0, None, 0

    def command(self, byte):
        if byte & 0xFE == 0x3E:
            self.on = bool(byte & 1)
        elif byte & 0xC0 == 0xC0:
            self.start_line = byte & 63
        elif byte & 0xF8 == 0xB8:
            self.page = byte & 7
        elif byte & 0xC0 == 0x40:
            self.column = byte & 63
        else:
            raise Fault('unknown command 0x%02X' % byte)

    def data(self, byte):
        if self.page is None:
            raise Fault('display data before a page address')
        self.ram[self.page][self.column] = byte
        self.column = (self.column + 1) % 64


class Module:
    """Two controllers sharing the data lines; E falling takes the byte."""

    def __init__(self, cs_active_low):
        self.chips = (Chip(), Chip())
        self.cs_active_low = cs_active_low
        self.ctrl = self.data = 0          # levels on the pins
        self.e_rose = self.setup_changed = self.last_fall = None
        self.data_changed = 0

    def selected(self, ctrl):
        levels = (bool(ctrl & CS1), bool(ctrl & CS2))
        return [c for c, level in zip(self.chips, levels) if level != self.cs_active_low]

    def set_pins(self, cycle, ctrl, data):
        if data != self.data:
            self.data, self.data_changed = data, cycle
        old, self.ctrl = self.ctrl, ctrl
        if not ctrl & RST:
            for chip in self.chips:
                chip.reset()
        if (old ^ ctrl) & (CS1 | CS2 | RS | RW):
            if old & EN:
                raise Fault('cycle %d: RS, R/W or a chip select changed while E was high' % cycle)
            self.setup_changed = cycle
        if ctrl & EN and not old & EN:
            self.e_rose = cycle
            if self.setup_changed is not None and (cycle - self.setup_changed) * NS_PER_CYCLE < 140:
                raise Fault('cycle %d: E rose less than 140 ns after RS/CS' % cycle)
        if old & EN and not ctrl & EN:
            self.strobe(cycle)

    def strobe(self, cycle):
        if (cycle - self.e_rose) * NS_PER_CYCLE < 450:
            raise Fault('cycle %d: E high for less than 450 ns' % cycle)
        if self.last_fall is not None and (cycle - self.last_fall) * NS_PER_CYCLE < 1000:
            raise Fault('cycle %d: E cycle shorter than 1000 ns' % cycle)
        if (cycle - self.data_changed) * NS_PER_CYCLE < 200:
            raise Fault('cycle %d: data changed less than 200 ns before E fell' % cycle)
        self.last_fall = cycle
        if not self.ctrl & RST:
            raise Fault('cycle %d: E strobed during reset' % cycle)
        if self.ctrl & RW:
            raise Fault('cycle %d: a read; the driver only writes' % cycle)
        for chip in self.selected(self.ctrl):
            (chip.data if self.ctrl & RS else chip.command)(self.data)

    def picture(self):
        """The 1024 bytes shown, page by page, 128 columns a page."""
        out = bytearray(1024)
        for half, chip in enumerate(self.chips):
            if not chip.on or chip.start_line:
                raise Fault('chip %d: display on=%s, start line %d' % (half + 1, chip.on, chip.start_line))
            for page in range(8):
                for column, byte in enumerate(chip.ram[page]):
                    if byte is None:
                        raise Fault('chip %d page %d column %d never written' % (half + 1, page, column))
                    out[page * 128 + half * 64 + column] = byte
        return bytes(out)


def replay(trace_path, processor, cs_active_low):
    """Feeds the logged port writes, in order, to a Module."""
    ctrl_name, data_name = PORTS[processor]
    regs = {ctrl_name: 0, data_name: 0, 'trisb': 0xFF, 'trisd': 0xFF}  # ports are inputs at reset
    module, cycle = Module(cs_active_low), 0
    instruction = re.compile(r'^0x([0-9A-Fa-f]+) ' + processor + ' ')
    write = re.compile(r'Wrote: 0x([0-9A-Fa-f]+) to (\w+)\(')
    with open(trace_path) as trace:
        for line in trace:
            m = instruction.match(line)
            if m:
                cycle = int(m.group(1), 16)
                continue
            m = write.search(line)
            if not m or m.group(2) not in regs:
                continue
            regs[m.group(2)] = int(m.group(1), 16)
            # An input pin floats; the module's pull-downs read it as 0.
            module.set_pins(cycle, regs[ctrl_name] & ~regs['trisb'] & 0xFF,
                            regs[data_name] & ~regs['trisd'] & 0xFF)
    return module.picture()


def describe_difference(want, got):
    lines = []
    for offset, (a, b) in enumerate(zip(want, got)):
        if a != b and len(lines) < 5:
            page, x = divmod(offset, 128)
            lines.append('  page %d column %d (chip %d column %d): want 0x%02X, shown 0x%02X'
                         % (page, x, x // 64 + 1, x % 64, a, b))
    count = sum(a != b for a, b in zip(want, got))
    return '%d of 1024 bytes differ\n' % count + '\n'.join(lines)


def run(cmd, **kw):
    result = subprocess.run(cmd, capture_output=True, text=True, errors='replace', **kw)
    if result.returncode != 0:
        raise Fault('%s failed (%d):\n%s%s' % (' '.join(cmd), result.returncode, result.stdout, result.stderr))
    return result.stdout + result.stderr


def show(tools, work, picture, program, listing_args, defines, cs_active_low=False):
    """Runs one example on one picture; returns the picture it shows."""
    cli, gpasm, gpsim, examples = tools
    processor = 'p16f877a' if program.endswith('pic16.asm') else 'p18f452'
    shutil.copy(os.path.join(examples, program), work)
    with open(os.path.join(work, 'picture.chr'), 'wb') as f:
        f.write(picture)
    run([cli, 'listing', '--file-name', *listing_args, 'picture.chr', '-o', 'picture.inc'], cwd=work)
    flags = [arg for name in defines for arg in ('-D', name)]
    report = run([gpasm, *flags, '-o', 'program.hex', program], cwd=work)
    if 'Warning[' in report or 'Error[' in report:
        raise Fault('gpasm %s %s:\n%s' % (' '.join(flags), program, report))
    return simulate(gpsim, work, program, processor, cs_active_low), report


def simulate(gpsim, work, program, processor, cs_active_low):
    """Runs program.cod in work until the label done; returns the picture
    its port writes leave on the module."""
    ctrl, data = PORTS[processor]
    trace = os.path.join(work, 'trace.log')
    if os.path.exists(trace):
        os.remove(trace)
    with open(os.path.join(work, 'run.stc'), 'w') as f:
        # About 100000 cycles draw a picture; ten times that is a hang.
        f.write('log on trace.log\nlog w trisb\nlog w trisd\nlog w %s\nlog w %s\n'
                'break e done, "reached done"\nbreak c 1000000\nrun\nquit\n' % (ctrl, data))
    out = run([gpsim, '-i', '-S', 'disable', '-s', 'program.cod', '-c', 'run.stc'], cwd=work, timeout=120)
    if 'Message:reached done' not in out:
        raise Fault('gpsim: %s did not reach done:\n%s' % (program, out[-600:]))
    return replay(trace, processor, cs_active_low)


CASES = [  # program, listing options, assembler symbols, chip selects active low
    ('ks0108_pic16.asm', [], [], False),
    ('ks0108_pic16.asm', ['--no-group'], ['LISTING_NO_GROUP'], False),
    ('ks0108_pic18.asm', ['--db'], [], False),
    ('ks0108_pic18.asm', ['--db', '--no-group'], ['LISTING_NO_GROUP'], False),
    ('ks0108_pic16.asm', [], ['CS_ACTIVE_LOW'], True),
    ('ks0108_pic18.asm', ['--db', '--no-group'], ['LISTING_NO_GROUP', 'CS_ACTIVE_LOW'], True),
]


def check_examples(tools, work, pictures):
    """Every example, in every listing order, shows every picture."""
    for number, picture in enumerate(pictures):
        for program, options, defines, low in CASES:
            name = '%s %s %s' % (program, ' '.join(options) or '(grouped Dt)', ' '.join(defines))
            try:
                shown, _ = show(tools, work, picture, program, options, defines, low)
                if shown != picture:
                    raise Fault(describe_difference(picture, shown))
            except Fault as fault:
                yield '%s, picture %d: %s' % (name, number, fault)


def check_db_on_pic16(tools, work, pictures):
    """A Db listing on the 14-bit core: each program word keeps only the low
    6 bits of the first byte of its pair, and gpasm merely notes it."""
    picture = pictures[0]
    try:
        shown, report = show(tools, work, picture, 'ks0108_pic16.asm', ['--db'], ['TABLE_DB'])
        listed = grouped(picture)
        damaged = bytes(b & 0x3F if i % 2 == 0 else b for i, b in enumerate(listed))
        if shown == picture or grouped(shown) != damaged:
            raise Fault('want the picture with bits 6-7 of every other byte lost\n'
                        + describe_difference(ungrouped(damaged), shown))
        if 'Message[303]' not in report:
            raise Fault('gpasm did not note the truncated words:\n' + report)
    except Fault as fault:
        yield 'ks0108_pic16.asm with a Db listing: %s' % fault


def report(failures, seed_name, seed, success):
    """Prints the failures, or the success line, with the seed that repeats
    the run; answers the exit code."""
    for failure in failures:
        print('FAIL ' + failure)
    if failures:
        print('%d failure(s); repeat with %s=%d' % (len(failures), seed_name, seed))
        return 1
    print('%s (seed %d)' % (success, seed))
    return 0


def main():
    mode, cli, gpasm, gpsim, examples = sys.argv[1:6]
    if not shutil.which(gpsim):
        print('gpsim missing: skipped')
        return 77
    seed = int(os.environ.get('KS0108_SEED', random.randrange(1 << 30)))
    rng = random.Random(seed)
    pictures = [bytes(rng.randrange(256) for _ in range(1024)) for _ in range(2)]
    check = {'show': check_examples, 'db-on-pic16': check_db_on_pic16}[mode]
    with tempfile.TemporaryDirectory() as work:
        failures = list(check((cli, gpasm, gpsim, examples), work, pictures))
    return report(failures, 'KS0108_SEED', seed, '%s: as expected' % mode)


def grouped(picture):
    """The picture's bytes in the listing's default order: chip 1, then chip 2."""
    return bytes(picture[page * 128 + half * 64 + x] for half in (0, 1) for page in range(8) for x in range(64))


def ungrouped(listed):
    out = bytearray(1024)
    for i, byte in enumerate(listed):
        half, rest = divmod(i, 512)
        page, x = divmod(rest, 64)
        out[page * 128 + half * 64 + x] = byte
    return bytes(out)


if __name__ == '__main__':
    sys.exit(main())
