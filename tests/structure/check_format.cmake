# Fails when a source or test file differs from the project's .clang-format layout.
# Run as: cmake -DCLANG_FORMAT=<program> -DROOT=<repo> -P <this file>
cmake_minimum_required(VERSION 3.25)
file(GLOB_RECURSE files ${ROOT}/src/*.h ${ROOT}/src/*.cpp ${ROOT}/tests/*.h ${ROOT}/tests/*.cpp)
execute_process(COMMAND ${CLANG_FORMAT} --dry-run --Werror ${files}
                RESULT_VARIABLE result ERROR_VARIABLE output)
list(LENGTH files count)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${output}\nFormat these files with `make format`.")
endif()
message(STATUS "${count} files formatted as .clang-format says")
