# The files an installed Quorl consists of, checked under an installation prefix:
# quorl_check_layout(<prefix>) stops with an error naming the first thing missing or wrong.
function(quorl_check_layout prefix)
    foreach(f bin/quorl bin/quorl-cli share/applications/quorl.desktop
              share/mime/packages/quorl.xml share/icons/hicolor/scalable/apps/quorl.svg
              share/man/man1/quorl-cli.1.gz share/metainfo/org.quorl.Quorl.metainfo.xml
              share/quorl/examples/limb.qrz share/quorl/examples/limb-skin.tga
              share/quorl/examples/shell.qrz share/quorl/examples/torso.qrz
              share/quorl/examples/relief.qrz share/quorl/examples/relief-pebbles.tga)
        if(NOT EXISTS ${prefix}/${f})
            message(FATAL_ERROR "not installed: ${f}")
        endif()
    endforeach()
    if(EXISTS ${prefix}/share/quorl/examples/tools)
        message(FATAL_ERROR "the example generator's sources were installed with the examples")
    endif()
    file(READ ${prefix}/share/mime/packages/quorl.xml mime)
    if(NOT mime MATCHES "<comment>Quorl Document</comment>" OR NOT mime MATCHES "\\*\\.qrz")
        message(FATAL_ERROR "the MIME type does not describe *.qrz as \"Quorl Document\"")
    endif()
    file(READ ${prefix}/share/applications/quorl.desktop desktop)
    if(NOT desktop MATCHES "MimeType=application/x-quorl-document;")
        message(FATAL_ERROR "the desktop entry does not name the document MIME type")
    endif()
    execute_process(COMMAND gzip -dc ${prefix}/share/man/man1/quorl-cli.1.gz
                    OUTPUT_VARIABLE page RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0 OR NOT page MATCHES "^\\.TH QUORL-CLI 1")
        message(FATAL_ERROR "the installed man page is not the compressed quorl-cli(1)")
    endif()
    # The installed command-line tool runs and opens an example with its layer image
    # from the examples folder.
    execute_process(COMMAND ${prefix}/bin/quorl-cli --version
                    OUTPUT_VARIABLE version RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0 OR NOT version MATCHES "^quorl-cli [0-9]+\\.[0-9]+")
        message(FATAL_ERROR "the installed quorl-cli does not run: ${rc} ${version}")
    endif()
    execute_process(COMMAND ${prefix}/bin/quorl-cli info relief.qrz
                    WORKING_DIRECTORY ${prefix}/share/quorl/examples
                    OUTPUT_VARIABLE info ERROR_VARIABLE info RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0 OR NOT info MATCHES "image: relief-pebbles.tga" OR info MATCHES "warning")
        message(FATAL_ERROR "the installed relief example does not open:\n${info}")
    endif()
endfunction()
