# The installed layout: the two programs in bin/, the converter launcher in the
# package's own folder for helper programs (the programs look for it beside
# themselves first, then there), and what a desktop needs to offer Quillon:
# the .desktop file, the AppStream metainfo, the icon in hicolor, man pages.
set(QUILLON_DATA ${PROJECT_SOURCE_DIR}/data)

install(TARGETS quillon quillon-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS videoenc RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/quillon)
install(FILES ${QUILLON_DATA}/quillon.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${QUILLON_DATA}/io.github.quillon.Quillon.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${QUILLON_DATA}/icons/quillon.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 22 24 32 48 64 128 256)
  install(FILES ${QUILLON_DATA}/icons/hicolor/${size}x${size}/apps/quillon.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# Man pages are installed compressed, as Debian wants them.
find_program(GZIP gzip REQUIRED)
foreach(page quillon.1 quillon-cli.1)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/man/${page}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND ${GZIP} -9nc ${QUILLON_DATA}/man/${page} > ${CMAKE_BINARY_DIR}/man/${page}.gz
    DEPENDS ${QUILLON_DATA}/man/${page} VERBATIM)
  list(APPEND QUILLON_MAN_PAGES ${CMAKE_BINARY_DIR}/man/${page}.gz)
endforeach()
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/doc/changelog.gz
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/doc
  COMMAND ${GZIP} -9nc ${QUILLON_DATA}/doc/changelog > ${CMAKE_BINARY_DIR}/doc/changelog.gz
  DEPENDS ${QUILLON_DATA}/doc/changelog VERBATIM)
add_custom_target(quillon_man_pages ALL DEPENDS ${QUILLON_MAN_PAGES} ${CMAKE_BINARY_DIR}/doc/changelog.gz)
install(FILES ${QUILLON_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${QUILLON_DATA}/doc/copyright ${CMAKE_BINARY_DIR}/doc/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/quillon)

# A Debian package: `cpack -G DEB` in the release build.
set(CPACK_PACKAGE_NAME quillon)
set(CPACK_PACKAGE_VENDOR "The Quillon developers")
set(CPACK_PACKAGE_CONTACT "The Quillon developers <quillon@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "extract the sound track of video files in batch")
set(CPACK_PACKAGE_DESCRIPTION "Quillon pulls the sound track out of video files in batch, into MP3, MP4,
3GP, WMA, WAV, AU, AIFF or OGG, or unchanged into the file type that suits
its codec. It has a window with a job list and a command-line front end for
scripts. All media work is done by FFmpeg.")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://github.com/quillon/quillon")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the programs link come from dpkg-shlibdeps; FFmpeg and the
# fonts (the window's faces, or their stand-ins) are used at run time only.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "ffmpeg, fonts-liberation2 | fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
