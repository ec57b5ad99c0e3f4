#!/usr/bin/python3
"""Stories of the editor as a web page (build/web) in headless Chromium, driven
with real pointer and key events, as the Wine stories drive lumetra.exe.

usage: page_test.py STORY PAGE_DIR LUMETRA_CLI
Exit 77 (a skip) only when PAGE_DIR holds no page.
"""
import json
import os
import random
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import zlib

from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys

from browser import check, chromium, failures, serve

# Control numbers of app/ids.h.
FIRST_CELL, FIRST_PIXEL, CONVERT, CODE_VIEW = 20, 280, 425, 521
SCAN, SKIP_LIST, SKIP_LIST_BUTTON, AUTO_SCAN = 167, 168, 169, 174
ANIMATION_DELAY, ANIMATION_START, ANIMATION_STOP, BUFFER_TABS = 502, 505, 506, 7
STOP_LIMIT_MS = 150
CELL_TEXT, TEXT_INPUT, TEXT_FONT = 44, 621, 622
READY_LIMIT_S = 1.5

def wait_for(what, test, timeout=10.0):
    end = time.time() + timeout
    while True:
        value = test()
        if value:
            return value
        if time.time() > end:
            raise AssertionError("timed out waiting for " + what)
        time.sleep(0.05)


class Page:
    """The page served from PAGE_DIR on a free port of 127.0.0.1, in a browser
    of its own profile (so storage starts empty) that downloads into a
    temporary folder."""

    def __init__(self, root, work):
        self.root = root
        self.server = serve(root)
        self.origin = f"http://127.0.0.1:{self.server.server_port}"
        self.downloads = os.path.join(work, "downloads")
        os.makedirs(self.downloads)
        self.driver = chromium(1280, 900, "--user-data-dir=" + os.path.join(work, "profile"), log="performance")
        self.driver.execute_cdp_cmd("Page.setDownloadBehavior", {"behavior": "allow", "downloadPath": self.downloads})
        self.driver.execute_cdp_cmd("Browser.grantPermissions", {
            "origin": self.origin, "permissions": ["clipboardReadWrite", "clipboardSanitizedWrite"]})

    def load(self):
        """Loads the page; the seconds from the request to the ready marker."""
        start = time.time()
        self.driver.get(self.origin + "/")
        wait_for("the ready marker", lambda: self.js("return document.documentElement.dataset.ready") == "1")
        return time.time() - start

    def close(self):
        # No request of the whole story went anywhere but to this server.
        for entry in self.driver.get_log("performance"):
            message = json.loads(entry["message"])["message"]
            # The browser's own pages (its new tab) load their parts too.
            if message["method"] == "Network.requestWillBeSent" and \
                    message["params"].get("documentURL", "").startswith(self.origin + "/"):
                url = message["params"]["request"]["url"]
                check(url.startswith(self.origin + "/") or url.startswith("blob:" + self.origin + "/"),
                      f"a request to another address: {url}")
        self.driver.quit()
        self.server.shutdown()

    def js(self, script, *arguments):
        return self.driver.execute_script(script, *arguments)

    def control(self, number):
        return self.driver.find_element(By.ID, f"c{number}")

    def click(self, element, button="left", double=False, dx=0, dy=0):
        """A real press and release at the element's middle (moved by dx, dy)."""
        chain = ActionChains(self.driver).move_to_element_with_offset(element, dx, dy)
        if button == "right":
            chain.context_click()
        elif double:
            chain.double_click()
        else:
            chain.click()
        chain.perform()
        self.settle()

    def keys(self, *chord):
        """A key chord: the modifiers held while the last key is pressed."""
        chain = ActionChains(self.driver)
        for key in chord[:-1]:
            chain.key_down(key)
        chain.send_keys(chord[-1])
        for key in reversed(chord[:-1]):
            chain.key_up(key)
        chain.perform()
        self.settle()

    def settle(self, seconds=0.25):
        time.sleep(seconds)

    def open_file(self, path):
        """Ctrl+O, then the file given to the page's file chooser."""
        self.keys(Keys.CONTROL, "o")
        chooser = wait_for("the file chooser", lambda: self.js(
            "const i = document.getElementById('open-file'); return i && i.dataset.waiting ? i : null"))
        chooser.send_keys(path)
        self.settle(0.5)

    def save_as(self, name):
        """Ctrl+S, then NAME typed into the page's save dialog."""
        self.keys(Keys.CONTROL, "s")
        wait_for("the save dialog", lambda: self.js("return document.getElementById('save-name')"))
        field = self.driver.find_element(By.ID, "save-name")
        field.clear()
        field.send_keys(name)
        self.answer("save")

    def message(self):
        """The title and text of the message box shown now, or None."""
        return self.js("""const t = document.getElementById('dialog-text');
            return t && [t.closest('.ld-dialog').querySelector('.ld-title-text').innerText, t.innerText]""")

    def answer(self, button):
        self.click(self.driver.find_element(By.ID, "dialog-button-" + button))

    def screen(self):
        """The screen view as 64 rows of 128 '#' (lit) and '.', read from the
        cells' canvases: the middle of each enlarged pixel, lit when dark."""
        return self.js("""
            const rows = Array.from({length: 64}, () => Array(128).fill('?'));
            for (let cell = 1; cell <= 128; ++cell) {
              const canvas = document.getElementById('c' + (arguments[0] + cell - 1));
              const data = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
              const sx = canvas.width / 8, sy = canvas.height / 8;
              const top = Math.floor((cell - 1) / 16) * 8, left = ((cell - 1) % 16) * 8;
              for (let y = 0; y < 8; ++y)
                for (let x = 0; x < 8; ++x) {
                  const i = (Math.floor((y + 0.5) * sy) * canvas.width + Math.floor((x + 0.5) * sx)) * 4;
                  const light = data[i] + data[i + 1] + data[i + 2];
                  rows[top + y][left + x] = light < 200 ? '#' : '.';
                }
            }
            return rows.map(r => r.join(''));""", FIRST_CELL)

    def clipboard(self):
        return self.driver.execute_async_script(
            "const done = arguments[0]; navigator.clipboard.readText().then(done, e => done('error: ' + e))")

    def title(self):
        return self.js("return document.querySelector('#window-main .lw-caption').innerText")

    def text(self, number):
        return self.js("return arguments[0].innerText", self.control(number))

    def downloaded(self, name, timeout=10.0):
        path = os.path.join(self.downloads, name)
        wait_for("the download of " + name, lambda: os.path.exists(path) and not os.path.exists(path + ".crdownload"),
                 timeout)
        with open(path, "rb") as f:
            return f.read()


# ------------------------------------------------------------ the pictures

def random_chr(path, seed):
    data = random.Random(seed).randbytes(1024)
    with open(path, "wb") as f:
        f.write(data)
    return data


def png_rows(path):
    """Rows of palette indices of a 1-bit PNG as lumetra-cli render writes it."""
    with open(path, "rb") as f:
        data = f.read()
    at, idat = 8, b""
    while at < len(data):
        (length,) = struct.unpack(">I", data[at:at + 4])
        kind, body = data[at + 4:at + 8], data[at + 8:at + 8 + length]
        if kind == b"IHDR":
            width, height, depth = struct.unpack(">IIB", body[:9])
        elif kind == b"IDAT":
            idat += body
        at += 12 + length
    assert depth == 1
    raw, stride, rows, previous = zlib.decompress(idat), (width + 7) // 8, [], bytes((width + 7) // 8)
    for y in range(height):
        kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            left, up = line[i - 1] if i else 0, previous[i]
            upleft = previous[i - 1] if i else 0
            if kind == 1:
                line[i] = (line[i] + left) & 255
            elif kind == 2:
                line[i] = (line[i] + up) & 255
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 255
            elif kind == 4:
                p = left + up - upleft
                near = min((abs(p - left), left), (abs(p - up), up), (abs(p - upleft), upleft), key=lambda t: t[0])
                line[i] = (line[i] + near[1]) & 255
        previous = bytes(line)
        rows.append([(line[x // 8] >> (7 - x % 8)) & 1 for x in range(width)])
    return rows


def expected_screen(cli, picture, work):
    """The picture as lumetra-cli renders it, in Page.screen's letters."""
    out = os.path.join(work, "expected.png")
    subprocess.run([cli, "render", "--scale", "1", picture, "-o", out], check=True)
    return ["".join("#" if v else "." for v in row) for row in png_rows(out)]


def cli_text(cli, *arguments):
    return subprocess.run([cli, *arguments], check=True, capture_output=True).stdout


# ------------------------------------------------------------ the stories

def story_load(page, cli, work):
    seconds = page.load()
    wasm = os.path.getsize(os.path.join(page.root, "lumetra.wasm"))
    ready_ms = page.js("return lumetra.ready_ms")
    print(f"load to ready: {seconds * 1000:.0f} ms (page's own clock {ready_ms:.0f} ms), "
          f"lumetra.wasm {wasm} bytes")
    check(seconds <= READY_LIMIT_S, f"the page is ready after {seconds:.2f} s (at most {READY_LIMIT_S})")
    check(page.js("return !!document.getElementById('window-main')"), "the main window is drawn")
    check(len(page.js("return document.querySelectorAll('canvas[id^=c]')")) >= 128 + 64,
          "the screen view's cells and the cell editor's pixels are canvases")
    check(set(page.screen()) == {"." * 128}, "a new picture is blank")


def story_open(page, cli, work):
    page.load()
    picture = os.path.join(work, "random.chr")
    random_chr(picture, 1)
    page.open_file(picture)
    check(page.message() is None, f"opening a picture asks nothing: {page.message()}")
    check(page.screen() == expected_screen(cli, picture, work), "the opened picture shows pixel for pixel")


def pixel(x, y):
    """The cell editor's pixel x, y: its pictures go down each byte's column."""
    return FIRST_PIXEL + x * 8 + y


def story_draw_save(page, cli, work):
    page.load()
    # The top left cell into the cell editor; its first row drawn by a drag
    # of the left button, then two of those pixels erased by right clicks.
    page.click(page.control(FIRST_CELL), double=True)
    chain = ActionChains(page.driver).move_to_element(page.control(pixel(0, 0))).click_and_hold()
    for x in range(1, 8):
        chain.move_to_element(page.control(pixel(x, 0)))
    chain.release().perform()
    page.settle()
    for x in (2, 5):
        page.click(page.control(pixel(x, 0)), button="right")
    lit = page.screen()[0][:8]
    check(lit == "##.##.##", f"the screen view shows the drawn and erased pixels: {lit}")
    page.save_as("drawn")
    data = page.downloaded("drawn.chr")
    check(len(data) == 1024, f"the download is 1024 bytes, not {len(data)}")
    # The same picture drawn through the CLI's own reading: the page's .chr
    # renders as the screen view showed it.
    saved = os.path.join(work, "drawn.chr")
    with open(saved, "wb") as f:
        f.write(data)
    check(expected_screen(cli, saved, work)[0][:8] == "##.##.##" and
          set(expected_screen(cli, saved, work)[1:]) == {"." * 128}, "the saved bytes hold the drawn pixels alone")


def story_convert_copy(page, cli, work):
    page.load()
    picture = os.path.join(work, "random.chr")
    random_chr(picture, 2)
    page.open_file(picture)
    page.click(page.control(CONVERT))
    want = cli_text(cli, "listing", picture).decode("cp1251")
    shown = page.text(CODE_VIEW).replace("\n", "\r\n")
    check(shown == want, "the code view holds lumetra-cli's listing")
    page.click(page.control(CODE_VIEW))
    page.keys(Keys.CONTROL, "a")
    page.keys(Keys.CONTROL, "c")
    copied = page.clipboard()
    check(copied == want, f"the copy is lumetra-cli's listing, CR LF and all: {copied[:60]!r}")


def two_pictures(work):
    """Two random pictures sharing about half their bytes, so that the scan
    finds both kinds of cell."""
    r = random.Random(5)
    first = bytearray(r.randbytes(1024))
    second = bytearray(first)
    for i in r.sample(range(1024), 600):
        second[i] = r.randrange(256)
    paths = [os.path.join(work, "first.chr"), os.path.join(work, "second.chr")]
    for path, data in zip(paths, (first, second)):
        with open(path, "wb") as f:
            f.write(data)
    return paths


def tab(page, buffer):
    page.click(page.driver.find_elements(By.CSS_SELECTOR, f"#c{BUFFER_TABS} .lc-tab")[buffer - 1])


def story_scan_skip(page, cli, work):
    page.load()
    first, second = two_pictures(work)
    page.open_file(first)
    tab(page, 2)
    page.open_file(second)
    page.keys(Keys.CONTROL, "4")
    page.click(page.control(SCAN))
    selected = page.js(f"return [...document.querySelectorAll('#c{BUFFER_TABS} .lc-tab')]"
                       ".findIndex(t => t.classList.contains('selected'))")
    check(selected == 9, f"\"Сканировать\" selects \"Буфер 10\" (tab {selected + 1})")
    skip_map = os.path.join(work, "map.chr")
    subprocess.run([cli, "skip-map", "-o", skip_map, first, second], check=True)
    check(page.screen() == expected_screen(cli, skip_map, work), "the skip map shows as lumetra-cli makes it")
    page.click(page.control(SKIP_LIST_BUTTON))
    wait_for("the skip list", lambda: len(page.text(SKIP_LIST)) > 1000)
    want = cli_text(cli, "skip-list", first, second).decode("cp1251")
    # The page's files live in its upload folder.
    for path in (first, second):
        want = want.replace(path, "/uploads/" + os.path.basename(path))
    # The list holds the lines without the line end the file has after the last.
    shown = page.text(SKIP_LIST).replace("\n", "\r\n") + "\r\n"
    check(shown == want, f"the skip list is lumetra-cli's ({len(shown)} characters shown, {len(want)} expected)")
    page.click(page.control(SKIP_LIST))
    page.keys(Keys.CONTROL, "a")
    page.keys(Keys.CONTROL, "c")
    check(page.clipboard() + "\r\n" == want, "Ctrl+A, Ctrl+C over the list copy its text")


def story_animation(page, cli, work):
    page.load()
    picture = os.path.join(work, "frame.chr")
    random_chr(picture, 6)
    page.open_file(picture)
    drawn = page.screen()
    blank = ["." * 128] * 64
    page.keys(Keys.CONTROL, "2")
    page.click(page.control(ANIMATION_START))
    enabled = "return !arguments[0].classList.contains('disabled')"
    check(page.js(enabled, page.control(ANIMATION_STOP)) and not page.js(enabled, page.control(ANIMATION_START)),
          "while playing \"Стоп\" is enabled and \"Анимация\" is not")
    seen = set()
    end = time.time() + 3
    while time.time() < end and len(seen) < 2:
        screen = page.screen()
        seen.add("drawn" if screen == drawn else "blank" if screen == blank else "other")
        time.sleep(0.05)
    check(seen == {"drawn", "blank"}, f"buffers 1 and 2 alternate on screen: {sorted(seen)}")
    page.click(page.control(ANIMATION_STOP))
    check(page.js(enabled, page.control(ANIMATION_START)) and not page.js(enabled, page.control(ANIMATION_STOP)),
          "\"Стоп\" ends playing")
    still = [page.screen() for _ in range(3) if not time.sleep(0.4)]
    check(all(screen == drawn for screen in still), "after playing buffer 1 stays on screen")

    # At the longest delay "Стоп" ends playing at once, not after the frame:
    # from the button's press to "Анимация" enabled again, by the page's clock.
    page.click(page.control(ANIMATION_DELAY))
    page.click(page.driver.find_element(By.XPATH, f'//*[@id="list-{ANIMATION_DELAY}"]/*[text()="4000"]'))
    check(page.text(ANIMATION_DELAY).split()[0] == "4000", f"the delay chosen: {page.text(ANIMATION_DELAY)!r}")
    page.click(page.control(ANIMATION_START))
    page.settle(1.0)
    page.js("""const stop = arguments[0], start = arguments[1];
        window.stop_pressed = null; window.stop_took = null;
        stop.addEventListener('pointerdown', () => { window.stop_pressed = performance.now(); }, {capture: true, once: true});
        new MutationObserver((changes, observer) => {
          if (window.stop_pressed !== null && !start.classList.contains('disabled')) {
            window.stop_took = performance.now() - window.stop_pressed;
            observer.disconnect();
          }
        }).observe(start, {attributes: true});""", page.control(ANIMATION_STOP), page.control(ANIMATION_START))
    page.click(page.control(ANIMATION_STOP))
    took = wait_for("the end of playing", lambda: page.js("return window.stop_took"), 5.0)
    print(f"\"Стоп\" at the 4000 ms delay: {took:.1f} ms")
    check(took <= STOP_LIMIT_MS, f"\"Стоп\" took {took:.0f} ms at the 4000 ms delay")


def story_damaged(page, cli, work):
    page.load()
    good = os.path.join(work, "good.chr")
    random_chr(good, 3)
    page.open_file(good)
    before = page.screen(), page.title()
    damaged = os.path.join(work, "damaged.png")
    with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data", "import",
                           "colour-png-rgb.png"), "rb") as f:
        data = f.read()
    with open(damaged, "wb") as f:
        f.write(data[:len(data) // 2])
    page.open_file(damaged)
    shown = wait_for("the message box", page.message)
    check(shown == ["Ошибка", "Не удалось открыть файл\n/uploads/damaged.png"], f"the desktop's message: {shown}")
    page.answer("ok")
    check(page.message() is None, "OK closes the message")
    check((page.screen(), page.title()) == before, "the damaged picture changes neither the picture nor the title")


def story_settings(page, cli, work):
    page.load()
    picture = os.path.join(work, "recent.chr")
    random_chr(picture, 4)
    page.open_file(picture)
    auto_scan = f"document.querySelector('#c{AUTO_SCAN} input').checked"
    page.keys(Keys.CONTROL, "4")
    check(page.js("return " + auto_scan), "automatic scanning starts checked")
    page.click(page.driver.find_element(By.CSS_SELECTOR, f"#c{AUTO_SCAN} input"))
    check(not page.js("return " + auto_scan), "a click unchecks it")
    # Closed as on the desktop (the settings are written when the program ends).
    page.click(page.driver.find_element(By.CSS_SELECTOR, "#window-main .lw-close"))
    wait_for("the program's end", lambda: page.js("return document.getElementById('program-ended')"))
    page.settle(1.0)
    page.load()
    page.keys(Keys.CONTROL, "4")
    check(not page.js("return " + auto_scan), "automatic scanning stays unchecked after closing and a reload")
    # The recent file reopens from the copy the page keeps.
    page.click(page.driver.find_element(By.XPATH, "//*[text()='Файл']"))
    page.click(page.driver.find_element(By.XPATH, "//*[text()='Недавние файлы']"))
    recent = page.js("return document.querySelector('[data-command=\"30\"]')")
    check(recent is not None and "recent.chr" in recent.text, "the recent file is in the menu after a reload")
    if recent is not None:
        page.click(recent)
        check(page.screen() == expected_screen(cli, picture, work), "the recent file reopens after a reload")
    # Leaving the page without closing the program is the browser's usual way.
    page.keys(Keys.CONTROL, "4")
    page.click(page.driver.find_element(By.CSS_SELECTOR, f"#c{AUTO_SCAN} input"))
    check(page.js("return " + auto_scan), "a click checks it again")
    page.settle(1.0)
    page.load()
    page.keys(Keys.CONTROL, "4")
    check(page.js("return " + auto_scan), "the setting survives a reload without closing")


def story_text(page, cli, work):
    """The text dialog from a cell's right-button menu, in a font the page
    carries, pressed with Enter; the saved picture is lumetra-cli text's."""
    page.load()
    cell = FIRST_CELL + 1 * 16 + 2  # row 1, column 2: the text starts at 16, 8
    page.click(page.control(cell), button="right")
    page.click(page.driver.find_element(By.CSS_SELECTOR, f'.lm-item[data-command="{CELL_TEXT}"]'))
    wait_for("the text dialog", lambda: page.js("return document.getElementById('window-text')"))
    page.click(page.control(TEXT_FONT))
    faces = page.driver.find_elements(By.CSS_SELECTOR, f"#list-{TEXT_FONT} .lc-combo-item")
    bold = [f for f in faces if "Bold" in f.text]
    check(len(faces) == 2 and len(bold) == 1, f"the page offers its two Terminus faces: {[f.text for f in faces]}")
    page.click(bold[0])
    page.click(page.control(TEXT_INPUT))
    page.control(TEXT_INPUT).send_keys("Лето 25°C")
    page.settle()
    page.keys(Keys.ENTER)
    check(not page.js("return document.getElementById('window-text')"), "Enter closes the dialog")
    page.save_as("text")
    expected = os.path.join(work, "expected.chr")
    cli_text(cli, "text", "/usr/share/fonts/X11/misc/ter-u16b_unicode.pcf.gz", "--size", "16", "--at", "16,8",
             "Лето 25°C", "-o", expected)
    with open(expected, "rb") as f:
        check(page.downloaded("text.chr") == f.read(), "the saved picture is lumetra-cli text's, byte for byte")


STORIES = {
    "text": story_text,
    "load": story_load,
    "open": story_open,
    "draw_save": story_draw_save,
    "convert_copy": story_convert_copy,
    "scan_skip": story_scan_skip,
    "animation": story_animation,
    "damaged": story_damaged,
    "settings": story_settings,
}


def main():
    story, root, cli = sys.argv[1], sys.argv[2], sys.argv[3]
    if not all(os.path.exists(os.path.join(root, f)) for f in ("index.html", "lumetra.js", "lumetra.wasm")):
        print(f"SKIP: no page in {root} (cmake --preset web && cmake --build --preset web)")
        return 77
    work = tempfile.mkdtemp(prefix="lumetra-page-")
    page = Page(root, work)
    try:
        STORIES[story](page, cli, work)
    except AssertionError as e:
        check(False, str(e))
    finally:
        page.close()
        shutil.rmtree(work, ignore_errors=True)
    print(f"{story}: {'FAIL' if failures else 'ok'}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
