#!/usr/bin/env bash
# The skip list's RTF export read back by unrtf: the same text as the TXT
# export, and the colours and bold runs where the list puts them. unrtf
# folds a row of blanks into one, so blanks are compared folded; their exact
# number is the unit tests' business.
#   unrtf_skip_list.sh CLI
set -euo pipefail
cli=$1
if ! command -v unrtf > /dev/null; then
    echo "SKIP: unrtf is not installed (scripts/setup.sh installs it)"
    exit 77
fi
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
cd "$work"

head -c 1024 /dev/urandom > a.chr
cp a.chr 'Картинка {2}.chr'  # braces and Cyrillic must survive RTF
for at in 4 10 700; do
    printf '\x00' | dd of=a.chr bs=1 seek=$at conv=notrunc status=none
    printf '\x55' | dd of='Картинка {2}.chr' bs=1 seek=$at conv=notrunc status=none
done
"$cli" skip-list --count 3 a.chr 'Картинка {2}.chr' -o list.txt
"$cli" skip-list --count 3 --rtf a.chr 'Картинка {2}.chr' -o list.rtf
unrtf --html list.rtf > list.html 2> unrtf.err || { cat unrtf.err; exit 1; }

python3 - list.html list.txt <<'PY'
import html.parser, re, sys

class Reader(html.parser.HTMLParser):
    """Each line of the body as (character, colour, bold) triples."""
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.lines, self.colours, self.bold, self.body = [[]], [], 0, False
    def handle_starttag(self, tag, attrs):
        if tag == "body": self.body = True
        elif tag == "br": self.lines.append([])
        elif tag == "b": self.bold += 1
        elif tag == "font": self.colours.append(dict(attrs).get("color"))
    def handle_endtag(self, tag):
        if tag == "b": self.bold -= 1
        elif tag == "font": self.colours.pop()
        elif tag == "body": self.body = False
    def handle_data(self, data):
        if not self.body: return
        colour = next((c for c in reversed(self.colours) if c), None)
        colour = "auto" if colour in (None, "#000000") else colour
        self.lines[-1] += [(ch, colour, self.bold > 0) for ch in data if ch != "\n"]

reader = Reader()
reader.feed(open(sys.argv[1], encoding="utf-8").read())
got = reader.lines
raw = open(sys.argv[2], "rb").read()
assert raw.endswith(b"\r\n")
want = raw[:-2].decode("cp1251").split("\r\n")
fold = lambda s: re.sub(" +", " ", s)
text = lambda line: "".join(ch for ch, _, _ in line)
if len(got) != len(want): sys.exit(f"FAIL: {len(got)} lines read back, {len(want)} in the text export")
for i, (g, w) in enumerate(zip(got, want)):
    if fold(text(g)) != fold(w): sys.exit(f"FAIL: line {i}: {text(g)!r} read back, {w!r} exported")

def formats(i, part):
    """The formats of the non-blank characters of part in line i."""
    at = text(got[i]).find(part)
    assert at >= 0, (i, part)
    return {(c, b) for ch, c, b in got[i][at:at + len(part)] if ch != " "}

expect = {"Результат оптимизации файлов": ("#4c02b3", True), "Количество повторяющихся байт": ("#760789", False),
          "Кристалл": ("#c3043c", True), "Страница": ("#7c0283", True), "Сегмент": ("#3e9f64", True),
          "Адрес": ("#0157af", True), "////////////////////": ("#fe0000", True), "----------": ("auto", False),
          ".chr": ("auto", False)}
seen = dict.fromkeys(expect, 0)
for i, line in enumerate(want):
    for part, format in expect.items():
        if part in line:
            seen[part] += 1
            if formats(i, part) != {format}: sys.exit(f"FAIL: line {i}: {part} as {formats(i, part)}")
    if "Адрес" in line and formats(i, line.split()[-1]) != {("#bc0243", True)}:
        sys.exit(f"FAIL: line {i}: address digits as {formats(i, line.split()[-1])}")
    for number in re.findall(r"(?:Кристалл|Страница|Сегмент|байт) +(\d+)", line):
        if formats(i, " " + number)  != {("auto", True)}: sys.exit(f"FAIL: line {i}: number {number} not bold")
if formats(0, ":") != {("auto", False)}: sys.exit("FAIL: the title's colon is formatted")
if seen != {**seen, "Кристалл": 2, "Страница": 16, "Сегмент": 128, "Адрес": 1021, "----------": 3, ".chr": 2}:
    sys.exit(f"FAIL: formatted lines seen {seen}")
print(f"unrtf reads back {len(got)} lines with their colours and bold")
PY
