# Installs the build into a scratch prefix and checks that the programs, the desktop
# entry, MIME type description, icon, man page and examples land where they belong.
include(${CMAKE_CURRENT_LIST_DIR}/check_layout.cmake)
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
                RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${rc}")
endif()
quorl_check_layout(${PREFIX})
if(VALIDATE)
    execute_process(COMMAND ${VALIDATE} ${PREFIX}/share/applications/quorl.desktop
                    RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "desktop-file-validate rejected the installed entry")
    endif()
endif()
