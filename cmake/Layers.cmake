# SPDX-License-Identifier: GPL-3.0-or-later
# The layers of src/, lowest first. Each folder may include its own headers
# and those of the folders listed after it, nothing above. src/app's own
# files (the command line) stand on every Qt-free layer; src/ui forms
# the top layer: it sees every Qt-free layer, and only it may include Qt.
#
#   common -> state -> kernels, run, plots, edit, presets, spacetime, setupfile, exact -> compare -> lab -> app
#
# The window has floors of its own:
#
#   ui/kit -> ui/<subsystem> (the panels) -> ui/window
#
# ui/kit is the shared window kit (the window context, controls, dialogs,
# pictures and their painting) and includes no other window folder. A panel
# folder sees itself and the kit, never another panel nor the main window,
# but for the exceptions named below. ui/window (the main window, its
# layout, menus, export and the batch) sees every folder.
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

set(TAMREL_UI_KIT kit)
set(TAMREL_UI_TOP window)
# "file|header" (file "*" for every panel): a panel's include of the window
# that stands until the rule behind it moves.
set(TAMREL_UI_EXCEPTIONS
  # The registry of panels: a panel reaches another panel's public operations
  # (a repaint, a readout, the rows on show) through it. It goes when those
  # cross-panel steps are the session's rules, called by each panel alone.
  "*|ui/window/Panels.h")
