/* SPDX-License-Identifier: GPL-3.0-or-later */
/* The lab session through its C face, from a C program: a Test 1 run, a
 * sound wave, a hand-made state, the buffers and the refusals. */

#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "lab/tamrel_lab.h"

static int failures = 0;

#define CHECK(cond)                                                                                         \
    do {                                                                                                    \
        if (!(cond)) {                                                                                      \
            fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond);                        \
            ++failures;                                                                                     \
        }                                                                                                   \
    } while (0)

/* Refused, with a one-line reason that holds `part`. */
static void expect_refused(tamrel_lab* lab, long result, const char* part)
{
    const char* why = tamrel_lab_last_error(lab);
    CHECK(result < 0);
    CHECK(strstr(why, part) != NULL);
    CHECK(strchr(why, '\n') == NULL);
    if (result >= 0 || strstr(why, part) == NULL)
        fprintf(stderr, "  wanted a reason with \"%s\", got \"%s\"\n", part, why);
}

static double sum_of(const double* v, long n)
{
    double s = 0;
    for (long i = 0; i < n; ++i)
        s += v[i];
    return s;
}

static void test1_run(void)
{
    tamrel_lab* lab = tamrel_lab_create(1);
    CHECK(lab != NULL);
    expect_refused(lab, tamrel_lab_set(lab, "cells", 3), "from 6 to 5000");
    CHECK(tamrel_lab_set(lab, "cells", 200) == 0);
    CHECK(tamrel_lab_load_test(lab, 1) == 0);
    CHECK(strcmp(tamrel_lab_last_error(lab), "") == 0);
    CHECK(tamrel_lab_run_to_end(lab) == 0);
    CHECK(tamrel_lab_time(lab) > 0);
    CHECK(tamrel_lab_cycle(lab) > 0);
    CHECK(!tamrel_lab_running(lab));

    /* A first call with capacity 0 asks for the length; a short buffer gets
     * the first values only. */
    const long n = tamrel_lab_read(lab, "rho", NULL, 0);
    CHECK(n == 200);
    double* rho = malloc(sizeof(double) * (size_t)n);
    double* x = malloc(sizeof(double) * (size_t)n);
    CHECK(tamrel_lab_read(lab, "rho", rho, n) == n);
    CHECK(tamrel_lab_read(lab, "x", x, n) == n);
    for (long i = 0; i < n; ++i)
        CHECK(rho[i] > 0 && isfinite(rho[i]));
    CHECK(x[0] > 0 && x[n - 1] < 1 && x[0] < x[1]);
    double head[3] = { -1, -1, -1 };
    CHECK(tamrel_lab_read(lab, "p", head, 2) == n);
    CHECK(head[0] > 0 && head[1] > 0 && head[2] == -1);

    double l1[3];
    CHECK(tamrel_lab_exact_l1(lab, l1) == 0);
    CHECK(l1[0] > 0 && l1[0] < 0.05);
    double* exact = malloc(sizeof(double) * (size_t)n);
    CHECK(tamrel_lab_read_exact(lab, "rho", exact, n) == n);

    /* The history: row 0 is the start, the last row the end. */
    const long rows = tamrel_lab_stored_rows(lab);
    CHECK(rows > 2);
    double* times = malloc(sizeof(double) * (size_t)rows);
    CHECK(tamrel_lab_snapshot_times(lab, times, rows) == rows);
    CHECK(times[0] == 0 && times[rows - 1] == tamrel_lab_time(lab));
    double* last = malloc(sizeof(double) * (size_t)n);
    CHECK(tamrel_lab_read_snapshot(lab, rows - 1, "rho", last, n) == n);
    CHECK(last[n / 2] == (double)(float)rho[n / 2]);
    expect_refused(lab, tamrel_lab_read_snapshot(lab, rows, "rho", last, n), "No stored row");
    expect_refused(lab, tamrel_lab_read(lab, "density", rho, n), "No field");

    /* Restart and run again: the same numbers. */
    CHECK(tamrel_lab_restart(lab) == 0);
    CHECK(tamrel_lab_time(lab) == 0);
    CHECK(tamrel_lab_begin(lab) == 0);
    while (tamrel_lab_running(lab))
        CHECK(tamrel_lab_tick(lab) >= 0);
    double* again = malloc(sizeof(double) * (size_t)n);
    CHECK(tamrel_lab_read(lab, "rho", again, n) == n);
    CHECK(memcmp(again, rho, sizeof(double) * (size_t)n) == 0);

    free(rho);
    free(x);
    free(exact);
    free(times);
    free(last);
    free(again);
    tamrel_lab_destroy(lab);
}

static void sound_wave_and_steps(void)
{
    tamrel_lab* lab = tamrel_lab_create(2);
    const double wave[7] = { 0.01, 1, 0, 1, 0, 1, -1 };
    CHECK(tamrel_lab_set(lab, "cells", 40) == 0);
    CHECK(tamrel_lab_set(lab, "periods", 0.25) == 0);
    CHECK(tamrel_lab_load_sound_wave(lab, wave) == 0);
    CHECK(tamrel_lab_cells(lab) == 40);
    CHECK(tamrel_lab_begin(lab) == 0);
    long steps = 0;
    while (tamrel_lab_running(lab)) {
        const long k = tamrel_lab_step(lab);
        CHECK(k == 1);
        steps += k;
    }
    CHECK(steps > 0 && steps <= tamrel_lab_cycle(lab));
    CHECK(fabs(tamrel_lab_time(lab) - 0.25) < 1e-12);
    double l1[3];
    CHECK(tamrel_lab_exact_l1(lab, l1) == 0);
    CHECK(l1[0] < 1e-3);

    const double bad[7] = { 0.01, 1.5, 0, 1, 0, 1, -1 };
    CHECK(tamrel_lab_restart(lab) == 0);
    expect_refused(lab, tamrel_lab_load_sound_wave(lab, bad), "whole number");
    tamrel_lab_destroy(lab);
}

static void hand_made_state(void)
{
    enum { N = 60 };
    double rho[N], vx[N], p[N], smoke[N];
    for (int i = 0; i < N; ++i) {
        rho[i] = i < N / 2 ? 1.0 : 0.5;
        p[i] = i < N / 2 ? 1.0 : 0.4;
        vx[i] = 0;
        smoke[i] = i < N / 2 ? 1.0 : 0.0;
    }
    tamrel_lab* lab = tamrel_lab_create(1);
    CHECK(tamrel_lab_load_state(lab, rho, N, vx, N, p, N, NULL, 0, smoke, N, 1, 1, 1.4) == 0);
    CHECK(tamrel_lab_cells(lab) == N);
    CHECK(tamrel_lab_set_scheme(lab, "sorvi") == 0);
    CHECK(tamrel_lab_run_to_end(lab) == 0);
    double out[N];
    CHECK(tamrel_lab_read(lab, "rho", out, N) == N);
    /* Sorvi computes in single precision. */
    CHECK(fabs(sum_of(out, N) - sum_of(rho, N)) < 1e-5 * sum_of(rho, N));

    /* Refusals leave a reason and the state as it was. */
    CHECK(tamrel_lab_restart(lab) == 0);
    expect_refused(lab, tamrel_lab_load_state(lab, rho, N, vx, N - 1, p, N, NULL, 0, NULL, 0, 1, 1, 1.4),
        "differ in length");
    rho[3] = -1;
    expect_refused(lab, tamrel_lab_load_state(lab, rho, N, vx, N, p, N, NULL, 0, NULL, 0, 1, 1, 1.4), "above 0");
    rho[3] = NAN;
    expect_refused(lab, tamrel_lab_load_state(lab, rho, N, vx, N, p, N, NULL, 0, NULL, 0, 1, 1, 1.4), "finite");
    rho[3] = 1;
    expect_refused(lab, tamrel_lab_load_state(lab, NULL, N, vx, N, p, N, NULL, 0, NULL, 0, 1, 1, 1.4), "missing");
    expect_refused(lab, tamrel_lab_set_scheme(lab, "Nope"), "is not a scheme name");
    expect_refused(lab, tamrel_lab_set(lab, "cells", 100), "keeps its cells");
    expect_refused(lab, tamrel_lab_set(lab, "cells", 100.5), "whole number");
    expect_refused(lab, tamrel_lab_set(lab, "courant", 1.5), "below 1");
    expect_refused(lab, tamrel_lab_set(lab, "speed", 1), "No parameter");
    expect_refused(lab, tamrel_lab_set(lab, "difcon", 11), "outside 0 to 10");
    expect_refused(lab, tamrel_lab_set(lab, "log_plots", 2), "0 (off) or 1 (on)");
    CHECK(tamrel_lab_set(lab, "difcon", 0.5) == 0);
    CHECK(tamrel_lab_set(lab, "smoke_streams", 3) == 0);
    expect_refused(lab, tamrel_lab_load_test(lab, 0), "tests are 1 to 8");
    expect_refused(lab, tamrel_lab_load_setup_text(lab, "nonsense"), "This input file will be ignored");
    CHECK(tamrel_lab_read(lab, "rho", out, N) == N);
    CHECK(out[3] == 1.0);
    /* A call that is taken clears the reason. */
    CHECK(tamrel_lab_set(lab, "courant", 0.5) == 0);
    CHECK(strcmp(tamrel_lab_last_error(lab), "") == 0);
    tamrel_lab_destroy(lab);

    /* No handle: refused, never a crash. */
    CHECK(tamrel_lab_load_test(NULL, 1) == -1);
    CHECK(tamrel_lab_read(NULL, "rho", out, N) == -1);
}

int main(void)
{
    test1_run();
    sound_wave_and_steps();
    hand_made_state();
    if (failures)
        fprintf(stderr, "%d checks failed\n", failures);
    return failures ? 1 : 0;
}
