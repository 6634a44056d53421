# SPDX-License-Identifier: GPL-3.0-or-later
# `cmake --install build --prefix DIR`: a ready program folder in DIR/lib/foldwarn (the program keeps its
# settings file beside itself when the folder is writable, else in the user's XDG places), a launcher link
# in DIR/bin, the desktop entry, icons, AppStream metadata, manual page and copyright under DIR/share.
# Every file and link lands in install_manifest.txt, so an install can be removed again.
include(GNUInstallDirs)
# Not CMAKE_INSTALL_LIBDIR: with the prefix /usr that is lib/<triplet>, and the program folder is lib/foldwarn.
set(FOLDWARN_PROGRAM_DIR lib/foldwarn)
set(FOLDWARN_APP_ID de.divuvadi.foldwarn)
set(generated ${CMAKE_BINARY_DIR}/resources)
file(MAKE_DIRECTORY ${generated})

install(TARGETS foldwarn RUNTIME DESTINATION ${FOLDWARN_PROGRAM_DIR})
install(FILES ${PROJECT_SOURCE_DIR}/resources/add.wav ${PROJECT_SOURCE_DIR}/resources/remove.wav
        DESTINATION ${FOLDWARN_PROGRAM_DIR})

# The link is made in the build tree and installed as a file, so the manifest names it.
file(CREATE_LINK ../${FOLDWARN_PROGRAM_DIR}/foldwarn ${generated}/foldwarn SYMBOLIC)
install(FILES ${generated}/foldwarn DESTINATION ${CMAKE_INSTALL_BINDIR})

# Icons: the hand-drawn 32x32 PNG and the SVG; the larger PNGs are drawn from the SVG.
find_program(RSVG_CONVERT rsvg-convert REQUIRED)
find_program(GZIP gzip REQUIRED)
install(FILES ${PROJECT_SOURCE_DIR}/resources/foldwarn.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/32x32/apps)
install(FILES ${PROJECT_SOURCE_DIR}/resources/foldwarn.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
set(generated_files)
foreach(size 48 64 128 256)
  set(png ${generated}/${size}x${size}/foldwarn.png)
  add_custom_command(OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${generated}/${size}x${size}
    COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${PROJECT_SOURCE_DIR}/resources/foldwarn.svg
    DEPENDS ${PROJECT_SOURCE_DIR}/resources/foldwarn.svg VERBATIM)
  list(APPEND generated_files ${png})
  install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# Debian wants the manual page and the changelog compressed, without a time stamp (-n) for a reproducible build.
foreach(doc foldwarn.1 changelog)
  add_custom_command(OUTPUT ${generated}/${doc}.gz
    COMMAND ${GZIP} -9n -c ${PROJECT_SOURCE_DIR}/resources/${doc} > ${generated}/${doc}.gz
    DEPENDS ${PROJECT_SOURCE_DIR}/resources/${doc})
  list(APPEND generated_files ${generated}/${doc}.gz)
endforeach()
add_custom_target(foldwarn_resources ALL DEPENDS ${generated_files})
install(FILES ${generated}/foldwarn.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${generated}/changelog.gz ${PROJECT_SOURCE_DIR}/resources/copyright
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/foldwarn)
install(FILES ${PROJECT_SOURCE_DIR}/resources/${FOLDWARN_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/metainfo)

# The desktop entry names the program by its full path, known only at install time (--prefix). It is
# written then and added to the manifest by hand.
install(CODE "
  set(entry \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/applications/foldwarn.desktop\")
  set(FOLDWARN_EXEC \"\${CMAKE_INSTALL_PREFIX}/${FOLDWARN_PROGRAM_DIR}/foldwarn\")
  configure_file(\"${PROJECT_SOURCE_DIR}/resources/foldwarn.desktop.in\" \"\${entry}\" @ONLY)
  message(STATUS \"Installing: \${entry}\")
  list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${entry}\")
")
