// SPDX-License-Identifier: GPL-3.0-or-later
// The lab's WebAssembly module and one lab in it, as JavaScript objects. The
// module's exports take and give plain numbers and pointers; this file turns
// strings and arrays into and out of its memory. Used by the worker (and by
// anything else that wants a lab without a page, such as a script under node).

import { wasiImports } from './wasi.js';

export class TamrelModule {
  // `source`: a URL, a Response, or the module's bytes.
  static async load(source, onLine = () => {}) {
    let instance = null;
    const imports = wasiImports(() => instance.exports.memory, onLine);
    let result;
    if (source instanceof ArrayBuffer || ArrayBuffer.isView(source)) {
      result = await WebAssembly.instantiate(source, imports);
    } else {
      const response = source instanceof Response ? source : await fetch(source);
      if (!response.ok) throw new Error(`${response.url}: ${response.status} ${response.statusText}`);
      // A server that does not call the file application/wasm refuses the
      // streaming compile: the bytes compile all the same.
      const fallback = response.clone();
      try {
        result = await WebAssembly.instantiateStreaming(response, imports);
      } catch (e) {
        if (!(e instanceof TypeError)) throw e;
        result = await WebAssembly.instantiate(await fallback.arrayBuffer(), imports);
      }
    }
    instance = result.instance;
    instance.exports._initialize();
    return new TamrelModule(instance.exports);
  }

  constructor(exports) {
    this.x = exports;
    this.encoder = new TextEncoder();
    this.decoder = new TextDecoder();
  }

  text(ptr) {
    if (!ptr) return '';
    const bytes = new Uint8Array(this.x.memory.buffer);
    let end = ptr;
    while (bytes[end] !== 0) ++end;
    return this.decoder.decode(bytes.subarray(ptr, end));
  }

  // Calls fn(pointer) with `strings` NUL-terminated one after another in the
  // module's memory.
  withText(strings, fn) {
    const encoded = strings.map((s) => this.encoder.encode(String(s)));
    const size = encoded.reduce((n, e) => n + e.length + 1, 0);
    const ptr = this.x.web_alloc(size);
    const bytes = new Uint8Array(this.x.memory.buffer, ptr, size);
    let at = 0;
    for (const e of encoded) {
      bytes.set(e, at);
      bytes[at + e.length] = 0;
      at += e.length + 1;
    }
    try {
      return fn(ptr);
    } finally {
      this.x.web_free(ptr);
    }
  }

  list(count, name) {
    return Array.from({ length: this.x[count]() }, (_, i) => this.text(this.x[name](i)));
  }

  // The lists the page builds its controls from.
  catalogue() {
    return {
      schemes: this.list('web_scheme_count', 'web_scheme_name'),
      tests: this.x.web_test_count(),
      variables: this.list('web_variable_count', 'web_variable_name'),
      waveQuestions: Array.from({ length: 7 }, (_, i) => this.text(this.x.web_wave_question(i))),
    };
  }

  createLab() {
    return new Lab(this);
  }
}

const PHASES = ['Ready', 'Running', 'Halted', 'Finished'];

// One lab: each operation returns { ok, message } (message: why it was refused).
export class Lab {
  constructor(module) {
    this.m = module;
    this.x = module.x;
    this.h = this.x.web_create();
  }

  destroy() {
    this.x.web_destroy(this.h);
    this.h = 0;
  }

  said(acted) {
    return acted ? { ok: true, message: '' } : { ok: false, message: this.m.text(this.x.web_message(this.h)) };
  }

  setCells(text) {
    return this.said(this.m.withText([text], (p) => this.x.web_set_cells(this.h, p)));
  }
  setCourant(text) {
    return this.said(this.m.withText([text], (p) => this.x.web_set_courant(this.h, p)));
  }
  setScheme(name) {
    return this.said(this.m.withText([name], (p) => this.x.web_set_scheme(this.h, p)));
  }
  loadTest(number) {
    return this.said(this.x.web_load_test(this.h, number));
  }
  loadSoundWave(answers) {
    return this.said(this.m.withText(answers, (p) => this.x.web_load_sound_wave(this.h, p)));
  }
  waveDefaults() {
    return Array.from({ length: 7 }, (_, i) => this.m.text(this.x.web_wave_default(this.h, i)));
  }
  begin() {
    return this.said(this.x.web_begin(this.h));
  }
  pause() {
    return this.said(this.x.web_pause(this.h));
  }
  continue() {
    return this.said(this.x.web_continue(this.h));
  }
  restart() {
    return this.said(this.x.web_restart(this.h));
  }
  // 'running', 'stopped' or 'faulted' (message() then says why).
  tick(budgetMs) {
    return ['running', 'stopped', 'faulted'][this.x.web_tick(this.h, budgetMs)];
  }
  message() {
    return this.m.text(this.x.web_message(this.h));
  }

  status() {
    const x = this.x;
    const h = this.h;
    return {
      phase: PHASES[x.web_phase(h)],
      time: x.web_time(h),
      stopTime: x.web_stop_time(h),
      cycle: x.web_cycle(h),
      steps: x.web_steps(h),
      cells: x.web_cells(h),
      courant: x.web_courant(h),
      snapshots: x.web_snapshots(h),
      scheme: this.m.text(x.web_scheme(h)),
      soundView: x.web_sound_view(h) !== 0,
      text: this.m.text(x.web_status(h)),
    };
  }

  // Copies of the plotted values: x, values[3], exact[3] (NaN where none),
  // ranges[3] (the y-range of each plot as the window draws it), and the
  // exact solution's readout.
  plots() {
    const n = this.x.web_cells(this.h);
    const ptr = this.x.web_plots(this.h);
    const all = new Float64Array(this.x.memory.buffer, ptr, 7 * n + 6).slice();
    const block = (k) => all.subarray(k * n, (k + 1) * n);
    const range = (p) => [all[7 * n + 2 * p], all[7 * n + 2 * p + 1]];
    return {
      x: block(0),
      values: [block(1), block(2), block(3)],
      exact: [block(4), block(5), block(6)],
      ranges: [range(0), range(1), range(2)],
      readout: this.m.text(this.x.web_readout(this.h)),
    };
  }

  // The space-time picture as RGBA bytes (a copy), or null before a run.
  spaceTime(variable, width, height) {
    const ptr = this.m.withText([variable], (p) => this.x.web_spacetime(this.h, p, width, height));
    if (!ptr) return null;
    return {
      width,
      height,
      rgba: new Uint8ClampedArray(this.x.memory.buffer, ptr, width * height * 4).slice(),
      min: this.x.web_spacetime_min(this.h),
      max: this.x.web_spacetime_max(this.h),
    };
  }

  csv() {
    return this.m.text(this.x.web_csv(this.h));
  }
}
