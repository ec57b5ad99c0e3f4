#!/usr/bin/env python3
"""The frames player, run in gpsim, must show every frame of the animation.

For animations of random pictures (few changes from frame to frame, and
many): write the Db frame table with lumetra-cli frames --stats, assemble
ks0108_frames_pic18.asm with gpasm (no warning allowed), run it in gpsim
logging its port writes and its frame counter, and replay the writes into
the model of the module from gpsim_ks0108.py. Each time the counter moves,
the display must equal that frame bit for bit, the data bytes written since
the last frame must be the run bytes --stats gave, and the next frame must
start one delay later. The round goes on from frame 2 after the way back to
frame 1.

usage: gpsim_ks0108_frames.py LUMETRA_CLI GPASM GPSIM EXAMPLES_DIR
Set KS0108_SEED to repeat a run; exit code 77 when gpsim is missing.
"""
import os
import random
import re
import shutil
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from gpsim_ks0108 import NS_PER_CYCLE, RS, Fault, Module, describe_difference, report, run  # noqa: E402

PROGRAM = 'ks0108_frames_pic18.asm'
CYCLES_PER_MS = 1000000 // NS_PER_CYCLE


class CountingModule(Module):
    """The module, counting display data bytes and telling when a byte comes."""

    def __init__(self, cs_active_low):
        super().__init__(cs_active_low)
        self.data_bytes, self.first_strobe = 0, None

    def strobe(self, cycle):
        super().strobe(cycle)
        if self.first_strobe is None:
            self.first_strobe = cycle
        if self.ctrl & RS:
            self.data_bytes += 1


def read_stats(text):
    """Run bytes of each frame of the table, in table order, from --stats."""
    rows = [line.split() for line in text.splitlines()]
    return [int(row[4]) for row in rows if len(row) == 5 and (row[0].isdigit() or row[0] == 'loop')]


def play(tools, work, pictures, delay, cs_active_low, rounds_cycles):
    """Runs the player; yields (cycle, shown picture, data bytes, cycles until the next byte)."""
    cli, gpasm, gpsim, examples = tools
    shutil.copy(os.path.join(examples, PROGRAM), work)
    names = []
    for number, picture in enumerate(pictures):
        names.append('frame%02d.chr' % number)
        with open(os.path.join(work, names[-1]), 'wb') as f:
            f.write(picture)
    stats = run([cli, 'frames', '--db', '--stats', '--delay', str(delay), '-o', 'frames.inc', *names], cwd=work)
    flags = ['-D', 'CS_ACTIVE_LOW'] if cs_active_low else []
    report = run([gpasm, *flags, '-o', 'program.hex', PROGRAM], cwd=work)
    if 'Warning[' in report or 'Error[' in report:
        raise Fault('gpasm %s:\n%s' % (PROGRAM, report))
    trace = os.path.join(work, 'trace.log')
    if os.path.exists(trace):
        os.remove(trace)
    with open(os.path.join(work, 'run.stc'), 'w') as f:
        f.write('log on trace.log\nlog w trisb\nlog w trisd\nlog w latb\nlog w latd\nlog w frames_shown\n'
                'break c %d\nrun\nquit\n' % rounds_cycles(read_stats(stats)))
    run([gpsim, '-i', '-S', 'disable', '-s', 'program.cod', '-c', 'run.stc'], cwd=work, timeout=300)
    return read_stats(stats), replay(trace, cs_active_low)


def replay(trace_path, cs_active_low):
    regs = {'latb': 0, 'latd': 0, 'trisb': 0xFF, 'trisd': 0xFF}
    module, cycle, frames = CountingModule(cs_active_low), 0, []
    instruction = re.compile(r'^0x([0-9A-Fa-f]+) p18f452 ')
    write = re.compile(r'Wrote: 0x([0-9A-Fa-f]+) to (\w+)\(')
    with open(trace_path) as trace:
        for line in trace:
            m = instruction.match(line)
            if m:
                cycle = int(m.group(1), 16)
                continue
            m = write.search(line)
            if not m:
                continue
            if m.group(2) == 'frames_shown':
                if int(m.group(1), 16) == 0:
                    continue  # cleared at the start
                if frames:
                    frames[-1][3] = module.first_strobe
                frames.append([cycle, module.picture(), module.data_bytes, None])
                module.data_bytes, module.first_strobe = 0, None
                continue
            if m.group(2) not in regs:
                continue
            regs[m.group(2)] = int(m.group(1), 16)
            module.set_pins(cycle, regs['latb'] & ~regs['trisb'] & 0xFF, regs['latd'] & ~regs['trisd'] & 0xFF)
    return frames


def check(tools, work, name, pictures, delay, cs_active_low=False):
    """The player shows the animation, one round and two frames more."""
    n = len(pictures)

    def rounds_cycles(run_bytes):
        # About 70 cycles a data byte and 150 a run; half as much again is a hang.
        draw = sum(run_bytes) + run_bytes[1] + run_bytes[2 % n]
        return int(1.5 * (draw * 70 + 1024 * 150 + (n + 3) * delay * CYCLES_PER_MS))

    try:
        run_bytes, shown = play(tools, work, pictures, delay, cs_active_low, rounds_cycles)
        if len(run_bytes) != n + 1:
            raise Fault('--stats gave %d frames, want %d' % (len(run_bytes), n + 1))
        if len(shown) < n + 3:
            raise Fault('%d frames shown, want the %d of a round and two more' % (len(shown), n + 1))
        for k, (cycle, picture, data_bytes, next_byte) in enumerate(shown):
            entry = 0 if k == 0 else (k - 1) % n + 1  # after the way back, frame 2 again
            what = 'frame %d (%s)' % (k + 1, 'back to frame 1' if entry == n else 'frame %d' % (k % n + 1))
            if picture != pictures[k % n]:
                raise Fault('%s: %s' % (what, describe_difference(pictures[k % n], picture)))
            if data_bytes != run_bytes[entry]:
                raise Fault('%s: %d data bytes written, --stats says %d' % (what, data_bytes, run_bytes[entry]))
            want = delay * CYCLES_PER_MS
            if next_byte is not None and not want <= next_byte - cycle <= want * 1.001 + 100:
                raise Fault('%s: the next frame began %.3f ms after, want %d ms'
                            % (what, (next_byte - cycle) / CYCLES_PER_MS, delay))
    except Fault as fault:
        yield '%s: %s' % (name, fault)


def few_changes(rng, base, frames):
    """Each frame a few bytes from the one before: lone bytes, a gap of one,
    a run to a page's end, and one frame the same as the one before."""
    out = [base]
    for number in range(1, frames):
        picture = bytearray(out[-1])
        if number != 2:
            for _ in range(rng.randrange(1, 6)):
                at = rng.randrange(1024)
                picture[at] ^= 1 << rng.randrange(8)
            edge = rng.randrange(16) * 64 + 63  # the last column of a half
            page, half = divmod(edge // 64, 2)
            picture[page * 128 + half * 64 + 62] ^= 0x81
            picture[page * 128 + half * 64 + 63] ^= 0x18
            picture[rng.randrange(1, 1023) & ~3] ^= 0xFF
            picture[(rng.randrange(1, 1023) & ~3) + 2] ^= 0xFF
        out.append(bytes(picture))
    return out


def main():
    cli, gpasm, gpsim, examples = sys.argv[1:5]
    if not shutil.which(gpsim):
        print('gpsim missing: skipped')
        return 77
    seed = int(os.environ.get('KS0108_SEED', random.randrange(1 << 30)))
    rng = random.Random(seed)

    def random_picture():
        return bytes(rng.randrange(256) for _ in range(1024))

    tools = (cli, gpasm, gpsim, examples)
    failures = []
    with tempfile.TemporaryDirectory() as work:
        failures += check(tools, work, 'few changes', few_changes(rng, random_picture(), 5), 10)
        failures += check(tools, work, 'many changes', [random_picture() for _ in range(3)], 30)
        failures += check(tools, work, 'two frames, chip selects active low',
                          [random_picture() for _ in range(2)], 10, cs_active_low=True)
    return report(failures, 'KS0108_SEED', seed, 'frames played as expected')


if __name__ == '__main__':
    sys.exit(main())
