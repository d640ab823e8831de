# cmake --install BUILD --prefix PREFIX: the game in PREFIX/libexec/sortie,
# its data in PREFIX/share/sortie/data, and on the PATH a launcher `sortie`
# that starts it there, plus sortie-data, the desktop entry, the icon and the
# manual pages. The launcher finds the game relative to itself, so the same
# build installs under any prefix.
include(GNUInstallDirs)

set(SORTIE_SHARE_DIR ${CMAKE_INSTALL_DATADIR}/sortie)
set(SORTIE_GAME_DIR ${CMAKE_INSTALL_LIBEXECDIR}/sortie)
file(RELATIVE_PATH SORTIE_BIN_TO_SHARE /prefix/${CMAKE_INSTALL_BINDIR} /prefix/${SORTIE_SHARE_DIR})
file(RELATIVE_PATH SORTIE_BIN_TO_GAME /prefix/${CMAKE_INSTALL_BINDIR} /prefix/${SORTIE_GAME_DIR}/sortie)
configure_file(${CMAKE_CURRENT_LIST_DIR}/sortie.in ${CMAKE_BINARY_DIR}/launcher/sortie @ONLY)

install(TARGETS sortie RUNTIME DESTINATION ${SORTIE_GAME_DIR})
install(TARGETS sortie-data RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(PROGRAMS ${CMAKE_BINARY_DIR}/launcher/sortie DESTINATION ${CMAKE_INSTALL_BINDIR})
# The icon is made with the data but is the desktop's, not the game's.
install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/ DESTINATION ${SORTIE_SHARE_DIR}/data PATTERN icons EXCLUDE)
install(FILES ${CMAKE_SOURCE_DIR}/data/icons/sortie.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/64x64/apps)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/sortie.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/sortie.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/sortie-data.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
