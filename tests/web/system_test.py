#!/usr/bin/python3
"""The browser backend's dialogs, files and storage, driven in headless Chromium.

usage: system_test.py   (builds system_driver.cpp with em++ first; needs emscripten,
chromium, chromium-driver and python3-selenium)
"""
import os
import shutil
import sys
import tempfile

from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.support.ui import WebDriverWait

from browser import SOURCE, check, chromium, em_link, failures, serve

PAGE = """<!DOCTYPE html><html><head><meta charset="utf-8">
<meta http-equiv="Content-Security-Policy" content="default-src 'self'; script-src 'self' 'wasm-unsafe-eval'">
<script src="driver.js"></script></head><body></body></html>"""

def run(driver, line):
    """Starts one driver command; answers the index its result will have."""
    count = driver.execute_script("return lumetra.driver.answers.length")
    driver.execute_script("lumetra.run(arguments[0])", line)
    return count


def result(driver, count):
    WebDriverWait(driver, 5).until(lambda d: d.execute_script("return lumetra.driver.answers.length") > count)
    return driver.execute_script("return lumetra.driver.answers[arguments[0]]", count)


def command(driver, line):
    return result(driver, run(driver, line))


def dialog(driver, id):
    return WebDriverWait(driver, 5).until(lambda d: d.find_element(By.ID, id))


def click(driver, element):
    ActionChains(driver).move_to_element(element).click().perform()


def message_boxes(driver):
    # Buttons: their captions in order and what Escape answers (Answer numbers; a Yes/No box stays).
    cases = [(0, ["ОК"], "0"), (1, ["ОК", "Отмена"], "1"), (2, ["Да", "Нет"], None), (3, ["Да", "Нет", "Отмена"], "1")]
    for buttons, captions, escape in cases:
        count = run(driver, f"box {buttons} 2")
        box = dialog(driver, "dialog-message")
        shown = [b.text for b in box.find_elements(By.CSS_SELECTOR, ".ld-buttons button")]
        check(shown == captions, f"buttons {buttons}: {shown}")
        # The page behind takes no keys.
        ActionChains(driver).send_keys("x", Keys.ESCAPE).perform()
        check(driver.execute_script("return window.keys_behind") == 0, "a key reached the page behind")
        if escape is None:
            check(driver.find_elements(By.ID, "dialog-message") != [], "Escape closed a Yes/No box")
            ActionChains(driver).send_keys(Keys.ENTER).perform()
            escape = "2"  # Enter: the default button
        check(result(driver, count) == escape, f"Escape in box {buttons}")
    check(driver.find_elements(By.ID, "dialog-message") == [], "a box left open")
    # Each caption answers its own Answer; the text keeps its line break; the icon.
    for i, answer in enumerate(["2", "3", "1"]):
        count = run(driver, "box 3 4")
        box = dialog(driver, "dialog-message")
        check(driver.find_element(By.ID, "dialog-text").text == "Первая строка\nвторая строка", "line break kept")
        check(driver.find_element(By.ID, "dialog-icon").get_attribute("data-icon") == "information", "icon")
        click(driver, box.find_elements(By.CSS_SELECTOR, ".ld-buttons button")[i])
        check(result(driver, count) == answer, f"button {i} of a Yes/No/Cancel box")


def save_and_download(driver, folder):
    count = run(driver, "save 1 /somewhere/picture.chr")
    dialog(driver, "dialog-save")
    name = driver.find_element(By.ID, "save-name")
    check(name.get_attribute("value") == "picture.chr", "preset name")
    name.clear()
    name.send_keys("мой.chr")
    click(driver, driver.find_element(By.ID, "dialog-button-save"))
    check(result(driver, count) == "/uploads/мой.chr 1", "save answer")
    command(driver, "write /uploads/мой.chr ABC")
    check(driver.execute_script("return lumetra.system.downloads") == [{"name": "мой.chr", "size": 3}], "download offered")
    saved = os.path.join(folder, "downloads", "мой.chr")
    WebDriverWait(driver, 5).until(lambda d: os.path.exists(saved))
    with open(saved, "rb") as f:
        check(f.read() == b"ABC", "downloaded bytes")
    command(driver, "read /uploads/мой.chr")
    check(len(driver.execute_script("return lumetra.system.downloads")) == 1, "offered again without a change")

    # The listed files, a filter choice and Enter; Escape cancels.
    count = run(driver, "save 1 x")
    dialog(driver, "dialog-save")
    # A file from this computer joins the list and becomes the name.
    upload = os.path.join(folder, "запас.chr")
    with open(upload, "wb") as f:
        f.write(b"spare")
    click(driver, driver.find_element(By.ID, "dialog-button-upload"))
    chooser = driver.find_element(By.ID, "open-file")
    WebDriverWait(driver, 5).until(lambda d: chooser.get_attribute("data-waiting") == "1")
    chooser.send_keys(upload)
    WebDriverWait(driver, 5).until(lambda d: d.find_element(By.ID, "save-name").get_attribute("value") == "запас.chr")
    listed = [e.text for e in driver.find_elements(By.CSS_SELECTOR, "#save-files .ld-file")]
    check(listed == ["запас.chr", "мой.chr"], f"listed {listed}")
    driver.find_element(By.CSS_SELECTOR, "#save-filter option[value='3']").click()
    click(driver, driver.find_elements(By.CSS_SELECTOR, "#save-files .ld-file")[1])
    driver.find_element(By.ID, "save-name").send_keys(Keys.ENTER)
    check(result(driver, count) == "/uploads/мой.chr 3", "chosen file and filter")
    count = run(driver, "save 2 x")
    dialog(driver, "dialog-save")
    check(driver.find_elements(By.CSS_SELECTOR, "#save-files .ld-file") == [], "the filter hides other files")
    ActionChains(driver).send_keys(Keys.ESCAPE).perform()
    check(result(driver, count) == " 2", "cancelled save")


def open_and_drop(driver, folder):
    upload = os.path.join(folder, "кадр.png")
    with open(upload, "wb") as f:
        f.write(b"PNG-bytes")
    count = run(driver, "open 2 /uploads/x")
    chooser = driver.find_element(By.ID, "open-file")
    WebDriverWait(driver, 5).until(lambda d: chooser.get_attribute("data-waiting") == "1")
    check(chooser.get_attribute("accept") == ".bmp,.png", "accept from the filter")
    chooser.send_keys(upload)
    check(result(driver, count) == "/uploads/кадр.png 2", "opened file's path")
    check(command(driver, "read /uploads/кадр.png") == "PNG-bytes", "opened file's bytes")
    count = run(driver, "open 3 x")
    WebDriverWait(driver, 5).until(lambda d: chooser.get_attribute("data-waiting") == "1")
    check(chooser.get_attribute("accept") == "", "all files: no accept")
    driver.execute_script("arguments[0].dispatchEvent(new Event('cancel'))", chooser)
    check(result(driver, count) == " 3", "cancelled open")

    drop = """var t = new DataTransfer();
        t.items.add(new File(['one'], 'b.chr')); t.items.add(new File(['two'], 'a.chr'));
        document.body.dispatchEvent(new DragEvent('drop', {dataTransfer: t, bubbles: true, cancelable: true}));"""
    driver.execute_script(drop)
    command(driver, "read x")
    check(driver.execute_script("return lumetra.events") == [], "a drop while refused")
    command(driver, "accept 1")
    driver.execute_script(drop)
    WebDriverWait(driver, 5).until(lambda d: d.execute_script("return lumetra.events.length") == 1)
    event = driver.execute_script("return lumetra.events[0]")
    check(event == {"kind": 3, "number": 0, "type": 0, "window": 0, "files": ["/uploads/b.chr", "/uploads/a.chr"]},
          f"drop event {event}")
    check(command(driver, "read /uploads/a.chr") == "two", "dropped bytes")
    check(len(driver.execute_script("return lumetra.system.downloads")) == 1, "uploads are not offered back")


def storage(driver):
    # A copy taken out of the browser's storage stays out after the reload.
    count = run(driver, "save 3 x")
    dialog(driver, "dialog-save")
    remove = driver.find_element(By.ID, "dialog-button-remove")
    check(not remove.is_enabled(), "nothing to remove before a file is chosen")
    click(driver, driver.find_element(By.CSS_SELECTOR, "#save-files .ld-file[data-name='запас.chr']"))
    click(driver, remove)
    listed = [e.text for e in driver.find_elements(By.CSS_SELECTOR, "#save-files .ld-file")]
    check(listed == ["a.chr", "b.chr", "кадр.png", "мой.chr"] and not remove.is_enabled(),
          f"the removed file leaves the list: {listed}")
    ActionChains(driver).send_keys(Keys.ESCAPE).perform()
    check(result(driver, count) == " 3", "cancelled save")
    check(command(driver, "read /uploads/запас.chr") == "missing", "the removed copy is gone")
    command(driver, "write " + command(driver, "temp") + "/settings.inf kept")
    # The store runs after the event; the reload may come only when it is done.
    WebDriverWait(driver, 5).until(lambda d: not d.execute_script("return lumetra.system.syncing"))
    driver.refresh()
    WebDriverWait(driver, 10).until(lambda d: d.execute_script("return document.documentElement.dataset.ready == '1'"))
    check(command(driver, "read /persist/settings.inf") == "kept", "settings kept")
    check(command(driver, "read /uploads/кадр.png") == "PNG-bytes", "uploaded copy kept")
    check(command(driver, "read /uploads/запас.chr") == "missing", "a removed copy stays removed")
    print("storage load ms", driver.execute_script("return lumetra.system.storage_load_ms"))
    command(driver, "end")
    check("завершена" in driver.find_element(By.ID, "program-ended").text, "end shown")


def build_driver(folder):
    """The driver page, linked as the program is (the same library and flags the page needs)."""
    web = os.path.join(SOURCE, "platform", "web")
    em_link(["-lidbfs.js", "--js-library", os.path.join(web, "web_system.js"), os.path.join(web, "web_system.cpp"),
             os.path.join(SOURCE, "tests", "web", "system_driver.cpp")], os.path.join(folder, "driver.js"))


def main():
    folder = tempfile.mkdtemp()
    build_driver(folder)
    with open(os.path.join(folder, "index.html"), "w", encoding="utf-8") as f:
        f.write(PAGE)
    server = serve(folder)
    driver = chromium(1000, 700, log="browser")
    try:
        driver.execute_cdp_cmd("Browser.setDownloadBehavior",
                               {"behavior": "allow", "downloadPath": os.path.join(folder, "downloads")})
        driver.get(f"http://127.0.0.1:{server.server_address[1]}/index.html")
        WebDriverWait(driver, 10).until(lambda d: d.execute_script("return document.documentElement.dataset.ready == '1'"))
        driver.execute_script("window.keys_behind = 0; document.addEventListener('keydown', () => window.keys_behind++)")
        message_boxes(driver)
        save_and_download(driver, folder)
        open_and_drop(driver, folder)
        storage(driver)
        for entry in driver.get_log("browser"):
            check(entry["level"] != "SEVERE" or "favicon" in entry["message"], f"page error: {entry['message']}")
    finally:
        driver.quit()
        server.shutdown()
        shutil.rmtree(folder)
    print("failures:", len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
