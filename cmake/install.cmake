# What `cmake --install` puts where, and the packages CPack makes of it: on Linux the program
# with its desktop entry, icons, file type and man page in the freedesktop places, packed as a
# .deb; on Windows mindmap.exe alone, packed as a zip.
include(GNUInstallDirs)

set(MM_PACKAGING_DIR ${CMAKE_CURRENT_LIST_DIR}/../packaging)

if(TARGET mindmap)
  if(WIN32)
    install(TARGETS mindmap RUNTIME DESTINATION .)
  else()
    install(TARGETS mindmap RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endif()

set(CPACK_PACKAGE_NAME mindmap)
set(CPACK_PACKAGE_VENDOR "mindmap")
# A project address that takes no mail, in the form Debian's tools accept.
set(CPACK_PACKAGE_CONTACT "mindmap maintainers <mindmap@users.noreply.github.com>")
if(PROJECT_VERSION)
  set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
else()
  set(CPACK_PACKAGE_VERSION 0.1.0)
endif()

if(NOT WIN32)
  # The manual page and the changelog go in compressed as Debian wants them: gzip -9n (no name
  # or time stamp inside, so the same sources give the same package).
  set(MM_PACKAGE_DOC_BUILD ${CMAKE_CURRENT_BINARY_DIR}/packaging)
  configure_file(${MM_PACKAGING_DIR}/changelog.in ${MM_PACKAGE_DOC_BUILD}/changelog @ONLY)
  find_program(MM_GZIP gzip REQUIRED)
  add_custom_command(OUTPUT ${MM_PACKAGE_DOC_BUILD}/mindmap.1.gz ${MM_PACKAGE_DOC_BUILD}/changelog.gz
    COMMAND ${MM_GZIP} -9n -c ${MM_PACKAGING_DIR}/mindmap.1 > ${MM_PACKAGE_DOC_BUILD}/mindmap.1.gz
    COMMAND ${MM_GZIP} -9n -c ${MM_PACKAGE_DOC_BUILD}/changelog > ${MM_PACKAGE_DOC_BUILD}/changelog.gz
    DEPENDS ${MM_PACKAGING_DIR}/mindmap.1 ${MM_PACKAGE_DOC_BUILD}/changelog
    COMMENT "Compressing the manual page and the changelog")
  add_custom_target(mm_package_docs ALL
    DEPENDS ${MM_PACKAGE_DOC_BUILD}/mindmap.1.gz ${MM_PACKAGE_DOC_BUILD}/changelog.gz)
  # Whoever builds the program alone can still install it.
  if(TARGET mindmap)
    add_dependencies(mindmap mm_package_docs)
  endif()

  set(icons ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
  install(FILES ${MM_PACKAGING_DIR}/mindmap.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${MM_PACKAGING_DIR}/mindmap-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
    RENAME mindmap.xml)
  install(FILES ${MM_PACKAGE_DOC_BUILD}/mindmap.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${MM_PACKAGE_DOC_BUILD}/changelog.gz ${MM_PACKAGING_DIR}/copyright
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/mindmap)
  install(FILES ${MM_PACKAGING_DIR}/icons/mindmap.svg DESTINATION ${icons}/scalable/apps)
  # Map files show the editor's icon too: the file type's icon name is derived from its name.
  install(FILES ${MM_PACKAGING_DIR}/icons/mindmap.svg DESTINATION ${icons}/scalable/mimetypes
    RENAME application-x-mindmap.svg)
  foreach(size 16 24 32 48 64 128 256)
    install(FILES ${MM_PACKAGING_DIR}/icons/mindmap-${size}.png DESTINATION ${icons}/${size}x${size}/apps
      RENAME mindmap.png)
  endforeach()
endif()

set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "small, fast mind-map editor")
# Lines of at most 80 characters: the package's description is shown as written.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Grows a tree of captioned boxes from a central topic in one window, with"
  "the mouse, the keyboard and a panel of buttons. Maps are saved as small"
  "UTF-8 text files; they can be exported as pictures (PNG, SVG) and outlines,"
  "and OPML, FreeMind, Markdown and plain-text outlines can be imported.")
set(CPACK_STRIP_FILES ON)

if(WIN32)
  set(CPACK_GENERATOR ZIP)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION editors)
  # The libraries the program links are found by dpkg-shlibdeps where it is installed;
  # otherwise they are named here (Debian 12's names).
  find_program(MM_DPKG_SHLIBDEPS dpkg-shlibdeps)
  if(MM_DPKG_SHLIBDEPS)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  else()
    set(CPACK_DEBIAN_PACKAGE_DEPENDS
      "libc6, libstdc++6, libgcc-s1, libexpat1, libx11-6, libxext6, libcairo2, libpango-1.0-0, libpangocairo-1.0-0, libglib2.0-0")
  endif()
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wqy-microhei")
endif()
include(CPack)
