#include "app/ui/UserGuide.h"

namespace tamrel {

const char* userGuideHtml()
{
    return R"(<h1>Tamrel user guide</h1>
<p>Tamrel solves the equations of one-dimensional gas dynamics for a gamma-law gas on a grid of up to
5000 cells between x = 0 and x = 1. You set up a problem, choose a numerical scheme, run it and watch
the density, the pressure and the velocity evolve; the gray picture at the bottom right shows one
variable in space (across) and time (downwards) from every stored snapshot.</p>

<h2>A run</h2>
<ol>
<li>Press one of <b>Test 1</b> to <b>Test 8</b> (Alt+1 to Alt+8), or <b>Sound Wave</b>.</li>
<li>Press <b>Begin</b> (Ctrl+B). <b>Pause</b> and <b>Continue</b> (Space) halt and resume the run;
<b>Restart</b> (Ctrl+R) returns to the initial state.</li>
<li>When the run has halted, step through the stored states with the scroll bar between the plots,
or click the space-time picture to show the state at that time. <b>Multi</b> overlays the states you
step through; <b>Single</b> shows one at a time.</li>
</ol>
<p>The status line at the bottom says whether the lab is <i>Ready</i>, <i>Running</i>, <i>Halted</i> or
<i>Finished</i>, the time against the stop time, the cycle, the scheme and the grid size. Buttons that
would do nothing are greyed out; their tool tip says why. A refused entry in a box is put back to the
value in force when you press Enter or leave the box, and the status line says what is allowed.</p>

<h2>The eight tests</h2>
<ul>
<li><b>Test 1</b>: the classic shock tube: a rarefaction moves left, a contact and a shock move right.
Look at how sharply each scheme holds the contact and the shock.</li>
<li><b>Test 2</b>: Test 1 with a transverse shear (VY jumps from 1 to -8): the shear rides on the contact.</li>
<li><b>Test 3</b>: two rarefactions moving apart leave a near vacuum in the middle; watch the density
and the internal energy at the centre.</li>
<li><b>Test 4</b>: two cold streams collide: two strong shocks move apart from a hot dense middle.</li>
<li><b>Test 5</b>: a pressure jump of five decades: a very strong shock and a thin dense shell.</li>
<li><b>Test 6</b>: two strong shocks collide; a slowly moving contact stays between them.</li>
<li><b>Test 7</b>: a contact moving slowly through the grid: how much each scheme smears it.</li>
<li><b>Test 8</b>: a pressure jump of two and a half decades into a dense gas.</li>
</ul>

<h2>The schemes</h2>
<p>Press the scheme button under the space-time picture (before a run) and type a name; letter case
does not matter.</p>
<ul>
<li><b>Orvane</b>: the piecewise parabolic method in double precision, third order in space, with a
two-shock Riemann solver, contact steepening and flattening at strong shocks. The most accurate and
the most work per cell (about 800 operations).</li>
<li><b>Orvane32</b>: the same method in single precision, faster.</li>
<li><b>Mixtal32</b>: the same method carrying two fluids, for the smoke plot (PLOT FVSMOKE).</li>
<li><b>Lentor32</b>: MUSCL-Hancock, second order, with the HLLC Riemann solver (about 290 operations
per cell).</li>
<li><b>Sorvi</b>: Godunov's first-order method with the exact Riemann solver: robust and diffusive
(about 75 operations per cell).</li>
</ul>

<h2>The Courant number</h2>
<p>Each time step is the Courant number times the time the fastest wave (|u| + c) takes to cross a cell.
It must lie above 0 and below 1; 0.5 to 0.8 is usual. Smaller steps cost more and smear a little less in
time; a number near 1 can make a scheme ring.</p>

<h2>Sound waves, Riemann invariants and the entropy wave</h2>
<p><b>Sound Wave</b> fills a periodic grid with a uniform gas (density 1, sound speed 1) disturbed by
sinusoids of the three characteristic fields: R+ = u + 2c/(gamma-1) travels at u + c, R- at u - c, and
the entropy P/Rho^gamma travels with the flow. The plots then show R+, the entropy and R-; a field of
zero amplitude shows as a flat line. A shock-tube test, Reset or Read Setup returns to density,
pressure and velocity.</p>

<h2>Units</h2>
<p>The grid has length 1; the sound-wave time unit is the time sound at speed 1 takes to cross it. The
shock tubes are dimensionless, each with its own stop time.</p>

<h2>Shortcuts</h2>
<table border="1" cellpadding="3">
<tr><td>Space</td><td>Pause a running run, continue a halted one</td></tr>
<tr><td>Ctrl+B</td><td>Begin</td></tr>
<tr><td>Ctrl+R</td><td>Restart</td></tr>
<tr><td>Alt+1 .. Alt+8</td><td>Tests 1 to 8</td></tr>
<tr><td>Ctrl+O / Ctrl+S</td><td>Read / write a set-up file</td></tr>
<tr><td>F1</td><td>This guide</td></tr>
<tr><td>Ctrl+Q</td><td>Quit</td></tr>
</table>
<p>A shortcut acts only where its button would.</p>

<h2>Batch mode</h2>
<p><code>tamrel --batch --test 1 --cells 400 --scheme Orvane --out final.csv --history all.csv
--spacetime st.png</code> runs a problem without a window and writes the final state, every stored
snapshot and the space-time picture. <code>tamrel --help</code> lists every option.</p>
)";
}

} // namespace tamrel
