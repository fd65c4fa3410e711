# SPDX-License-Identifier: GPL-3.0-or-later
# Reads every #include under src/ and fails when a file includes a folder of
# a higher layer, a header of the window (src/ui) from below it, or Qt outside
# src/ui.
# Runs at configure time (include()) and before every build
# (cmake -DTAMREL_SOURCE_DIR=... -DTAMREL_STAMP=... -P CheckLayers.cmake).
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/Layers.cmake)

function(tamrel_check_layers source_dir)
  file(GLOB_RECURSE files "${source_dir}/src/*.h" "${source_dir}/src/*.cpp")
  set(problems "")
  foreach(file ${files})
    file(RELATIVE_PATH rel "${source_dir}/src" "${file}")
    string(REGEX MATCH "^[^/]+" folder "${rel}")
    if(folder STREQUAL "ui")
      continue() # the window: every folder and Qt
    endif()
    if(NOT folder IN_LIST TAMREL_LAYERS)
      string(APPEND problems "\n  src/${rel}: folder '${folder}' has no place in cmake/Layers.cmake")
      continue()
    endif()
    set(allowed ${folder} ${TAMREL_SEES_${folder}})
    file(STRINGS "${file}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
    foreach(line ${includes})
      if(line MATCHES "#[ \t]*include[ \t]*<(Q[A-Za-z]*|qt[a-z]*)[/>]")
        string(APPEND problems "\n  src/${rel}: Qt outside src/ui: ${line}")
      elseif(line MATCHES "#[ \t]*include[ \t]*\"([^/\"]+)/([^\"]*)\"")
        set(target "${CMAKE_MATCH_1}")
        set(path "${CMAKE_MATCH_2}")
        if(target STREQUAL "ui")
          string(APPEND problems "\n  src/${rel}: a window header below the window: ${line}")
        elseif(target IN_LIST TAMREL_LAYERS AND NOT target IN_LIST allowed)
          string(APPEND problems "\n  src/${rel} (${folder}) includes a higher or side layer: ${line}")
        endif()
      endif()
    endforeach()
  endforeach()
  if(problems)
    message(FATAL_ERROR "Includes against the layers of cmake/Layers.cmake:${problems}")
  endif()
endfunction()

if(CMAKE_SCRIPT_MODE_FILE)
  tamrel_check_layers("${TAMREL_SOURCE_DIR}")
  if(TAMREL_STAMP)
    file(TOUCH "${TAMREL_STAMP}")
  endif()
endif()
