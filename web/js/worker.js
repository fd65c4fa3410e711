// SPDX-License-Identifier: GPL-3.0-or-later
// The lab runs here, off the page's thread, so the page never freezes. One
// lab a lane: a single run has one lane, a comparison two or three, each
// with its own scheme on the same problem, grid and Courant number.
//
// Messages in:  { id, op, ...args }; each gets { id, reply } or { id, error }.
//   init                          -> catalogue and wave defaults
//   setup { lanes: [scheme..], cells, courant, problem: { test } | { wave: [7 texts] } }
//                                 -> { refused: { field: message } } (nothing refused: {})
//   begin | pause | continue | restart
//   view { variable, width, height }   the space-time picture's size and variable
//   csv                           -> the final state of each lane
// Messages out without an id: { frame } after every slice of steps and every
// command, { fault } when a run halts on a kernel fault or the module traps.

import { TamrelModule } from './tamrel.js';

// A slice of steps, then a frame for the page. Drawing a frame (the plots'
// values, the exact solution, the space-time raster of the whole history)
// costs time the steps do not get: a slice lasts at least four times what
// the last frame cost, so frames take at most a fifth of a run, and the
// space-time picture, the dearest part, is drawn afresh at most twice a
// second while running and always when a run stops.
const SLICE_MS = 30;
const PICTURE_EVERY_MS = 500;
let frameCost = 0;
let lastPicture = -Infinity;

let module = null;
let lanes = [];
let settings = null;
let view = { variable: 'Density', width: 0, height: 0 };
let running = false;
let log = [];

async function loadModule() {
  module = await TamrelModule.load(new URL('../tamrel.wasm', import.meta.url), (fd, line) => {
    log.push(line);
    if (log.length > 20) log.shift();
  });
}

function makeLanes(schemes) {
  for (const lane of lanes) lane.destroy();
  lanes = schemes.map(() => module.createLab());
}

// Applies a set-up to every lane; the first refusal of each field is kept.
function setup(s) {
  settings = s;
  makeLanes(s.lanes);
  const refused = {};
  const note = (field, r) => {
    if (!r.ok && !(field in refused)) refused[field] = r.message;
  };
  lanes.forEach((lab, k) => {
    note('cells', lab.setCells(s.cells));
    note(k === 0 ? 'scheme' : `scheme${k}`, lab.setScheme(s.lanes[k]));
    note('courant', lab.setCourant(s.courant));
    if (s.problem.wave) note('wave', lab.loadSoundWave(s.problem.wave));
    else note('test', lab.loadTest(s.problem.test));
  });
  return refused;
}

function laneFrame(lab, withPicture) {
  const frame = { status: lab.status(), plots: lab.plots() };
  if (withPicture && view.width > 0 && view.height > 0)
    frame.picture = lab.spaceTime(view.variable, view.width, view.height);
  return frame;
}

function postFrame(withPicture = true) {
  const start = performance.now();
  const frames = lanes.map((lab) => laneFrame(lab, withPicture));
  if (withPicture) lastPicture = start;
  // The dearest recent frame counts, fading, so the picture frames set the pace.
  frameCost = Math.max(0.8 * frameCost, performance.now() - start);
  const transfer = [];
  for (const f of frames) {
    transfer.push(f.plots.x.buffer);
    if (f.picture) transfer.push(f.picture.rgba.buffer);
  }
  postMessage({ frame: { lanes: frames, running } }, transfer);
}

// A trap inside the module (an index out of range, memory exhausted) leaves
// it unusable: the page hears why, and a fresh module takes the same set-up.
async function recover(error) {
  running = false;
  const detail = log.length ? ` (${log[log.length - 1]})` : '';
  postMessage({ fault: `The lab stopped: ${error.message}${detail}.  It has been set up afresh.` });
  log = [];
  await loadModule();
  if (settings) setup(settings);
  postFrame();
}

function slice() {
  if (!running) return;
  try {
    const budget = Math.max(SLICE_MS, 4 * frameCost) / lanes.length;
    let going = false;
    for (const lab of lanes) {
      const outcome = lab.tick(budget);
      if (outcome === 'faulted') {
        for (const other of lanes) if (other !== lab && other.status().phase === 'Running') other.pause();
        running = false;
        postMessage({ fault: lab.message() });
        break;
      }
      going = going || outcome === 'running';
    }
    running = running && going;
    postFrame(!running || performance.now() - lastPicture >= PICTURE_EVERY_MS);
  } catch (e) {
    recover(e);
    return;
  }
  if (running) setTimeout(slice, 0);
}

const ops = {
  async init() {
    await loadModule();
    const probe = module.createLab();
    const defaults = probe.waveDefaults();
    probe.destroy();
    return { ...module.catalogue(), waveDefaults: defaults };
  },
  setup(args) {
    running = false;
    const refused = setup(args);
    postFrame();
    return { refused };
  },
  begin() {
    const r = lanes.map((lab) => lab.begin());
    const failed = r.find((x) => !x.ok);
    if (failed) {
      // All the schemes run, or none: the ones that began go back to the start.
      lanes.forEach((lab, k) => r[k].ok && lab.restart());
      postFrame();
      return { refused: failed.message };
    }
    running = true;
    setTimeout(slice, 0);
    return {};
  },
  pause() {
    running = false;
    for (const lab of lanes) if (lab.status().phase === 'Running') lab.pause();
    postFrame();
    return {};
  },
  continue() {
    const r = lanes.filter((lab) => lab.status().phase === 'Halted').map((lab) => lab.continue());
    const failed = r.find((x) => !x.ok);
    if (failed || r.length === 0) return { refused: failed ? failed.message : lanes[0].continue().message };
    running = true;
    setTimeout(slice, 0);
    return {};
  },
  restart() {
    running = false;
    for (const lab of lanes) lab.restart();
    postFrame();
    return {};
  },
  view(args) {
    view = { ...view, ...args };
    if (!running) postFrame();
    return {};
  },
  csv() {
    return { csv: lanes.map((lab) => ({ scheme: lab.status().scheme, text: lab.csv() })) };
  },
};

onmessage = async (event) => {
  const { id, op, ...args } = event.data;
  try {
    postMessage({ id, reply: await ops[op](args) });
  } catch (e) {
    postMessage({ id, error: String(e && e.message ? e.message : e) });
    if (module && e instanceof WebAssembly.RuntimeError) await recover(e);
  }
};
