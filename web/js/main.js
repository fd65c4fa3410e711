// SPDX-License-Identifier: GPL-3.0-or-later
// The page: builds the controls from the lab's own lists, sends what the
// student does to the worker that runs the lab, and draws the frames it sends
// back. Every refusal is the lab's, shown next to the box it concerns.

import { drawPicture, drawPlot, LANE_COLOURS } from './plots.js';

const $ = (id) => document.getElementById(id);
const worker = new Worker(new URL('./worker.js', import.meta.url), { type: 'module' });

// --- Talking to the worker ---------------------------------------------------
let nextId = 1;
const waiting = new Map();
function call(op, args = {}) {
  const id = nextId++;
  worker.postMessage({ id, op, ...args });
  return new Promise((resolve, reject) => waiting.set(id, { resolve, reject }));
}

let latest = null; // the newest frame
let fault = '';
let drawPending = false;
worker.onmessage = ({ data }) => {
  if (data.id) {
    const w = waiting.get(data.id);
    waiting.delete(data.id);
    if ('error' in data) w.reject(new Error(data.error));
    else w.resolve(data.reply);
  } else if (data.frame) {
    latest = data.frame;
    if (!drawPending) {
      drawPending = true;
      requestAnimationFrame(() => {
        drawPending = false;
        show();
      });
    }
  } else if (data.fault) {
    fault = data.fault;
    show();
  }
};
worker.onerror = (e) => {
  fault = `The lab could not start: ${e.message || 'the worker failed'}.`;
  show();
};

// --- Controls ------------------------------------------------------------------
let catalogue = null;
// The set-up in force (what the lab took); a refused entry goes back to it.
let applied = null;

function option(select, value, text = value) {
  const o = document.createElement('option');
  o.value = value;
  o.textContent = text;
  select.append(o);
}

function buildControls(c) {
  for (let k = 1; k <= c.tests; ++k) option($('problem'), `test${k}`, `Test ${k}`);
  option($('problem'), 'wave', 'Sound wave');
  for (const s of c.schemes) option($('scheme'), s);
  for (const id of ['scheme1', 'scheme2']) {
    option($(id), '', '—');
    for (const s of c.schemes) option($(id), s);
  }
  for (const v of c.variables) option($('variable'), v);
  c.waveQuestions.forEach((q, k) => {
    const l = document.createElement('label');
    l.title = q;
    l.textContent = q.replace(/\s*\(.*$/, '').replace(/^Type the /, '');
    const input = document.createElement('input');
    input.id = `wave${k}`;
    input.value = c.waveDefaults[k];
    l.append(input);
    $('wave').append(l);
  });
}

function readControls() {
  const problem = $('problem').value;
  const lanes = [$('scheme').value, $('scheme1').value, $('scheme2').value].filter((s) => s);
  return {
    lanes,
    cells: $('cells').value.trim(),
    courant: $('courant').value.trim(),
    problem: problem === 'wave'
      ? { wave: Array.from({ length: 7 }, (_, k) => $(`wave${k}`).value.trim()) }
      : { test: Number(problem.slice(4)) },
  };
}

function writeControls(s) {
  $('scheme').value = s.lanes[0];
  $('scheme1').value = s.lanes[1] ?? '';
  $('scheme2').value = s.lanes[2] ?? '';
  $('cells').value = s.cells;
  $('courant').value = s.courant;
  $('problem').value = s.problem.wave ? 'wave' : `test${s.problem.test}`;
  if (s.problem.wave) s.problem.wave.forEach((v, k) => ($(`wave${k}`).value = v));
  $('wave').hidden = !s.problem.wave;
}

const WHY_OF_FIELD = { cells: 'cells-why', courant: 'courant-why', scheme: 'scheme-why', scheme1: 'scheme-why',
  scheme2: 'scheme-why', wave: 'wave-why', test: 'problem-why' };
const INPUT_OF_FIELD = { cells: 'cells', courant: 'courant' };

function clearRefusals() {
  for (const id of new Set(Object.values(WHY_OF_FIELD))) $(id).textContent = '';
  for (const id of Object.values(INPUT_OF_FIELD)) $(id).removeAttribute('aria-invalid');
  $('run-why').textContent = '';
}

// Sends the controls as they stand; what the lab refuses is said next to its
// box, and the set-up in force comes back.
async function applyControls() {
  const wanted = readControls();
  fault = '';
  clearRefusals();
  const { refused } = await call('setup', wanted);
  const fields = Object.keys(refused);
  if (fields.length === 0) {
    applied = wanted;
    $('wave').hidden = !wanted.problem.wave;
    return true;
  }
  for (const f of fields) {
    $(WHY_OF_FIELD[f] ?? 'problem-why').textContent = refused[f];
    if (INPUT_OF_FIELD[f]) $(INPUT_OF_FIELD[f]).setAttribute('aria-invalid', 'true');
  }
  if (applied) {
    // The wave's boxes keep what was typed so it can be mended; the others
    // show the value in force again.
    const keep = wanted.problem.wave && refused.wave ? wanted.problem.wave : null;
    writeControls(applied);
    if (keep) {
      $('problem').value = 'wave';
      $('wave').hidden = false;
      keep.forEach((v, k) => ($(`wave${k}`).value = v));
    }
    await call('setup', applied);
  }
  return false;
}

async function press(op) {
  fault = '';
  clearRefusals();
  const r = await call(op);
  if (r.refused) $('run-why').textContent = r.refused;
  show();
}

// --- Showing a frame -------------------------------------------------------------
const TITLES = [['Density', 'Pressure', 'Velocity'], ['R+  Riemann Invariant', 'P / (Rho^Gamma)', 'R-  Riemann Invariant']];
let pictureCanvases = [];

function showButtons(phases, running) {
  const ready = phases.every((p) => p === 'Ready');
  $('begin').disabled = !ready;
  $('pause').disabled = !running;
  $('continue').disabled = running || !phases.some((p) => p === 'Halted');
  $('restart').disabled = ready;
  for (const id of ['problem', 'scheme', 'scheme1', 'scheme2', 'cells', 'courant'])
    $(id).disabled = !ready;
  for (const input of $('wave').querySelectorAll('input')) input.disabled = !ready;
  const why = ready ? '' : 'Set-ups change only before a run: Restart first.';
  for (const id of ['problem', 'scheme', 'cells', 'courant']) $(id).title = why;
}

function ensurePictureCanvases(lanes) {
  if (pictureCanvases.length === lanes.length) return;
  const box = $('spacetime');
  box.replaceChildren();
  pictureCanvases = lanes.map(() => {
    const fig = document.createElement('figure');
    const cap = document.createElement('figcaption');
    const canvas = document.createElement('canvas');
    fig.append(cap, canvas);
    box.append(fig);
    return { canvas, cap };
  });
  requestView();
}

function show() {
  const status = $('status');
  if (!latest) return;
  const lanes = latest.lanes;
  status.className = fault ? 'fault' : '';
  status.textContent = fault
    || lanes.map((l) => l.status.text).join('   |   ');
  showButtons(lanes.map((l) => l.status.phase), latest.running);
  const titles = TITLES[lanes[0].status.soundView ? 1 : 0];
  for (let p = 0; p < 3; ++p) {
    drawPlot($(`plot${p}`), {
      title: titles[p],
      lanes: lanes.map((l) => ({ x: l.plots.x, values: l.plots.values[p], range: l.plots.ranges[p], label: l.status.scheme })),
      exact: lanes[0].plots.exact[p].some(Number.isFinite) ? lanes[0].plots.exact[p] : null,
    });
  }
  $('readouts').replaceChildren(...lanes.map((l, k) => {
    const p = document.createElement('p');
    p.style.color = lanes.length > 1 ? LANE_COLOURS[k] : '';
    p.textContent = (lanes.length > 1 ? `${l.status.scheme}: ` : '') + l.plots.readout;
    return p;
  }));
  ensurePictureCanvases(lanes);
  lanes.forEach((l, k) => {
    const { canvas, cap } = pictureCanvases[k];
    if (l.picture) drawPicture(canvas, l.picture);
    else if (l.status.snapshots <= 1) drawPicture(canvas, null);
    const range = l.picture ? `, ${fmt(l.picture.min)} (dark) to ${fmt(l.picture.max)} (light)` : '';
    cap.textContent = `${l.status.scheme}: ${$('variable').value}${range}; t from 0 (bottom) to ${fmt(l.status.time)}`;
  });
}

function fmt(v) {
  return String(+v.toPrecision(4));
}

// The space-time pictures are drawn at the canvas's size in device pixels.
function requestView() {
  const c = pictureCanvases[0]?.canvas;
  if (!c) return;
  const ratio = window.devicePixelRatio || 1;
  const width = Math.min(1200, Math.max(16, Math.round(c.clientWidth * ratio)));
  const height = Math.min(1200, Math.max(16, Math.round(c.clientHeight * ratio)));
  call('view', { variable: $('variable').value, width, height });
}

// --- Export ------------------------------------------------------------------------
function download(name, blob) {
  const a = document.createElement('a');
  a.href = URL.createObjectURL(blob);
  a.download = name;
  document.body.append(a);
  a.click();
  a.remove();
  setTimeout(() => URL.revokeObjectURL(a.href), 1000);
}

// Several canvases, stacked (or side by side), as one PNG.
function composePng(canvases, across, name, notes = []) {
  const w = across ? canvases.reduce((s, c) => s + c.width, 0) : Math.max(...canvases.map((c) => c.width));
  const lineHeight = 18 * (window.devicePixelRatio || 1);
  const h = (across ? Math.max(...canvases.map((c) => c.height)) : canvases.reduce((s, c) => s + c.height, 0))
    + notes.length * lineHeight + (notes.length ? 6 : 0);
  const out = document.createElement('canvas');
  out.width = w;
  out.height = h;
  const ctx = out.getContext('2d');
  ctx.fillStyle = '#fff';
  ctx.fillRect(0, 0, w, h);
  let at = 0;
  for (const c of canvases) {
    if (across) ctx.drawImage(c, at, 0);
    else ctx.drawImage(c, 0, at);
    at += across ? c.width : c.height;
  }
  ctx.fillStyle = '#333';
  ctx.font = `${12 * (window.devicePixelRatio || 1)}px "DejaVu Sans", sans-serif`;
  const top = across ? Math.max(...canvases.map((c) => c.height)) : at;
  notes.forEach((t, k) => ctx.fillText(t, 6, top + (k + 1) * lineHeight));
  out.toBlob((blob) => download(name, blob), 'image/png');
}

// One lane: the batch's CSV as it stands. Several: a leading scheme column.
export function joinCsv(parts) {
  if (parts.length === 1) return parts[0].text;
  const lines = [];
  parts.forEach((part, k) => {
    for (const line of part.text.split('\n')) {
      if (!line) continue;
      if (line.startsWith('#')) lines.push(line);
      else if (line.startsWith('cell,')) {
        if (k === 0) lines.push(`scheme,${line}`);
      } else lines.push(`${part.scheme},${line}`);
    }
  });
  return lines.join('\n') + '\n';
}

async function stateCsv() {
  const { csv } = await call('csv');
  return joinCsv(csv);
}

// --- Start ---------------------------------------------------------------------------
async function start() {
  catalogue = await call('init');
  buildControls(catalogue);
  writeControls({ lanes: [catalogue.schemes[0]], cells: '400', courant: '0.85', problem: { test: 1 } });
  await applyControls();
  const onSetupChange = () => applyControls();
  for (const id of ['problem', 'scheme', 'scheme1', 'scheme2', 'cells', 'courant'])
    $(id).addEventListener('change', onSetupChange);
  $('wave').addEventListener('change', onSetupChange);
  $('problem').addEventListener('change', () => ($('wave').hidden = $('problem').value !== 'wave'));
  $('begin').onclick = () => press('begin');
  $('pause').onclick = () => press('pause');
  $('continue').onclick = () => press('continue');
  $('restart').onclick = () => press('restart');
  $('variable').onchange = requestView;
  new ResizeObserver(() => {
    requestView();
    show();
  }).observe($('plots'));
  $('export-plots').onclick = () =>
    composePng([0, 1, 2].map((p) => $(`plot${p}`)), false, 'tamrel-plots.png',
      [...$('readouts').querySelectorAll('p')].map((p) => p.textContent));
  $('export-spacetime').onclick = () =>
    composePng(pictureCanvases.map((c) => c.canvas), true, 'tamrel-spacetime.png',
      pictureCanvases.map((c) => c.cap.textContent));
  $('export-csv').onclick = async () => download('tamrel-state.csv', new Blob([await stateCsv()], { type: 'text/csv' }));
  // For scripted use (the browser tests): the worker's calls, the newest
  // frame and the state as CSV.
  window.tamrel = { call, frame: () => latest, fault: () => fault, csv: stateCsv, applyControls };
  document.body.dataset.ready = 'true';
}

start().catch((e) => {
  fault = `The lab could not start: ${e.message}`;
  $('status').textContent = fault;
  $('status').className = 'fault';
});
