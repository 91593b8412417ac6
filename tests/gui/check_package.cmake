# Builds the Debian package from the finished build (cpack, nothing is compiled),
# checks its control data, and unpacks it into a scratch root to check its files.
include(${CMAKE_CURRENT_LIST_DIR}/check_layout.cmake)
file(REMOVE_RECURSE ${SCRATCH})
file(MAKE_DIRECTORY ${SCRATCH})
execute_process(COMMAND ${CPACK} -G DEB --config ${BUILD_DIR}/CPackConfig.cmake -B ${SCRATCH}
                RESULT_VARIABLE rc OUTPUT_VARIABLE log ERROR_VARIABLE log)
file(GLOB debs ${SCRATCH}/quorl_*.deb)
list(LENGTH debs count)
if(NOT rc EQUAL 0 OR NOT count EQUAL 1)
    message(FATAL_ERROR "cpack did not make one quorl package (${rc}):\n${log}")
endif()

execute_process(COMMAND ${DPKG_DEB} --info ${debs} OUTPUT_VARIABLE info RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "dpkg-deb cannot read the package")
endif()
foreach(field "Package: quorl" "Version: ${VERSION}" "Section: graphics"
              "Maintainer: [^\n]+<[^\n]+>" "Description: modeller for organic 3D surfaces"
              "Depends: [^\n]*libqt6widgets6" "Depends: [^\n]*libqt6svg6"
              "Depends: [^\n]*libc6")
    if(NOT info MATCHES "\n ${field}")
        message(FATAL_ERROR "the package's control data lacks \"${field}\":\n${info}")
    endif()
endforeach()

execute_process(COMMAND ${DPKG_DEB} -x ${debs} ${SCRATCH}/root RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "dpkg-deb cannot unpack the package")
endif()
quorl_check_layout(${SCRATCH}/root/usr)
# Nothing lands outside /usr, and nothing of the build or the sources rides along.
file(GLOB top RELATIVE ${SCRATCH}/root ${SCRATCH}/root/*)
if(NOT top STREQUAL "usr")
    message(FATAL_ERROR "the package installs outside /usr: ${top}")
endif()
file(GLOB_RECURSE stray ${SCRATCH}/root/*.cpp ${SCRATCH}/root/*.h ${SCRATCH}/root/*.a
     ${SCRATCH}/root/*CMake*)
if(stray)
    message(FATAL_ERROR "the package carries build or source files: ${stray}")
endif()
file(REMOVE_RECURSE ${SCRATCH})
