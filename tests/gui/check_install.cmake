# Installs the build into a scratch prefix and checks that the program, its desktop
# entry, MIME type description and icon land where desktops look for them.
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
                RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${rc}")
endif()
foreach(f bin/quorl share/applications/quorl.desktop share/mime/packages/quorl.xml
          share/icons/hicolor/scalable/apps/quorl.svg)
    if(NOT EXISTS ${PREFIX}/${f})
        message(FATAL_ERROR "not installed: ${f}")
    endif()
endforeach()
file(READ ${PREFIX}/share/mime/packages/quorl.xml mime)
if(NOT mime MATCHES "<comment>Quorl Document</comment>" OR NOT mime MATCHES "\\*\\.qrz")
    message(FATAL_ERROR "the MIME type does not describe *.qrz as \"Quorl Document\"")
endif()
file(READ ${PREFIX}/share/applications/quorl.desktop desktop)
if(NOT desktop MATCHES "MimeType=application/x-quorl-document;")
    message(FATAL_ERROR "the desktop entry does not name the document MIME type")
endif()
if(VALIDATE)
    execute_process(COMMAND ${VALIDATE} ${PREFIX}/share/applications/quorl.desktop
                    RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "desktop-file-validate rejected the installed entry")
    endif()
endif()
