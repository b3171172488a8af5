# cmake --install and the Debian package: the engine and its renderer plug-in
# in lib/quillfire (the engine loads the plug-in from its own folder), the
# content tools and the `quillfire` launcher in bin, the game bundle in
# share/quillfire, and the desktop entry with its icon.
include(GNUInstallDirs)

set(QF_INSTALL_LIBEXEC ${CMAKE_INSTALL_LIBDIR}/quillfire)
set(QF_INSTALL_DATA ${CMAKE_INSTALL_DATADIR}/quillfire)

if(TARGET quillfire)
    install(TARGETS quillfire RUNTIME DESTINATION ${QF_INSTALL_LIBEXEC})
endif()
if(TARGET grgl2)
    install(TARGETS grgl2 LIBRARY DESTINATION ${QF_INSTALL_LIBEXEC})
endif()
foreach(tool qfseal qfsheet qffontpack qftextpack)
    if(TARGET ${tool})
        install(TARGETS ${tool} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    endif()
endforeach()

# The bundle's build folder is also CMake's folder for bundle/; its own files stay out.
install(DIRECTORY ${CMAKE_BINARY_DIR}/bundle/ DESTINATION ${QF_INSTALL_DATA}
    PATTERN CMakeFiles EXCLUDE
    PATTERN "*.cmake" EXCLUDE
    PATTERN "Makefile" EXCLUDE)

configure_file(${CMAKE_SOURCE_DIR}/packaging/quillfire.in ${CMAKE_BINARY_DIR}/packaging/quillfire
    @ONLY)
install(PROGRAMS ${CMAKE_BINARY_DIR}/packaging/quillfire DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_SOURCE_DIR}/packaging/quillfire.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/quillfire.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${CMAKE_SOURCE_DIR}/docs/scripting.md ${CMAKE_SOURCE_DIR}/README.md
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quillfire OPTIONAL)

# cpack -G DEB in the build folder makes quillfire_<version>_<arch>.deb.
set(CPACK_PACKAGE_NAME quillfire)
set(CPACK_PACKAGE_VENDOR "The Quillfire developers")
set(CPACK_PACKAGE_CONTACT "Quillfire developers <quillfire@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "2D physics game engine and slingshot puzzle game")
set(CPACK_PACKAGE_DESCRIPTION
    "Quillfire runs a Box2D world of named game objects driven by Lua scripts, draws through \
an OpenGL plug-in and mixes its own audio. The physics puzzle game that ships with it, its \
content tools and its scripting guide are included.")
if(PROJECT_VERSION)
    set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
else()
    set(CPACK_PACKAGE_VERSION 0.1.0)
endif()
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# SDL loads EGL and GL and Mesa its drivers at run time, so the linked
# libraries do not name them: without these a clean system cannot open a window.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libegl1, libgl1, libegl-mesa0, libglx-mesa0, libgl1-mesa-dri")
set(CPACK_STRIP_FILES ON)
include(CPack)
