# SPDX-License-Identifier: GPL-3.0-or-later
"""The built page (build-web/) served on 127.0.0.1 and driven in headless
Chromium through its own controls and its scripting hook (window.tamrel)."""
import functools
import http.server
import threading
import time

from selenium import webdriver
from selenium.webdriver.chrome.options import Options
from selenium.webdriver.common.by import By

RUN_TIMEOUT = 600


class _Handler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map,
                      '.wasm': 'application/wasm', '.js': 'text/javascript'}

    def log_message(self, *args):
        pass


class Page:
    """One browser on one served folder; `open()` loads the page afresh."""

    def __init__(self, folder, width=1366, height=768, wasm_type='application/wasm'):
        handler = type('Handler', (_Handler,), {
            'extensions_map': {**_Handler.extensions_map, '.wasm': wasm_type}})
        self.server = http.server.ThreadingHTTPServer(
            ('127.0.0.1', 0), functools.partial(handler, directory=folder))
        threading.Thread(target=self.server.serve_forever, daemon=True).start()
        self.url = f'http://127.0.0.1:{self.server.server_address[1]}/'
        options = Options()
        for arg in ('--headless=new', '--no-sandbox', '--disable-gpu', '--disable-dev-shm-usage',
                    f'--window-size={width},{height}', '--force-device-scale-factor=1'):
            options.add_argument(arg)
        self.driver = webdriver.Chrome(options=options)
        self.driver.set_script_timeout(RUN_TIMEOUT)

    def close(self):
        self.driver.quit()
        self.server.shutdown()
        self.server.server_close()

    def open(self):
        """Loads the page; returns the seconds until its controls answer."""
        start = time.monotonic()
        self.driver.get(self.url)
        self.wait_for("return document.body.dataset.ready === 'true'", 30)
        return time.monotonic() - start

    def js(self, script, *args):
        return self.driver.execute_script(script, *args)

    def element(self, id_):
        return self.driver.find_element(By.ID, id_)

    def wait_for(self, condition, timeout=RUN_TIMEOUT):
        end = time.monotonic() + timeout
        while time.monotonic() < end:
            if self.js(condition):
                return
            time.sleep(0.02)
        status = self.js("return document.getElementById('status').textContent")
        raise TimeoutError(f'timed out waiting for: {condition}; status: {status}')

    def set_up(self, **fields):
        """Types into the page's boxes (by id) and applies them as the page
        does when a box changes; True when the lab took them all."""
        script = '''
            const [fields, done] = [arguments[0], arguments[arguments.length - 1]];
            for (const [id, value] of Object.entries(fields)) {
              document.getElementById(id).value = value;
              if (id === 'problem') document.getElementById('wave').hidden = value !== 'wave';
            }
            window.tamrel.applyControls().then(done, (e) => done('error: ' + e.message));'''
        return self.driver.execute_async_script(script, fields)

    def run_to_end(self):
        """Presses Begin and waits until no lane runs; the lanes' statuses."""
        self.element('begin').click()
        self.wait_for("const f = window.tamrel.frame(); return (f && !f.running && "
                      "f.lanes.every(l => l.status.phase !== 'Ready' && l.status.phase !== 'Running'))"
                      " || window.tamrel.fault() !== ''")
        return self.statuses()

    def statuses(self):
        return self.js('return window.tamrel.frame().lanes.map(l => l.status)')

    def fault(self):
        return self.js('return window.tamrel.fault()')

    def csv(self):
        return self.driver.execute_async_script('const done = arguments[0]; window.tamrel.csv().then(done)')

    def restart(self):
        self.element('restart').click()
        self.wait_for("return window.tamrel.frame().lanes.every(l => l.status.phase === 'Ready')", 30)
