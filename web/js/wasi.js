// SPDX-License-Identifier: GPL-3.0-or-later
// The few WASI calls the lab's module makes, for a page or a worker: writes
// to standard output and error go to a callback a line at a time, clocks come
// from the browser, and everything a page has no use for (files, arguments,
// the environment) is empty.

const ERRNO_SUCCESS = 0;
const ERRNO_BADF = 8;
const ERRNO_INVAL = 28;
const ERRNO_SPIPE = 70;

export class WasiExit extends Error {
  constructor(code) {
    super(`the module exited with status ${code}`);
    this.code = code;
  }
}

// `memory()` gives the instance's memory once it exists; `onLine(fd, text)`
// receives each complete line written to 1 or 2.
export function wasiImports(memory, onLine) {
  const pending = { 1: '', 2: '' };
  const decoder = new TextDecoder();
  const view = () => new DataView(memory().buffer);

  function fd_write(fd, iovs, iovsLen, writtenPtr) {
    if (fd !== 1 && fd !== 2) return ERRNO_BADF;
    const dv = view();
    const bytes = new Uint8Array(memory().buffer);
    let written = 0;
    for (let k = 0; k < iovsLen; ++k) {
      const ptr = dv.getUint32(iovs + 8 * k, true);
      const len = dv.getUint32(iovs + 8 * k + 4, true);
      pending[fd] += decoder.decode(bytes.subarray(ptr, ptr + len));
      written += len;
    }
    let nl;
    while ((nl = pending[fd].indexOf('\n')) >= 0) {
      onLine(fd, pending[fd].slice(0, nl));
      pending[fd] = pending[fd].slice(nl + 1);
    }
    dv.setUint32(writtenPtr, written, true);
    return ERRNO_SUCCESS;
  }

  // Clock 0 is the wall clock; the others (monotonic, process, thread) all
  // run on the page's monotonic clock, in nanoseconds.
  function clock_time_get(id, _precision, timePtr) {
    const ns = id === 0 ? BigInt(Date.now()) * 1000000n : BigInt(Math.round(performance.now() * 1e6));
    view().setBigUint64(timePtr, ns, true);
    return ERRNO_SUCCESS;
  }

  function clock_res_get(_id, resPtr) {
    view().setBigUint64(resPtr, 1000n, true);
    return ERRNO_SUCCESS;
  }

  function random_get(ptr, len) {
    crypto.getRandomValues(new Uint8Array(memory().buffer, ptr, len));
    return ERRNO_SUCCESS;
  }

  function zeroSizes(countPtr, sizePtr) {
    view().setUint32(countPtr, 0, true);
    view().setUint32(sizePtr, 0, true);
    return ERRNO_SUCCESS;
  }

  const calls = {
    fd_write,
    clock_time_get,
    clock_res_get,
    random_get,
    fd_close: () => ERRNO_BADF,
    fd_seek: () => ERRNO_SPIPE,
    fd_read: () => ERRNO_BADF,
    fd_fdstat_get: (fd) => (fd <= 2 ? ERRNO_SUCCESS : ERRNO_BADF),
    fd_prestat_get: () => ERRNO_BADF,
    fd_prestat_dir_name: () => ERRNO_INVAL,
    path_open: () => ERRNO_BADF,
    environ_sizes_get: zeroSizes,
    environ_get: () => ERRNO_SUCCESS,
    args_sizes_get: zeroSizes,
    args_get: () => ERRNO_SUCCESS,
    sched_yield: () => ERRNO_SUCCESS,
    proc_exit: (code) => {
      throw new WasiExit(code);
    },
  };
  // A call not listed here answers "not supported" rather than failing the
  // instantiation.
  const ERRNO_NOSYS = 52;
  return {
    wasi_snapshot_preview1: new Proxy(calls, {
      get: (target, name) => target[name] ?? (() => ERRNO_NOSYS),
    }),
  };
}
