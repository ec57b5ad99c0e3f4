#!/usr/bin/python3
"""A picture of the editor's page (build/web) in headless Chromium with the
sample picture opened and "Преобразовать" pressed, as docs/screenshot.png
shows the desktop program:
    scripts/screenshot-web.py [OUT.png]   (default docs/screenshot-web.png)
"""
import os
import shutil
import sys
import tempfile

root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(root, "tests", "web"))
import page_test  # noqa: E402  the stories' page driver

out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "docs", "screenshot-web.png")
work = tempfile.mkdtemp(prefix="lumetra-screenshot-")
page = page_test.Page(os.path.join(root, "build", "web"), work)
try:
    page.load()
    page.open_file(os.path.join(root, "samples", "lumetra.chr"))
    page.click(page.control(page_test.CONVERT))
    # The window and nothing of the empty page around it.
    window = page.driver.find_element(page_test.By.ID, "window-main")
    window.screenshot(out)
    print("screenshot-web: " + out)
finally:
    page.close()
    shutil.rmtree(work, ignore_errors=True)
sys.exit(1 if page_test.failures else 0)
