# SPDX-License-Identifier: GPL-3.0-or-later
# The layers of src/, lowest first. Each folder may include its own headers
# and those of the folders listed after it, nothing above. src/app's own
# files (the command line) stand on every Qt-free layer; src/ui forms
# the top layer: the window sees everything, and only it may include Qt.
#
#   common -> state -> kernels, run, plots, edit, presets, spacetime, setupfile, exact -> compare -> lab -> app
set(TAMREL_LAYERS common state kernels run plots edit presets spacetime setupfile exact compare lab app)

set(TAMREL_SEES_common "")
set(TAMREL_SEES_state common)
set(TAMREL_SEES_kernels common)
set(TAMREL_SEES_run state kernels common)
set(TAMREL_SEES_plots state kernels common)
set(TAMREL_SEES_edit run state kernels common)
set(TAMREL_SEES_presets run state kernels common)
set(TAMREL_SEES_spacetime plots run state kernels common)
set(TAMREL_SEES_setupfile edit run state kernels common)
set(TAMREL_SEES_exact plots state kernels common)
set(TAMREL_SEES_compare exact run plots state kernels common)
set(TAMREL_SEES_lab compare exact setupfile spacetime presets edit plots run state kernels common)
set(TAMREL_SEES_app lab compare exact setupfile spacetime presets edit plots run state kernels common)
