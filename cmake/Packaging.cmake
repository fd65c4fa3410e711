# SPDX-License-Identifier: GPL-3.0-or-later
# What `cmake --install` puts where, and the Debian package CPack makes of it
# (script/package). The version is the project's, the one --version prints.
include(GNUInstallDirs)

# The manual page, from the same option texts as --help.
add_executable(tamrel_write_man_page packaging/write-man-page.cpp)
target_link_libraries(tamrel_write_man_page PRIVATE tamrel_core)
set(man_page ${CMAKE_BINARY_DIR}/packaging/tamrel.1)
add_custom_command(OUTPUT ${man_page}.gz
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
  COMMAND tamrel_write_man_page > ${man_page}
  COMMAND gzip -9nf ${man_page}
  DEPENDS tamrel_write_man_page
  COMMENT "Writing the manual page")

configure_file(packaging/changelog.in ${CMAKE_BINARY_DIR}/packaging/changelog @ONLY)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/packaging/changelog.gz
  COMMAND gzip -9nkf ${CMAKE_BINARY_DIR}/packaging/changelog
  DEPENDS ${CMAKE_SOURCE_DIR}/packaging/changelog.in
  COMMENT "Compressing the package changelog")

set(package_files ${man_page}.gz ${CMAKE_BINARY_DIR}/packaging/changelog.gz)

# The icon: drawn as SVG, rendered to the PNG sizes of the hicolor theme.
find_package(Qt6 COMPONENTS Svg QUIET)
set(icon_sizes 48 128 256)
if(TARGET Qt6::Svg)
  add_executable(tamrel_render_icon packaging/render-icon.cpp)
  target_link_libraries(tamrel_render_icon PRIVATE Qt6::Svg Qt6::Gui)
  foreach(size ${icon_sizes})
    set(png ${CMAKE_BINARY_DIR}/packaging/icons/${size}/tamrel.png)
    add_custom_command(OUTPUT ${png}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging/icons/${size}
      COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
              $<TARGET_FILE:tamrel_render_icon> ${CMAKE_SOURCE_DIR}/packaging/tamrel.svg ${size} ${png}
      DEPENDS tamrel_render_icon ${CMAKE_SOURCE_DIR}/packaging/tamrel.svg
      COMMENT "Rendering the ${size} px icon")
    list(APPEND package_files ${png})
    install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
  endforeach()
else()
  message(STATUS "Qt SVG not found: the package carries the SVG icon only")
endif()
add_custom_target(tamrel_package_files ALL DEPENDS ${package_files})

# The page (script/web): the Qt-free layers for wasm32-wasi with the page's
# HTML, CSS and JavaScript, static files a teacher can put on any web server.
# Built when clang 14's wasm32-wasi target and its C++ library are installed.
find_program(TAMREL_CLANG14 clang-14)
find_program(TAMREL_WASM_LD wasm-ld-14)
find_program(TAMREL_LLVM_AR llvm-ar-14)
find_program(TAMREL_MAKE make)
set(web_page ${CMAKE_BINARY_DIR}/web)
if(TAMREL_CLANG14 AND TAMREL_WASM_LD AND TAMREL_LLVM_AR AND TAMREL_MAKE AND EXISTS /usr/lib/wasm32-wasi/libc++.a)
  # Under make the page's build shares the build's job slots; elsewhere it takes two.
  if(CMAKE_GENERATOR MATCHES "Makefiles")
    set(web_make "$(MAKE)")
  else()
    set(web_make ${TAMREL_MAKE} -j2)
  endif()
  add_custom_target(tamrel_web ALL
    COMMAND ${web_make} --no-print-directory -f web/Makefile OUT=${web_page} page
    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
    COMMENT "Building the page for the browser")
  install(DIRECTORY ${web_page}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/tamrel/web)
else()
  message(STATUS "clang 14's wasm32-wasi target not found: the package carries no page")
endif()

install(TARGETS tamrel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES packaging/tamrel.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
# Software centres read the metainfo; file managers learn the set-up and lab-sheet
# types from the MIME package (the package's trigger rebuilds their database).
configure_file(packaging/tamrel.metainfo.xml ${CMAKE_BINARY_DIR}/packaging/invalid.tamrel.Tamrel.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/packaging/invalid.tamrel.Tamrel.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES packaging/tamrel-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME tamrel.xml)
install(FILES packaging/tamrel.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${man_page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES packaging/copyright ${CMAKE_BINARY_DIR}/packaging/changelog.gz
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tamrel)
# The guide and the lab sheets, for teachers who want them outside the window.
install(FILES docs/guide.md docs/lab-sheets.md DESTINATION ${CMAKE_INSTALL_DATADIR}/tamrel OPTIONAL)
install(DIRECTORY docs/images DESTINATION ${CMAKE_INSTALL_DATADIR}/tamrel OPTIONAL)
install(DIRECTORY sheets DESTINATION ${CMAKE_INSTALL_DATADIR}/tamrel OPTIONAL FILES_MATCHING PATTERN "*.json")

# The Python module, part of this package: where Debian's python3 finds it.
# It is built for one minor version of Python (its file name says which), so
# the package recommends that version and numpy; the program runs without them.
if(TARGET tamrel_python)
  set(python_dir lib/python3/dist-packages/tamrel)
  install(TARGETS tamrel_python LIBRARY DESTINATION ${python_dir})
  install(FILES ${TAMREL_PYTHON_SOURCES} DESTINATION ${python_dir})
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "python3 (>= ${TAMREL_PYTHON_VERSION}), python3 (<< ${TAMREL_PYTHON_NEXT}), python3-numpy")
  set(CPACK_DEBIAN_PACKAGE_SUGGESTS "python3-matplotlib, jupyter-notebook")
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tamrel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Tamrel developers")
set(CPACK_PACKAGE_CONTACT "Tamrel developers <developers@tamrel.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "laboratory for one-dimensional gas dynamics")
set(CPACK_PACKAGE_DESCRIPTION
  "Tamrel lets students set up shock tubes, sound waves and hand-made states of a\n"
  "gamma-law gas, run them with five numerical schemes and compare the results\n"
  "with exact solutions. It has a batch mode, convergence studies and lab\n"
  "sheets that a teacher can check from the command line.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://tamrel.invalid/")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
