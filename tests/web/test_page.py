#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# The page in a real browser: headless Chromium loads build-web/ (script/web
# --build) from a local server, runs the lab through the page's own controls
# and reads the results back through the page's scripting hook. The native
# batch (build/tamrel) runs the same problems; every value must agree within
# 1e-12 relative, and the test says how many differ in their last bits.
#
#   python3 tests/web/test_page.py [-v]
# Environment: TAMREL_WEB (default build-web), TAMREL_BIN (default build/tamrel),
# TAMREL_SCREENSHOT (a PNG path for a picture of the page after a run).
import csv
import io
import os
import struct
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from pagedriver import Page  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
WEB = os.environ.get('TAMREL_WEB', os.path.join(ROOT, 'build-web'))
TAMREL = os.environ.get('TAMREL_BIN', os.path.join(ROOT, 'build', 'tamrel'))
SCHEMES = ['Orvane', 'Orvane32', 'Lentor32', 'Mixtal32', 'Sorvi']


def parse_state(text):
    """Rows of a final-state CSV as {scheme or '': [[cell, x, rho, p, vx, vy, smoke], ...]}."""
    rows = {}
    lines = [l for l in text.splitlines() if l and not l.startswith('#')]
    reader = csv.reader(io.StringIO('\n'.join(lines)))
    header = next(reader)
    lead = header[0] == 'scheme'
    for r in reader:
        key = r[0] if lead else ''
        rows.setdefault(key, []).append([float(v) for v in (r[1:] if lead else r)])
    return rows


def ulps(a, b):
    ia = struct.unpack('<q', struct.pack('<d', a))[0]
    ib = struct.unpack('<q', struct.pack('<d', b))[0]
    return abs(ia - ib)


def compare_states(page, native, rel=1e-12):
    """(values compared, values whose bits differ, largest relative difference, worst cell)."""
    assert len(page) == len(native), f'{len(page)} cells in the page, {len(native)} in the batch'
    differ = 0
    worst = (0.0, None)
    for pr, nr in zip(page, native):
        for k, (a, b) in enumerate(zip(pr, nr)):
            if a == b:
                continue
            differ += 1
            d = abs(a - b) / max(abs(a), abs(b))
            if d > worst[0]:
                worst = (d, (int(nr[0]), ['cell', 'x', 'rho', 'p', 'vx', 'vy', 'smoke'][k], a, b, ulps(a, b)))
    return len(page) * len(page[0]), differ, worst


class PageTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        if not os.path.exists(os.path.join(WEB, 'tamrel.wasm')):
            raise unittest.SkipTest(f'{WEB} holds no built page (script/web --build)')
        cls.page = Page(WEB)
        cls.tmp = tempfile.TemporaryDirectory()

    @classmethod
    def tearDownClass(cls):
        cls.page.close()
        cls.tmp.cleanup()

    def setUp(self):
        self.load_seconds = self.page.open()
        self.js = self.page.js
        self.set_up_page = self.page.set_up

    def run_to_end(self):
        statuses = self.page.run_to_end()
        self.assertEqual(self.page.fault(), '')
        return statuses

    def box(self, id_):
        return self.page.element(id_)

    def batch(self, *args):
        if not os.path.exists(TAMREL):
            self.skipTest(f'no native build at {TAMREL}')
        out = os.path.join(self.tmp.name, 'batch.csv')
        subprocess.run([TAMREL, '--batch', *args, '--out', out], check=True, capture_output=True)
        with open(out) as f:
            return f.read()

    def assert_same_state(self, page_text, native_text, what):
        page = parse_state(page_text)
        native = parse_state(native_text)
        self.assertEqual(sorted(page), sorted(native), what)
        for key in native:
            n, differ, (worst, where) = compare_states(page[key], native[key])
            print(f'\n  {what} {key}: {n} values, {differ} differ in their bits'
                  + (f', largest relative difference {worst:.3g} at cell {where[0]} {where[1]}'
                     f' (page {where[2]!r}, batch {where[3]!r}, {where[4]} ulp)' if where else ''),
                  end='')
            self.assertLessEqual(worst, 1e-12, f'{what} {key}: cell {where}')

    # --- the tests -----------------------------------------------------------
    def test_test1_at_400_cells_matches_the_batch_for_every_scheme(self):
        print(f'\n  the page answered {self.load_seconds:.2f} s after it was asked for', end='')
        self.assertLess(self.load_seconds, 5, 'the page took too long to become interactive')
        for scheme in SCHEMES:
            with self.subTest(scheme=scheme):
                self.assertTrue(self.set_up_page(problem='test1', scheme=scheme, scheme1='', scheme2='',
                                                 cells='400', courant='0.85'))
                status = self.run_to_end()
                self.assertEqual(status[0]['phase'], 'Finished')
                self.assertEqual(status[0]['time'], status[0]['stopTime'])
                self.assert_same_state(self.page.csv(), self.batch('--test', '1', '--cells', '400',
                                                                   '--scheme', scheme), f'Test 1 {scheme}')
                self.page.restart()

    def test_pause_continue_and_restart_leave_the_result_as_an_unbroken_run(self):
        self.assertTrue(self.set_up_page(problem='test2', scheme='Orvane', scheme1='', scheme2='', cells='2000',
                                         courant='0.85'))
        self.box('begin').click()
        self.page.wait_for("return !document.getElementById('pause').disabled", 60)
        self.box('pause').click()
        self.page.wait_for("return window.tamrel.frame().lanes[0].status.phase === 'Halted'", 30)
        halted = self.page.statuses()[0]
        self.assertLess(halted['time'], halted['stopTime'])
        self.assertFalse(self.box('continue').get_property('disabled'))
        self.assertTrue(self.box('begin').get_property('disabled'))
        self.box('continue').click()
        self.page.wait_for("const f = window.tamrel.frame(); return !f.running && "
                           "f.lanes[0].status.phase === 'Finished'")
        native = self.batch('--test', '2', '--cells', '2000')
        self.assert_same_state(self.page.csv(), native, 'Test 2 paused and continued')
        self.page.restart()
        self.assertEqual(self.page.statuses()[0]['time'], 0)
        self.assertEqual(self.run_to_end()[0]['phase'], 'Finished')
        self.assert_same_state(self.page.csv(), native, 'Test 2 after Restart')

    def test_comparison_runs_each_scheme_as_a_run_of_its_own(self):
        self.assertTrue(self.set_up_page(problem='test3', scheme='Orvane', scheme1='Sorvi', scheme2='Lentor32',
                                         cells='200', courant='0.8'))
        status = self.run_to_end()
        self.assertEqual([s['scheme'] for s in status], ['Orvane', 'Sorvi', 'Lentor32'])
        self.assertTrue(all(s['phase'] == 'Finished' for s in status))
        self.assert_same_state(self.page.csv(), self.batch('--test', '3', '--cells', '200', '--courant', '0.8',
                                                           '--schemes', 'Orvane,Sorvi,Lentor32'), 'Test 3')
        pictures = self.js('return window.tamrel.frame().lanes.map(l => !!l.picture)')
        self.assertEqual(pictures, [True, True, True])
        self.assertEqual(self.js("return document.querySelectorAll('#spacetime canvas').length"), 3)
        readouts = self.js("return [...document.querySelectorAll('#readouts p')].map(p => p.textContent)")
        self.assertEqual(len(readouts), 3)
        self.assertTrue(all('L1 at t=0.15' in r for r in readouts), readouts)

    def test_exports_are_a_png_of_the_plots_and_of_the_pictures_and_the_batchs_csv(self):
        self.assertTrue(self.set_up_page(problem='test1', scheme='Orvane', scheme1='Sorvi', scheme2='', cells='100',
                                         courant='0.85'))
        self.run_to_end()
        # The downloads the buttons start, caught before the browser saves them.
        self.js('''
            window.caught = [];
            HTMLAnchorElement.prototype.click = function () {
              fetch(this.href).then(r => r.arrayBuffer()).then(b => window.caught.push({
                name: this.download, bytes: Array.from(new Uint8Array(b))}));
            };''')
        for button in ('export-plots', 'export-spacetime', 'export-csv'):
            self.box(button).click()
        self.page.wait_for('return window.caught.length === 3', 30)
        files = {f['name']: bytes(f['bytes']) for f in self.js('return window.caught')}
        self.assertEqual(sorted(files), ['tamrel-plots.png', 'tamrel-spacetime.png', 'tamrel-state.csv'])
        for name in ('tamrel-plots.png', 'tamrel-spacetime.png'):
            png = files[name]
            self.assertEqual(png[:8], b'\x89PNG\r\n\x1a\n', name)
            width, height = struct.unpack('>II', png[16:24])
            self.assertGreater(width, 100, name)
            self.assertGreater(height, 100, name)
        # The space-time PNG puts the two schemes' pictures side by side.
        pictures = self.js("return [...document.querySelectorAll('#spacetime canvas')].map(c => c.width)")
        self.assertEqual(struct.unpack('>I', files['tamrel-spacetime.png'][16:20])[0], sum(pictures))
        self.assert_same_state(files['tamrel-state.csv'].decode(), self.batch(
            '--test', '1', '--cells', '100', '--schemes', 'Orvane,Sorvi'), 'exported CSV')

    def test_sound_wave_matches_the_batch(self):
        wave = ['1e-4', '1', '0', '1', '0', '1', '0']
        fields = {f'wave{k}': v for k, v in enumerate(wave)}
        self.assertTrue(self.set_up_page(problem='wave', scheme='Orvane', scheme1='', scheme2='', cells='64',
                                         courant='0.85', **fields))
        status = self.run_to_end()
        self.assertTrue(status[0]['soundView'])
        self.assertEqual(status[0]['phase'], 'Finished')
        self.assert_same_state(self.page.csv(), self.batch('--sound-wave', '--wave', ','.join(wave),
                                                           '--cells', '64'), 'sound wave')
        self.assertIn('R+', self.js('return document.body.innerText') + self.plot_titles())
        shot = os.environ.get('TAMREL_SCREENSHOT')
        if shot:
            self.set_up_page(problem='test1', scheme='Orvane', scheme1='Lentor32', cells='400', courant='0.85')
            self.run_to_end()
            self.page.driver.save_screenshot(shot)

    def test_a_fault_halts_the_run_with_its_message_and_the_page_goes_on(self):
        # A mean flow of 1e15 leaves a time step that could never reach the stop time.
        wave = {f'wave{k}': v for k, v in enumerate(['1e-4', '1', '0', '1', '0', '1', '1e15'])}
        self.assertTrue(self.set_up_page(problem='wave', scheme='Orvane', scheme1='', scheme2='', cells='50',
                                         courant='0.85', **wave))
        self.page.run_to_end()
        self.assertIn('The run cannot finish', self.page.fault())
        self.assertIn('The run cannot finish', self.box('status').text)
        self.assertFalse(self.js('return window.tamrel.frame().running'))
        self.assertTrue(self.set_up_page(problem='test1', cells='50'))
        self.assertEqual(self.run_to_end()[0]['phase'], 'Finished')

    def plot_titles(self):
        # The plots' titles are drawn on canvas; the frame says which view is on.
        return 'R+' if self.js('return window.tamrel.frame().lanes[0].status.soundView') else ''

    def test_refused_boxes_say_why_and_keep_the_value_in_force(self):
        cases = [
            ('cells', '3', 'cells-why'),
            ('cells', '99999', 'cells-why'),
            ('cells', 'many', 'cells-why'),
            ('courant', '1', 'courant-why'),
            ('courant', '0', 'courant-why'),
        ]
        self.assertTrue(self.set_up_page(problem='test1', scheme='Orvane', scheme1='', scheme2='',
                                         cells='120', courant='0.5'))
        for box, text, why in cases:
            with self.subTest(box=box, text=text):
                self.assertFalse(self.set_up_page(**{box: text}))
                self.assertNotEqual(self.box(why).text, '')
                self.assertEqual(self.box(box).get_attribute('aria-invalid'), 'true')
                self.assertEqual(self.box(box).get_property('value'),
                                 {'cells': '120', 'courant': '0.5'}[box])
                status = self.js('return window.tamrel.frame().lanes[0].status')
                self.assertEqual((status['cells'], status['courant']), (120, 0.5))
        # A wave that makes no gas is refused with the lab's reason, and the
        # problem in force stays.
        self.assertFalse(self.set_up_page(problem='wave', wave0='20', wave2='0'))
        self.assertNotEqual(self.box('wave-why').text, '')
        self.assertFalse(self.js('return window.tamrel.frame().lanes[0].status.soundView'))
        # After a refusal the page still runs.
        self.assertTrue(self.set_up_page(problem='test1', cells='50'))
        self.assertEqual(self.run_to_end()[0]['phase'], 'Finished')


class PlainServerTest(unittest.TestCase):
    """A server that knows nothing of WebAssembly still serves a working page."""

    def test_the_page_runs_when_the_module_comes_as_plain_bytes(self):
        if not os.path.exists(os.path.join(WEB, 'tamrel.wasm')):
            self.skipTest(f'{WEB} holds no built page (script/web --build)')
        page = Page(WEB, wasm_type='application/octet-stream')
        try:
            page.open()
            self.assertTrue(page.set_up(problem='test4', cells='60'))
            self.assertEqual(page.run_to_end()[0]['phase'], 'Finished')
            self.assertEqual(page.fault(), '')
        finally:
            page.close()


if __name__ == '__main__':
    unittest.main()
