# Install rules, the CMake package that find_package(linkweld) reads, and CPack packages:
#   cmake --install build --prefix /usr/local
#   cd build && cpack -G DEB      (also TGZ; ZIP from a MinGW cross build)
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(package_dir ${CMAKE_INSTALL_LIBDIR}/cmake/linkweld)

install(TARGETS linkweld EXPORT linkweldTargets RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The README beside the documents it links to: installed, its links lose their doc/ prefix.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS README.md)
file(READ README.md readme)
string(REPLACE "](doc/" "](" readme "${readme}")
string(REPLACE "[doc/" "[" readme "${readme}")
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/README.md "${readme}")
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/README.md HACKING.md doc/c-route.md doc/cmake.md
  doc/contexts.md doc/debugging.md doc/platforms.md doc/windows.md doc/diagnostics.md
  doc/replacement.md doc/performance.md
  doc/demo.png doc/demo_core.png
  DESTINATION ${CMAKE_INSTALL_DOCDIR})
if(WIN32)
  install(FILES doc/linkweld.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR})
else()
  # As Debian lays a package out: the licence as the copyright file, the changelog and the man
  # page compressed, and no section the program does not need.
  include(cmake/Compressed.cmake)
  linkweld_compressed(man_page ${CMAKE_CURRENT_SOURCE_DIR}/doc/linkweld.1 linkweld.1.gz)
  linkweld_compressed(changelog ${CMAKE_CURRENT_SOURCE_DIR}/doc/changelog changelog.gz)
  install(FILES ${man_page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  linkweld_copyright_file(${CMAKE_CURRENT_SOURCE_DIR}/LICENSE ${CMAKE_CURRENT_BINARY_DIR}/copyright)
  install(FILES ${changelog} ${CMAKE_CURRENT_BINARY_DIR}/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
  # Built with _FORTIFY_SOURCE, linkweld makes no call that it can guard: lintian's heuristic
  # takes that for a missing flag.
  install(FILES cmake/lintian-overrides RENAME linkweld
    DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides)
  if(CMAKE_OBJCOPY)
    install(CODE "execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment
      --remove-section=.note \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/linkweld\")")
  endif()
endif()
# What applications compile beside the generated pair: the checked initialisation, the C route,
# the tables of several contexts, the debugging build.
set(LINKWELD_RUNTIME_INSTALL_DIR ${CMAKE_INSTALL_DATADIR}/linkweld)
install(FILES
  runtime/glEntryHubC.cpp
  runtime/glEntryHubC.h
  runtime/glEntryHubCChecked.cpp
  runtime/glEntryHubChecked.cpp
  runtime/glEntryHubContexts.cpp
  runtime/glEntryHubContexts.h
  runtime/glEntryHubDebug.cpp
  runtime/glEntryHubDebug.h
  runtime/glEntryHubDebug11.h
  runtime/glEntryHubInit.cpp
  runtime/glEntryHubInit.h
  runtime/glEntryHubPlatform.h
  runtime/glEntryHubProc.h
  runtime/glEntryHubRenamed.h
  runtime/glEntryHubSource.h
  DESTINATION ${LINKWELD_RUNTIME_INSTALL_DIR})
install(FILES runtime/standin/windows.h DESTINATION ${LINKWELD_RUNTIME_INSTALL_DIR}/standin)
install(FILES runtime/standin/GL/glaux.h DESTINATION ${LINKWELD_RUNTIME_INSTALL_DIR}/standin/GL)

install(EXPORT linkweldTargets NAMESPACE linkweld:: DESTINATION ${package_dir})
configure_package_config_file(cmake/linkweldConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/linkweldConfig.cmake INSTALL_DESTINATION ${package_dir}
  PATH_VARS LINKWELD_RUNTIME_INSTALL_DIR)
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/linkweldConfigVersion.cmake
  COMPATIBILITY SameMajorVersion ARCH_INDEPENDENT)
install(FILES
  ${CMAKE_CURRENT_BINARY_DIR}/linkweldConfig.cmake
  ${CMAKE_CURRENT_BINARY_DIR}/linkweldConfigVersion.cmake
  cmake/Linkweld.cmake
  cmake/LinkweldCheck.cmake
  cmake/LinkweldHeaderCheck.cmake
  cmake/LinkweldRoutes.cmake
  DESTINATION ${package_dir})

set(CPACK_PACKAGE_NAME linkweld)
set(CPACK_PACKAGE_VENDOR linkweld)
set(CPACK_PACKAGE_CONTACT "linkweld <linkweld@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_CURRENT_SOURCE_DIR}/LICENSE)
set(CPACK_RESOURCE_FILE_README ${CMAKE_CURRENT_SOURCE_DIR}/README.md)
set(CPACK_GENERATOR TGZ)
set(CPACK_STRIP_FILES ON)
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_SYSTEM_NAME win64)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(CPACK_SYSTEM_NAME win32)
  endif()
endif()
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The synopsis comes from CPACK_PACKAGE_DESCRIPTION_SUMMARY; this is the text below it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "linkweld reads OpenGL extension headers (glext.h, wglext.h
and vendor headers in the same layout) and writes glEntryHub.h and
glEntryHub.cpp: one function pointer per entry point and one flag per
extension, filled by one call.")
include(CPack)
