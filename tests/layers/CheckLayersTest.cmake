# SPDX-License-Identifier: GPL-3.0-or-later
# The layer check over a small tree: each crossing of the window's floors is
# named, and nothing that keeps to them is.
#   cmake -DTAMREL_SOURCE_DIR=<repo> -P CheckLayersTest.cmake
execute_process(
  COMMAND ${CMAKE_COMMAND} -DTAMREL_SOURCE_DIR=${CMAKE_CURRENT_LIST_DIR}/tree
          -P ${TAMREL_SOURCE_DIR}/cmake/CheckLayers.cmake
  RESULT_VARIABLE status ERROR_VARIABLE out OUTPUT_VARIABLE out2)
string(APPEND out "${out2}")
if(status EQUAL 0)
  message(FATAL_ERROR "the check passed a tree that crosses the window's floors")
endif()
foreach(expected
    "src/ui/plots/Plot.cpp: a panel includes another panel or the window: #include \"ui/edit/Editor.h\""
    "src/ui/plots/Plot.cpp: a panel includes another panel or the window: #include \"ui/window/MainWindow.h\""
    "src/ui/kit/Picture.h: the window kit includes a panel or the window: #include \"ui/plots/Plot.h\"")
  string(FIND "${out}" "${expected}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "not named: ${expected}\n${out}")
  endif()
endforeach()
foreach(allowed "Panels.h" "ui/kit/Picture.h\"" "Thing.h" "QWidget" "ui/kit/Other.h" "MainWindow.h:" "Editor.h:")
  string(FIND "${out}" "${allowed}" at)
  if(NOT at EQUAL -1)
    message(FATAL_ERROR "refused what keeps to the floors (${allowed}):\n${out}")
  endif()
endforeach()
