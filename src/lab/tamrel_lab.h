/* SPDX-License-Identifier: GPL-3.0-or-later */
#ifndef TAMREL_LAB_H
#define TAMREL_LAB_H
/* A lab session in plain C: an opaque handle, numbers, pointers and
 * lengths. A call that is refused returns -1 (or a negative count) and
 * leaves its reason, one line, for tamrel_lab_last_error; a call that is
 * taken clears it. Nothing here aborts or lets an exception out. Arrays
 * hold cells 1..N in order; a read copies at most `capacity` values and
 * returns how many the whole array holds, so a first call with capacity 0
 * asks for the length. */

#ifdef __cplusplus
extern "C" {
#endif

typedef struct tamrel_lab tamrel_lab;

/* threads: 1, or 2 to share each step (the numbers are the same). NULL only
 * when memory runs out. */
tamrel_lab* tamrel_lab_create(int threads);
void tamrel_lab_destroy(tamrel_lab* lab);
/* The reason of the last refusal, "" after a call that was taken. */
const char* tamrel_lab_last_error(const tamrel_lab* lab);

/* Problems (before a run begins). */
int tamrel_lab_load_test(tamrel_lab* lab, int test);
/* wave: R+ amplitude, R+ wave number, R- amplitude, R- wave number, R0
 * amplitude, R0 wave number, mean velocity u0 (wave numbers whole). */
int tamrel_lab_load_sound_wave(tamrel_lab* lab, const double wave[7]);
int tamrel_lab_load_setup_text(tamrel_lab* lab, const char* text);
int tamrel_lab_load_setup_file(tamrel_lab* lab, const char* path);
/* Density, velocity and pressure of n cells each (vy and smoke may be NULL
 * with length 0); boundaries 1 reflecting, 2 continuation, 4 periodic. */
int tamrel_lab_load_state(tamrel_lab* lab, const double* rho, long n_rho, const double* vx, long n_vx,
    const double* p, long n_p, const double* vy, long n_vy, const double* smoke, long n_smoke, int left_boundary,
    int right_boundary, double gamma);

/* The scheme by name, and the run's parameters by name: "cells",
 * "periods", "plots_per_unit", "courant", "meter" (0 or 1), the shock
 * constants "difcon", "shkjmp", "wavhaf", "smoke_streams" (the streams a
 * problem loaded afterwards lays out) and "log_plots" (0 or 1). */
int tamrel_lab_set_scheme(tamrel_lab* lab, const char* name);
int tamrel_lab_set(tamrel_lab* lab, const char* parameter, double value);

/* The run. tick and step return the steps taken (-1 when a step failed). */
int tamrel_lab_begin(tamrel_lab* lab);
long tamrel_lab_tick(tamrel_lab* lab);
long tamrel_lab_step(tamrel_lab* lab);
int tamrel_lab_pause(tamrel_lab* lab);
int tamrel_lab_continue(tamrel_lab* lab);
int tamrel_lab_restart(tamrel_lab* lab);
int tamrel_lab_run_to_end(tamrel_lab* lab);

/* Readings. */
double tamrel_lab_time(const tamrel_lab* lab);
long tamrel_lab_cycle(const tamrel_lab* lab);
long tamrel_lab_cells(const tamrel_lab* lab);
int tamrel_lab_running(const tamrel_lab* lab);
long tamrel_lab_stored_rows(const tamrel_lab* lab);
/* field: "x" (cell centres), "rho", "p", "vx", "vy", "smoke". */
long tamrel_lab_read(tamrel_lab* lab, const char* field, double* out, long capacity);
long tamrel_lab_read_snapshot(tamrel_lab* lab, long row, const char* field, double* out, long capacity);
long tamrel_lab_snapshot_times(tamrel_lab* lab, double* out, long capacity);
/* The exact solution at the time in force ("rho", "p", "vx"), and its L1
 * distances from the grid: rho, vx, p. */
long tamrel_lab_read_exact(tamrel_lab* lab, const char* field, double* out, long capacity);
int tamrel_lab_exact_l1(tamrel_lab* lab, double l1[3]);

#ifdef __cplusplus
}
#endif

#endif
