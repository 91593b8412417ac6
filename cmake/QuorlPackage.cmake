# What installing puts in place besides the programs (the man page and the example
# documents), and the Debian package cpack builds from it (make package).
include(GNUInstallDirs)

# Debian installs man pages compressed.
find_program(QUORL_GZIP gzip REQUIRED)
set(QUORL_MAN_PAGE ${PROJECT_SOURCE_DIR}/docs/quorl-cli.1)
set(QUORL_MAN_PAGE_GZ ${PROJECT_BINARY_DIR}/man/quorl-cli.1.gz)
add_custom_command(OUTPUT ${QUORL_MAN_PAGE_GZ}
                   COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
                   COMMAND sh -c "'${QUORL_GZIP}' -9 -n -c '${QUORL_MAN_PAGE}' > '${QUORL_MAN_PAGE_GZ}'"
                   DEPENDS ${QUORL_MAN_PAGE} VERBATIM)
add_custom_target(quorl_man_page ALL DEPENDS ${QUORL_MAN_PAGE_GZ})
install(FILES ${QUORL_MAN_PAGE_GZ} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The examples go beside the program's other data rather than under share/doc, which
# minimal systems often leave out when installing packages.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/
        DESTINATION ${CMAKE_INSTALL_DATADIR}/quorl/examples
        FILES_MATCHING PATTERN "*.qrz" PATTERN "*.tga" PATTERN "tools" EXCLUDE)

# AppStream metadata for software centres. Its screenshots are docs/images pictures, which
# software centres fetch from the project's web site.
set(QUORL_HOMEPAGE "https://quorl.example.org" CACHE STRING
    "The project's web site, named in the AppStream metadata (screenshots are under /screenshots)")
set(QUORL_APPSTREAM_ID org.quorl.Quorl)
configure_file(${PROJECT_SOURCE_DIR}/data/quorl.metainfo.xml.in
               ${PROJECT_BINARY_DIR}/data/${QUORL_APPSTREAM_ID}.metainfo.xml @ONLY)
if(QUORL_BUILD_GUI)
    install(FILES ${PROJECT_BINARY_DIR}/data/${QUORL_APPSTREAM_ID}.metainfo.xml
            DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quorl)
set(CPACK_PACKAGE_VENDOR "Quorl developers")
set(CPACK_PACKAGE_CONTACT "Quorl developers <quorl@localhost>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "modeller for organic 3D surfaces")
set(CPACK_PACKAGE_DESCRIPTION
    "Quorl builds organic surfaces the way an anatomy is built: a base shape sampled on\n"
    "a U x V grid, bent by bones, then lifted by layers of muscles drawn in the UV map,\n"
    "each shaped by profile curves. It exports meshes for POV-Ray, RenderMan (RIB),\n"
    "Wavefront OBJ and more. The package holds the modeller (quorl), the command-line\n"
    "tool (quorl-cli) and example documents.")
list(JOIN CPACK_PACKAGE_DESCRIPTION "" CPACK_PACKAGE_DESCRIPTION)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS povray)
# The library packages the programs link against, found by dpkg-shlibdeps where it is
# installed (dpkg-dev); otherwise the Qt 6 and OpenGL runtime packages of Debian 12.
find_program(QUORL_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(QUORL_DPKG_SHLIBDEPS)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
    set(CPACK_DEBIAN_PACKAGE_DEPENDS
        "libqt6widgets6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6core6 (>= 6.4), libqt6openglwidgets6 (>= 6.4), libqt6opengl6 (>= 6.4), libqt6svg6 (>= 6.4), libgl1, libc6, libstdc++6, libgcc-s1")
endif()
# The desktop and MIME databases pick up the new files through their own dpkg triggers.
include(CPack)
