# `cmake --install build --prefix DIR`: a ready program folder in DIR/lib/foldwarn (the program keeps its
# settings file beside itself), a launcher link in DIR/bin, the desktop entry and icons under DIR/share.
include(GNUInstallDirs)
set(FOLDWARN_PROGRAM_DIR ${CMAKE_INSTALL_LIBDIR}/foldwarn)

install(TARGETS foldwarn RUNTIME DESTINATION ${FOLDWARN_PROGRAM_DIR})
install(FILES ${PROJECT_SOURCE_DIR}/resources/add.wav ${PROJECT_SOURCE_DIR}/resources/remove.wav
        DESTINATION ${FOLDWARN_PROGRAM_DIR})
install(FILES ${PROJECT_SOURCE_DIR}/resources/foldwarn.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/32x32/apps)
install(FILES ${PROJECT_SOURCE_DIR}/resources/foldwarn.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# The prefix is known only at install time (--prefix), so the entry and the link are written then.
install(CODE "
  set(prefix \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}\")
  set(FOLDWARN_EXEC \"\${CMAKE_INSTALL_PREFIX}/${FOLDWARN_PROGRAM_DIR}/foldwarn\")
  configure_file(\"${PROJECT_SOURCE_DIR}/resources/foldwarn.desktop.in\"
                 \"\${prefix}/${CMAKE_INSTALL_DATADIR}/applications/foldwarn.desktop\" @ONLY)
  message(STATUS \"Installing: \${prefix}/${CMAKE_INSTALL_DATADIR}/applications/foldwarn.desktop\")
  file(MAKE_DIRECTORY \"\${prefix}/${CMAKE_INSTALL_BINDIR}\")
  file(CREATE_LINK \"../${FOLDWARN_PROGRAM_DIR}/foldwarn\" \"\${prefix}/${CMAKE_INSTALL_BINDIR}/foldwarn\" SYMBOLIC)
")
