# quorl --render without any display: renders documents in every shading type, reads the
# TGA files back with ImageMagick and checks what is in them, and checks that bad
# arguments, documents and output paths fail with a message and leave no file behind.
# Arguments: QUORL, CLI (quorl-cli, to write a default document), CONVERT, EXAMPLES
# (folder with limb.qrz), SCRATCH (an empty folder for the files).

foreach(var QUORL CLI CONVERT EXAMPLES SCRATCH)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "check_render.cmake needs -D${var}=...")
    endif()
endforeach()

# No display of any kind. A GUI platform asked for here would abort on start, so a render
# that made one fails.
unset(ENV{DISPLAY})
unset(ENV{WAYLAND_DISPLAY})
set(ENV{QT_QPA_PLATFORM} xcb)

file(REMOVE_RECURSE ${SCRATCH})
file(MAKE_DIRECTORY ${SCRATCH})

function(fail text)
    message(SEND_ERROR "${text}")
endfunction()

# Runs quorl with the arguments; sets <prefix>_rc, <prefix>_out and <prefix>_err.
function(run_quorl prefix)
    execute_process(COMMAND ${QUORL} ${ARGN}
                    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err
                    TIMEOUT 120)
    set(${prefix}_rc "${rc}" PARENT_SCOPE)
    set(${prefix}_out "${out}" PARENT_SCOPE)
    set(${prefix}_err "${err}" PARENT_SCOPE)
endfunction()

# Sets var to "r;g;b" (0..255) of pixel x, y of the image (top row 0).
function(pixel_rgb image x y var)
    execute_process(
        COMMAND ${CONVERT} ${image} -format
                "%[fx:int(255*p{${x},${y}}.r+0.5)];%[fx:int(255*p{${x},${y}}.g+0.5)];%[fx:int(255*p{${x},${y}}.b+0.5)]"
                info:
        RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT rc EQUAL 0)
        fail("ImageMagick could not read ${image}: ${err}")
    endif()
    string(STRIP "${out}" out)
    set(${var} "${out}" PARENT_SCOPE)
endfunction()

# Sets var to "W H" as ImageMagick reads the image.
function(image_size image var)
    execute_process(COMMAND ${CONVERT} ${image} -format "%w %h" info:
                    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT rc EQUAL 0)
        fail("ImageMagick could not read ${image}: ${err}")
    endif()
    string(STRIP "${out}" out)
    set(${var} "${out}" PARENT_SCOPE)
endfunction()

# Renders and requires success and an image file; r_err holds what was said on stderr.
function(render_ok image)
    run_quorl(r ${ARGN} -o ${image})
    if(NOT r_rc EQUAL 0 OR NOT EXISTS ${image})
        fail("quorl ${ARGN} -o ${image} failed (${r_rc}): ${r_err}")
    endif()
    set(r_err "${r_err}" PARENT_SCOPE)
endfunction()

# ---- the documents: the default one, and the limb with muscles on three layers
set(default_doc ${SCRATCH}/default.qrz)
execute_process(COMMAND ${CLI} new ${default_doc} RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "quorl-cli new failed: ${err}")
endif()
set(limb_doc ${EXAMPLES}/limb.qrz)

# ---- the help lists the mode
run_quorl(help --help)
if(NOT help_rc EQUAL 0 OR NOT help_out MATCHES "--render FILE.qrz -o OUT.tga"
   OR NOT help_out MATCHES "--shading")
    fail("quorl --help does not describe --render: ${help_out}${help_err}")
endif()

# ---- the default document at the default size, in each shading type
set(shadings point wire flat smooth)
foreach(doc default limb)
    foreach(shading IN LISTS shadings)
        set(image ${SCRATCH}/${doc}-${shading}.tga)
        render_ok(${image} --render ${${doc}_doc} --shading ${shading})
        image_size(${image} size)
        if(NOT size STREQUAL "400 300")
            fail("${image}: default size is ${size}, not 400 x 300")
        endif()
        # 24 bits a pixel, rows bottom first (descriptor bit 5 clear), no alpha bits.
        file(READ ${image} header LIMIT 18 HEX)
        string(SUBSTRING "${header}" 32 4 depth_and_descriptor)
        if(NOT depth_and_descriptor STREQUAL "1800")
            fail("${image}: pixel depth and descriptor are ${depth_and_descriptor}, not 24 bits bottom-up")
        endif()
        # The corners show the perspective background (black).
        foreach(corner "0;0" "399;0" "0;299" "399;299")
            list(GET corner 0 cx)
            list(GET corner 1 cy)
            pixel_rgb(${image} ${cx} ${cy} rgb)
            if(NOT rgb STREQUAL "0;0;0")
                fail("${image}: corner ${cx},${cy} is ${rgb}, not the black background")
            endif()
        endforeach()
    endforeach()
endforeach()

# The filled default object covers the middle in the default texture's colour: a lit
# green-grey, green strongest and red weakest as in the texture (65, 128, 96).
foreach(shading flat smooth)
    pixel_rgb(${SCRATCH}/default-${shading}.tga 200 150 rgb)
    list(GET rgb 0 r)
    list(GET rgb 1 g)
    list(GET rgb 2 b)
    if(NOT (g GREATER 40 AND g GREATER b AND b GREATER r))
        fail("default ${shading}: the centre pixel ${rgb} is not in the default texture's colour")
    endif()
    foreach(probe "170;150" "230;150" "200;120" "200;180")
        list(GET probe 0 px)
        list(GET probe 1 py)
        pixel_rgb(${SCRATCH}/default-${shading}.tga ${px} ${py} rgb)
        if(rgb STREQUAL "0;0;0")
            fail("default ${shading}: ${px},${py} near the middle shows the background")
        endif()
    endforeach()
endforeach()

# Every shading type gives its own image.
foreach(doc default limb)
    foreach(a IN LISTS shadings)
        foreach(b IN LISTS shadings)
            if(a STRLESS b)
                file(SHA256 ${SCRATCH}/${doc}-${a}.tga ha)
                file(SHA256 ${SCRATCH}/${doc}-${b}.tga hb)
                if(ha STREQUAL hb)
                    fail("${doc}: shading ${a} and ${b} render the same image")
                endif()
            endif()
        endforeach()
    endforeach()
endforeach()

# Without --shading the document's own shading (smooth for a new document) is used.
render_ok(${SCRATCH}/default-stored.tga --render ${default_doc})
file(SHA256 ${SCRATCH}/default-stored.tga h_stored)
file(SHA256 ${SCRATCH}/default-smooth.tga h_smooth)
if(NOT h_stored STREQUAL h_smooth)
    fail("without --shading the default document does not render in its stored smooth shading")
endif()

# ---- --size gives the size asked for, the object still in the middle
render_ok(${SCRATCH}/small.tga --size 64 48 --render ${default_doc})
image_size(${SCRATCH}/small.tga size)
if(NOT size STREQUAL "64 48")
    fail("--size 64 48 gave ${size}")
endif()
pixel_rgb(${SCRATCH}/small.tga 32 24 rgb)
pixel_rgb(${SCRATCH}/small.tga 0 0 bg)
if(rgb STREQUAL "0;0;0" OR NOT bg STREQUAL "0;0;0")
    fail("64 x 48: centre ${rgb}, corner ${bg}")
endif()
render_ok(${SCRATCH}/tall.tga --render ${limb_doc} --size 1 5000)
image_size(${SCRATCH}/tall.tga size)
if(NOT size STREQUAL "1 4096" OR NOT r_err MATCHES "at most 4096")
    fail("--size 1 5000 gave ${size} (${r_err}); expected 1 x 4096 and a note")
endif()

# ---- failures: non-zero status, a message, and no output file (nor a half one)
set(out ${SCRATCH}/never.tga)
# what | arguments | the message names | exit status
set(cases
    "missing document|--render,${SCRATCH}/no-such.qrz|no-such.qrz|2"
    "bad size|--render,${default_doc},--size,0,10|--size|1"
    "size not a number|--render,${default_doc},--size,wide,10|--size|1"
    "size with junk|--render,${default_doc},--size,10px,10|--size|1"
    "size missing a value|--render,${default_doc},--size,10|--size|1"
    "unknown shading|--render,${default_doc},--shading,glossy|--shading|1"
    "unknown option|--render,${default_doc},--fast|unknown option|1"
    "no output|--render,${default_doc}|-o|1"
    "no document|--render|document|1")
file(WRITE ${SCRATCH}/not-a-document.qrz "this is not a document")
list(APPEND cases
     "malformed document|--render,${SCRATCH}/not-a-document.qrz|not-a-document.qrz|2")
foreach(c IN LISTS cases)
    string(REPLACE "|" ";" parts "${c}")
    list(GET parts 0 what)
    list(GET parts 1 args)
    list(GET parts 2 expected)
    list(GET parts 3 status)
    string(REPLACE "," ";" args "${args}")
    if(what STREQUAL "no output" OR what STREQUAL "no document")
        run_quorl(e ${args})
    else()
        run_quorl(e ${args} -o ${out})
    endif()
    if(NOT e_rc STREQUAL status)
        fail("${what}: exit status ${e_rc}, expected ${status}")
    endif()
    # The document reader may add its own notes before the error line.
    if(NOT e_err MATCHES "(^|\n)quorl: [^\n]*${expected}")
        fail("${what}: message \"${e_err}\" does not say what is wrong (${expected})")
    endif()
    if(EXISTS ${out})
        fail("${what}: an output file was written")
    endif()
endforeach()

# An output in a folder that does not exist, and one in a read-only folder: failure, and
# an existing file there is left as it was.
run_quorl(e --render ${default_doc} -o ${SCRATCH}/no-such-folder/out.tga)
if(NOT e_rc STREQUAL "3" OR NOT e_err MATCHES "could not be written: [^\n]*No such file or directory")
    fail("unwritable output: status ${e_rc}, message ${e_err}")
endif()
file(MAKE_DIRECTORY ${SCRATCH}/locked)
file(WRITE ${SCRATCH}/locked/old.tga "old")
file(CHMOD ${SCRATCH}/locked PERMISSIONS OWNER_READ OWNER_EXECUTE)
run_quorl(e --render ${default_doc} -o ${SCRATCH}/locked/old.tga)
file(CHMOD ${SCRATCH}/locked PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
file(READ ${SCRATCH}/locked/old.tga old)
# root may write anywhere; the check then only requires the file to be whole.
if(e_rc EQUAL 0)
    image_size(${SCRATCH}/locked/old.tga size)
    if(NOT size STREQUAL "400 300")
        fail("read-only folder: status 0 but the file is not the whole image")
    endif()
elseif(NOT e_rc STREQUAL "3" OR NOT old STREQUAL "old" OR NOT e_err MATCHES "could not be written")
    fail("read-only folder: the old file was changed or the message is missing: ${e_err}")
endif()
