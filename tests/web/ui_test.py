#!/usr/bin/python3
"""The browser backend's controls, pointer, keys, menus and timer, driven in
headless Chromium with real pointer and key events.

usage: ui_test.py   (builds ui_driver.cpp with em++ first; needs emscripten,
chromium, chromium-driver and python3-selenium)
"""
import glob
import os
import shutil
import subprocess
import sys
import tempfile
import time

from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.actions.action_builder import ActionBuilder
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.support.ui import WebDriverWait

from browser import SOURCE, check, chromium, em_link, failures, serve

PAGE = """<!DOCTYPE html><html><head><meta charset="utf-8">
<meta http-equiv="Content-Security-Policy" content="default-src 'self'; script-src 'self' 'wasm-unsafe-eval'">
</head><body><script src="driver.js"></script></body></html>"""

# Numbers of platform.h as the driver writes them.
COMMAND, CONTROL, RIGHT_BUTTON, POINTER_MOVED, TIMER = 1, 2, 4, 6, 7
CLICK, RIGHT_CLICK, DOUBLE_CLICK, RIGHT_DOUBLE_CLICK, SELECTION_CHANGED = 1, 2, 3, 4, 6
START_TIMER, START_AND_STOP_TIMER, SPIN_VALUE, RADIOS, COPY_RICH, POPUP, COMBO_TEXT, DISABLE_IMAGE = range(900, 908)

def heard(driver, settle=0.3):
    """What the program noted since the last look, pointer movements left out."""
    time.sleep(settle)
    notes = driver.execute_script("const n = lumetra.notes || []; lumetra.notes = []; return n")
    return [n for n in notes if not n.startswith(f"{POINTER_MOVED} ")]


def moves(driver):
    notes = driver.execute_script("const n = lumetra.notes || []; lumetra.notes = []; return n")
    return [n for n in notes if n.startswith(f"{POINTER_MOVED} ")]


def command(driver, number):
    driver.execute_script("lumetra.push_event({kind: 1, number: arguments[0]})", number)


def pointer(driver):
    return ActionChains(driver)


def images(driver):
    image = driver.find_element(By.ID, "c10")
    heard(driver)
    pointer(driver).move_to_element(image).click().perform()
    check(heard(driver) == [f"{CONTROL} 10 {CLICK} over L"], "a click is heard on the press, the button held")
    pointer(driver).move_to_element(image).double_click().perform()
    check(heard(driver) == [f"{CONTROL} 10 {CLICK} over L", f"{CONTROL} 10 {DOUBLE_CLICK} over L"],
          "a double-click is a click and then a double-click on the second press")
    time.sleep(0.6)
    pointer(driver).move_to_element(image).context_click().perform()
    check(heard(driver) == [f"{RIGHT_BUTTON} 0 0 over R", f"{CONTROL} 10 {RIGHT_CLICK} over"],
          "the right button: its press, then the click on release")
    time.sleep(0.6)
    pointer(driver).move_to_element(image).context_click().context_click().perform()
    check(heard(driver) == [f"{RIGHT_BUTTON} 0 0 over R", f"{CONTROL} 10 {RIGHT_CLICK} over",
                            f"{RIGHT_BUTTON} 0 0 over R", f"{CONTROL} 10 {RIGHT_DOUBLE_CLICK} over R"],
          "a right double-click is followed by no right click")
    time.sleep(0.6)
    pointer(driver).move_to_element(driver.find_element(By.ID, "c12")).click().perform()
    check(heard(driver) == [f"{CONTROL} 12 {CLICK} L"], "a picture cell on a panel is heard")

    # Drawing: movements with the button held carry it, the release does not.
    moves(driver)
    pointer(driver).move_to_element_with_offset(image, -8, -8).click_and_hold() \
        .move_by_offset(4, 0).move_by_offset(4, 0).release().perform()
    seen = moves(driver)
    check(f"{POINTER_MOVED} 0 0 over L" in seen and seen[-1] == f"{POINTER_MOVED} 0 0 over",
          f"held button while drawing: {seen}")

    command(driver, DISABLE_IMAGE)
    time.sleep(0.6)
    pointer(driver).move_to_element(image).click().context_click().perform()
    check(heard(driver) == [f"{RIGHT_BUTTON} 0 0 over R"], "a disabled picture reports no clicks")


def stored_image(driver):
    """The close icon on its canvas, pixel for pixel as its art file draws it."""
    sys.path.insert(0, os.path.join(SOURCE, "resources"))
    import make_images
    art = make_images.pixels_of_map(make_images.read_art(os.path.join(SOURCE, "resources", "art", "close.txt")))
    wanted = [[0, 0, 0, 0] if p is None else list(p) + [255] for row in art for p in row]
    shown = driver.execute_script("""const c = document.getElementById('c13');
        return Array.from(c.getContext('2d').getImageData(0, 0, 16, 16).data)""")
    check([shown[i:i + 4] for i in range(0, len(shown), 4)] == wanted, "the stored icon is drawn as its art")


def controls(driver):
    heard(driver)
    pointer(driver).click(driver.find_element(By.CSS_SELECTOR, "#c21 input")).perform()
    command(driver, RADIOS)
    check(heard(driver) == [f"{CONTROL} 21 {CLICK}", "radios 01"], "a radio button unchecks the others of its group")

    combo = driver.find_element(By.ID, "c30")
    pointer(driver).click(combo).perform()
    items = driver.find_elements(By.CSS_SELECTOR, "#list-30 .lc-combo-item")
    check([i.text for i in items] == ["Нет", "Буфер 1", "Буфер 2"], "the drop-down list shows the items")
    pointer(driver).click(items[2]).perform()
    command(driver, COMBO_TEXT)
    check(heard(driver) == [f"{CONTROL} 30 {SELECTION_CHANGED}", "combo 2 Буфер 2"], "a chosen item is told and read")
    pointer(driver).click(combo).perform()
    pointer(driver).click(driver.find_elements(By.CSS_SELECTOR, "#list-30 .lc-combo-item")[2]).perform()
    check(heard(driver) == [], "choosing the chosen item again tells nothing")
    pointer(driver).click(combo).click(combo).perform()  # open and closed again: the list has the keys
    chosen = []
    # (keys, a pause after them so that the next keys are a new beginning)
    for keys, pause in (("б", False), ("б", True), ("н", True), ("бу", False), (Keys.END, False), (Keys.HOME, False)):
        pointer(driver).send_keys(keys).perform()
        command(driver, COMBO_TEXT)
        chosen.append(heard(driver)[-1])
        if pause:
            time.sleep(1.1)
    check(chosen == ["combo 1 Буфер 1", "combo 2 Буфер 2", "combo 0 Нет", "combo 1 Буфер 1", "combo 2 Буфер 2", "combo 0 Нет"],
          f"typing, End and Home choose in the list: {chosen}")

    tabs = driver.find_elements(By.CSS_SELECTOR, "#c40 .lc-tab")
    pointer(driver).click(tabs[1]).perform()
    pointer(driver).click(tabs[1]).perform()
    got = heard(driver)
    check(got == [f"{CONTROL} 40 {SELECTION_CHANGED} L"], f"a tab is told once, when it becomes the current one: {got}")

    field = driver.find_element(By.CSS_SELECTOR, "#c50 input")
    pointer(driver).click(field).send_keys(Keys.END + "9x").perform()
    command(driver, SPIN_VALUE)
    check(heard(driver) == ["spin 12 129"], "a spin keeps its last good value for a number out of range")
    pointer(driver).click(driver.find_element(By.CSS_SELECTOR, "#c50 .lc-spin-up")).perform()
    command(driver, SPIN_VALUE)
    check(heard(driver) == ["spin 13 13"], "the up arrow steps from the last good value")

    rich = driver.find_element(By.ID, "c60")
    span = rich.find_element(By.TAG_NAME, "span")
    check(span.text == "тор" and span.value_of_css_property("font-weight") == "700"
          and span.value_of_css_property("color") == "rgba(255, 0, 0, 1)", "a run colours and bolds its characters")
    command(driver, COPY_RICH)
    heard(driver)
    check(driver.execute_script("return lumetra.clipboard") == "первая\r\nвторая\r\n",
          "the selection is copied with CR LF line ends")


def keys_and_menus(driver):
    driver.execute_script("""window.prevented = [];
        document.addEventListener('keydown', e => {
            if (e.key.length === 1) window.prevented.push(e.defaultPrevented);
        });""")
    body = driver.find_element(By.TAG_NAME, "body")
    heard(driver)
    for modifier, key in ((Keys.CONTROL, "s"), (Keys.ALT, "s"), (Keys.CONTROL, "1"), (Keys.ALT, "n")):
        pointer(driver).key_down(modifier).send_keys_to_element(body, key).key_up(modifier).perform()
    pointer(driver).send_keys_to_element(body, "s").perform()
    check(heard(driver) == [f"{COMMAND} 2 0", f"{COMMAND} 89 0", f"{COMMAND} 16 0", f"{COMMAND} 1 0"],
          "shortcuts are heard as their commands; Alt+N stands in for Ctrl+N")
    got = driver.execute_script("return window.prevented")
    check(got == [True, True, True, True, False], f"{got}: the browser does not act on the program's shortcuts, and other keys reach it")

    title = driver.find_element(By.CSS_SELECTOR, ".lw-menutitle")
    pointer(driver).click(title).perform()
    shown = driver.find_element(By.CSS_SELECTOR, ".lm [data-command='1'] .lm-shortcut").text
    check(shown == "Alt+N", f"the menu shows the key that works in the browser: {shown}")
    pointer(driver).click(driver.find_element(By.CSS_SELECTOR, ".lm [data-command='2']")).perform()
    check(heard(driver) == [f"{COMMAND} 2 0"] and not driver.find_elements(By.CSS_SELECTOR, ".lm"),
          "a menu item is heard as its command and the menu closes")

    def press(*keys):  # to the focused page, without the click of send_keys_to_element
        for key in keys:
            pointer(driver).send_keys(key).perform()
        marked = driver.find_elements(By.CSS_SELECTOR, ".lm-item.active")
        return [m.text.split("\n")[0] for m in marked]
    away = ActionBuilder(driver)  # a pointer over a menu would mark its item
    away.pointer_action.move_to_location(600, 400)
    away.perform()
    check(press(Keys.F10) == ["Новый"], "F10 opens the first menu on its first item")
    check(press(Keys.ARROW_UP) == ["Сохранить"] and press(Keys.ARROW_DOWN) == ["Новый"],
          "Up and Down go round the menu's items, past the separator")
    check(press(Keys.ARROW_RIGHT, Keys.ARROW_DOWN) == ["Масштаб"], "Right goes to the next menu of the bar")
    check(press(Keys.ARROW_RIGHT) == ["Масштаб", "200%"] and press(Keys.ARROW_LEFT) == ["Масштаб"],
          "Right opens a submenu on its first item, Left closes it")
    press(Keys.ENTER, Keys.ENTER)
    check(heard(driver) == [f"{COMMAND} 4 0"] and not driver.find_elements(By.CSS_SELECTOR, ".lm"),
          "Enter opens the submenu, then chooses its item; the menus close")
    press(Keys.F10, Keys.ESCAPE)
    check(heard(driver) == [] and not driver.find_elements(By.CSS_SELECTOR, ".lm"),
          "Escape closes the menu, and the program hears none of the menu's keys")

    move = ActionBuilder(driver)
    move.pointer_action.move_to_location(150, 120)
    move.perform()
    command(driver, POPUP)
    popup = WebDriverWait(driver, 5).until(lambda d: d.find_element(By.ID, "popup-1"))
    at = driver.execute_script("const r = arguments[0].getBoundingClientRect(); return [r.left, r.top]", popup)
    check(abs(at[0] - 150) <= 1 and abs(at[1] - 120) <= 1, f"the right-button menu opens at the pointer: {at}")
    heard(driver)
    pointer(driver).move_to_element(driver.find_element(By.ID, "c10")).click().perform()
    check(heard(driver) == [] and not driver.find_elements(By.ID, "popup-1"), "a press beside a menu only closes it")


def timer(driver):
    heard(driver)
    command(driver, START_TIMER)
    got = [n.replace(" over", "") for n in heard(driver, 0.4)]
    check(got == [f"{TIMER} 0 0"], f"the timer comes once: {got}")
    command(driver, START_AND_STOP_TIMER)
    check(heard(driver, 0.4) == [], "a stopped timer does not come, even when it was due")


def build_driver(folder):
    """The driver page, linked with the backend's library and its page script."""
    web = os.path.join(SOURCE, "platform", "web")
    images = os.path.join(folder, "web_images.cpp")
    subprocess.run([sys.executable, os.path.join(web, "make_web_images.py"), images,
                    os.path.join(SOURCE, "app", "ids.h")] + sorted(glob.glob(os.path.join(SOURCE, "resources", "art", "*.txt"))),
                   check=True)
    em_link(["-sEXPORTED_FUNCTIONS=_main,_malloc,_free", "--pre-js", os.path.join(web, "web_ui.js"),
             os.path.join(web, "web_ui.cpp"), images, os.path.join(SOURCE, "core", "styled_text.cpp"),
             os.path.join(SOURCE, "tests", "web", "ui_driver.cpp")], os.path.join(folder, "driver.js"))


def main():
    folder = tempfile.mkdtemp()
    try:
        build_driver(folder)
        with open(os.path.join(folder, "index.html"), "w", encoding="utf-8") as f:
            f.write(PAGE)
        server = serve(folder)
        driver = chromium(800, 600)
        try:
            driver.get(f"http://127.0.0.1:{server.server_address[1]}/index.html")
            WebDriverWait(driver, 10).until(
                lambda d: d.execute_script("return document.documentElement.dataset.ready") == "1")
            for story in (images, stored_image, controls, keys_and_menus, timer):
                story(driver)
        finally:
            driver.quit()
            server.shutdown()
    finally:
        shutil.rmtree(folder, ignore_errors=True)
    if failures:
        print(f"{len(failures)} failed")
        return 1
    print("all passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
