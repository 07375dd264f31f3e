#!/usr/bin/python3
"""The program report in a real browser: headless Chromium opens the page
fwxtool report wrote, every picture must decode, the flow diagram's labels
must not cover boxes or each other, nothing may be logged to the console, and
a screenshot of the whole page is kept for a person to look at.

    report_in_browser.py FWXTOOL PROGRAM WORK_FOLDER
"""
import os
import pathlib
import subprocess
import sys

from selenium import webdriver
from selenium.webdriver.chrome.options import Options
from selenium.webdriver.chrome.service import Service


def main():
    fwxtool, program, work = sys.argv[1], sys.argv[2], pathlib.Path(sys.argv[3])
    work.mkdir(parents=True, exist_ok=True)
    page = work / "report.html"
    subprocess.run([fwxtool, "report", program, "-o", str(page)], check=True)

    options = Options()
    options.binary_location = "/usr/bin/chromium"
    for flag in ("--headless=new", "--disable-gpu", "--window-size=1000,800", "--hide-scrollbars"):
        options.add_argument(flag)
    if os.geteuid() == 0:
        options.add_argument("--no-sandbox")   # Chromium refuses to run as root otherwise
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
    faults = []
    try:
        driver.get(page.as_uri())
        images = driver.execute_script(
            "return Array.from(document.images).map(i => [i.alt, i.complete, i.naturalWidth, i.naturalHeight]);")
        if not images:
            faults.append("the page has no pictures")
        for alt, complete, width, height in images:
            if not complete or width == 0 or height == 0:
                faults.append(f"picture '{alt}' does not decode")
        if not driver.execute_script("return document.querySelector('svg.flow g.box') !== null;"):
            faults.append("the flow diagram has no boxes")
        # Every arrow's label readable: on no box and on no other label, as
        # the browser lays the text out.
        faults += driver.execute_script("""
            const svg = document.querySelector('svg.flow');
            const boxes = [...svg.querySelectorAll('g.box rect')].map(r => r.getBBox());
            const labels = [...svg.querySelectorAll('text.label')].map(t => [t.textContent, t.getBBox()]);
            const meet = (a, b) => a.x < b.x + b.width && b.x < a.x + a.width &&
                                   a.y < b.y + b.height && b.y < a.y + a.height;
            const out = [];
            labels.forEach(([name, a], i) => {
                if (boxes.some(b => meet(a, b))) out.push(`label '${name}' lies on a box`);
                labels.slice(i + 1).forEach(([other, b]) => {
                    if (meet(a, b)) out.push(`labels '${name}' and '${other}' overlap`);
                });
            });
            return out;""")
        for entry in driver.get_log("browser"):
            faults.append(f"console: {entry['level']} {entry['message']}")
        height = driver.execute_script("return document.documentElement.scrollHeight;")
        driver.set_window_size(1000, min(height + 20, 16000))
        driver.save_screenshot(str(work / "report.png"))
    finally:
        driver.quit()
    for fault in faults:
        print(fault, file=sys.stderr)
    print(f"{len(images)} pictures decoded; screenshot {work / 'report.png'}")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
