"""What the browser tests share: their failure list, a quiet server of a
folder on this machine, headless Chromium from Debian driven by its
chromedriver, and em++ linking a driver page the way the page is linked."""
import functools
import http.server
import os
import subprocess
import threading

from selenium import webdriver
from selenium.webdriver.chrome.service import Service

SOURCE = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAIL:", what)


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


def serve(folder):
    """Serves the folder on a free port of 127.0.0.1 from a thread of its own."""
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(QuietHandler, directory=folder))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


def chromium(width, height, *arguments, log=None):
    """Headless Chromium; log names a log kept for get_log ("browser", "performance")."""
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for argument in ("--headless=new", "--no-sandbox", "--disable-gpu", f"--window-size={width},{height}") + arguments:
        options.add_argument(argument)
    if log:
        options.set_capability("goog:loggingPrefs", {log: "ALL"})
    return webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)


def em_link(arguments, out):
    """em++ with the flags the page is built with (C++20, exceptions, Asyncify)."""
    subprocess.run(["em++", "-std=c++20", "-O2", "-I" + SOURCE, "-fexceptions", "-sASYNCIFY", "-sALLOW_MEMORY_GROWTH=1",
                    "-sDYNAMIC_EXECUTION=0"] + arguments + ["-o", out],
                   check=True, env=dict(os.environ, NODE_PATH="/usr/share/nodejs"))
