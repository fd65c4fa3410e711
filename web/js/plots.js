// SPDX-License-Identifier: GPL-3.0-or-later
// Line plots and space-time pictures on canvas. The numbers come from the
// lab; these functions only draw them, sharp at the screen's pixel ratio.

export const LANE_COLOURS = ['#1f5fbf', '#c2410c', '#15803d'];
const EXACT_COLOUR = '#111';
const AXIS_COLOUR = '#8a949e';

// Fits the canvas's backing store to its displayed size; returns the 2-D
// context scaled so that drawing is in CSS pixels, and that size.
export function fitCanvas(canvas) {
  const ratio = window.devicePixelRatio || 1;
  const w = Math.max(1, Math.round(canvas.clientWidth));
  const h = Math.max(1, Math.round(canvas.clientHeight));
  if (canvas.width !== Math.round(w * ratio) || canvas.height !== Math.round(h * ratio)) {
    canvas.width = Math.round(w * ratio);
    canvas.height = Math.round(h * ratio);
  }
  const ctx = canvas.getContext('2d');
  ctx.setTransform(ratio, 0, 0, ratio, 0, 0);
  return { ctx, w, h };
}

// Round tick steps (1, 2 or 5 times a power of ten) for about `count` ticks.
export function ticks(lo, hi, count = 5) {
  const span = hi - lo;
  if (!(span > 0) || !Number.isFinite(span)) return [lo];
  const raw = span / count;
  const power = 10 ** Math.floor(Math.log10(raw));
  const step = [1, 2, 5, 10].map((m) => m * power).find((s) => s >= raw);
  const out = [];
  for (let v = Math.ceil(lo / step - 1e-9) * step; v <= hi + step * 1e-9; v += step) out.push(Math.abs(v) < step * 1e-9 ? 0 : v);
  return out;
}

// A tick's text with the digits its step needs, so that neighbours differ.
function label(v, step) {
  if (Math.abs(v) < step * 1e-6) return '0';
  const decimals = Math.max(0, Math.ceil(-Math.log10(step) - 1e-9));
  if (Math.abs(v) >= 1e5 || decimals > 4) {
    const digits = Math.min(12, Math.max(0, Math.ceil(Math.log10(Math.abs(v) / step) - 1e-9)));
    return v.toExponential(digits);
  }
  return v.toFixed(decimals);
}

// The y-range of everything drawn, a little wider; a flat curve gets a band
// around it rather than its rounding noise stretched over the height.
function yRange(arrays) {
  let lo = Infinity;
  let hi = -Infinity;
  for (const a of arrays)
    for (const v of a)
      if (Number.isFinite(v)) {
        if (v < lo) lo = v;
        if (v > hi) hi = v;
      }
  if (!Number.isFinite(lo)) return [0, 1];
  const scale = Math.max(Math.abs(lo), Math.abs(hi), 1e-300);
  if (hi - lo < 1e-6 * scale) {
    const mid = (hi + lo) / 2;
    const half = Math.max(0.05 * scale, 1e-12);
    return [mid - half, mid + half];
  }
  const pad = 0.05 * (hi - lo);
  return [lo - pad, hi + pad];
}

function labRange(ranges) {
  let lo = Infinity;
  let hi = -Infinity;
  for (const r of ranges) {
    if (!r || !Number.isFinite(r[0]) || !Number.isFinite(r[1]) || !(r[1] > r[0])) return null;
    lo = Math.min(lo, r[0]);
    hi = Math.max(hi, r[1]);
  }
  if (!Number.isFinite(lo)) return null;
  const pad = 0.03 * (hi - lo);
  return [lo - pad, hi + pad];
}

// plot: { title, lanes: [{ x, values, range, label }], exact: [values per x of lane 0] | null }.
// The y-range is the lab's (the union of the lanes' ranges), a little wider so
// that a curve along its edge stays visible; without one, the data's.
export function drawPlot(canvas, plot) {
  const { ctx, w, h } = fitCanvas(canvas);
  ctx.clearRect(0, 0, w, h);
  ctx.fillStyle = '#fff';
  ctx.fillRect(0, 0, w, h);
  const left = 58;
  const right = 14;
  const top = 18;
  const bottom = 18;
  const pw = w - left - right;
  const ph = h - top - bottom;
  if (pw < 20 || ph < 20 || plot.lanes.length === 0) return;

  const x = plot.lanes[0].x;
  const n = x.length;
  const dx = n > 1 ? x[1] - x[0] : 1;
  const x0 = x[0] - dx / 2;
  const x1 = x[n - 1] + dx / 2;
  const [y0, y1] = labRange(plot.lanes.map((l) => l.range))
    ?? yRange([...plot.lanes.map((l) => l.values), ...(plot.exact ? [plot.exact] : [])]);
  const px = (v) => left + ((v - x0) / (x1 - x0)) * pw;
  const py = (v) => top + (1 - (v - y0) / (y1 - y0)) * ph;

  ctx.font = '11px "DejaVu Sans", sans-serif';
  ctx.strokeStyle = AXIS_COLOUR;
  ctx.fillStyle = '#444';
  ctx.lineWidth = 1;
  ctx.strokeRect(left + 0.5, top + 0.5, pw - 1, ph - 1);
  ctx.textAlign = 'right';
  ctx.textBaseline = 'middle';
  const yTicks = ticks(y0, y1, Math.max(2, Math.floor(ph / 35)));
  const yStep = yTicks.length > 1 ? yTicks[1] - yTicks[0] : Math.abs(y1 - y0) || 1;
  // A narrow band far from zero: the ticks count from a base the title names.
  const mid = (y0 + y1) / 2;
  const base = Math.abs(mid) > 1000 * (y1 - y0) ? Number(mid.toPrecision(Math.min(15, Math.ceil(Math.log10(Math.abs(mid) / yStep)) + 1))) : 0;
  for (const t of yTicks) {
    const y = Math.round(py(t)) + 0.5;
    ctx.beginPath();
    ctx.moveTo(left, y);
    ctx.lineTo(left + 4, y);
    ctx.stroke();
    ctx.fillText((base && t - base > 0 ? '+' : '') + label(t - base, yStep), left - 4, y);
  }
  ctx.textAlign = 'center';
  ctx.textBaseline = 'top';
  const xTicks = ticks(x0, x1, Math.max(2, Math.floor(pw / 70)));
  const xStep = xTicks.length > 1 ? xTicks[1] - xTicks[0] : Math.abs(x1 - x0) || 1;
  for (const t of xTicks) {
    const xx = Math.round(px(t)) + 0.5;
    ctx.beginPath();
    ctx.moveTo(xx, top + ph);
    ctx.lineTo(xx, top + ph - 4);
    ctx.stroke();
    ctx.fillText(label(t, xStep), xx, top + ph + 3);
  }
  ctx.textAlign = 'left';
  ctx.font = 'bold 12px "DejaVu Sans", sans-serif';
  ctx.fillText(base ? `${plot.title}   (ticks from ${base})` : plot.title, left, 3);

  ctx.save();
  ctx.beginPath();
  ctx.rect(left, top, pw, ph);
  ctx.clip();
  const line = (xs, vs, colour, width) => {
    ctx.strokeStyle = colour;
    ctx.lineWidth = width;
    ctx.beginPath();
    let pen = false;
    for (let i = 0; i < vs.length; ++i) {
      if (!Number.isFinite(vs[i])) {
        pen = false;
        continue;
      }
      if (pen) ctx.lineTo(px(xs[i]), py(vs[i]));
      else ctx.moveTo(px(xs[i]), py(vs[i]));
      pen = true;
    }
    ctx.stroke();
  };
  plot.lanes.forEach((lane, k) => {
    line(lane.x, lane.values, LANE_COLOURS[k], 1.6);
    if (lane.x.length <= 200) {
      ctx.fillStyle = LANE_COLOURS[k];
      for (let i = 0; i < lane.x.length; ++i)
        if (Number.isFinite(lane.values[i])) ctx.fillRect(px(lane.x[i]) - 1.5, py(lane.values[i]) - 1.5, 3, 3);
    }
  });
  // The exact solution over the numbers, as the window's overlay lies over its plots.
  if (plot.exact) line(x, plot.exact, EXACT_COLOUR, 1);
  ctx.restore();

  // Legend, top right: each scheme's colour, and the exact solution's.
  const items = plot.lanes.map((l, k) => [l.label, LANE_COLOURS[k]]);
  if (plot.exact) items.push(['exact', EXACT_COLOUR]);
  ctx.font = '11px "DejaVu Sans", sans-serif';
  ctx.textBaseline = 'middle';
  let at = left + pw - 6;
  for (const [text, colour] of items.reverse()) {
    const tw = ctx.measureText(text).width;
    at -= tw;
    ctx.fillStyle = '#333';
    ctx.fillText(text, at, 9);
    at -= 16;
    ctx.fillStyle = colour;
    ctx.fillRect(at, 8, 12, 2);
    at -= 10;
  }
}

// Puts a space-time picture (RGBA, already the canvas's pixel size) on the canvas.
export function drawPicture(canvas, picture) {
  const ctx = canvas.getContext('2d');
  if (!picture) {
    ctx.fillStyle = '#000';
    ctx.fillRect(0, 0, canvas.width, canvas.height);
    return;
  }
  if (canvas.width !== picture.width || canvas.height !== picture.height) {
    canvas.width = picture.width;
    canvas.height = picture.height;
  }
  ctx.putImageData(new ImageData(picture.rgba, picture.width, picture.height), 0, 0);
}
