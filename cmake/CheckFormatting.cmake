# Fails when a source file differs from what the repository's .clang-format makes of it.
#   ROOT          the source tree
#   CLANG_FORMAT  the clang-format program
cmake_minimum_required(VERSION 3.25)
set(globs)
foreach(folder IN ITEMS platform graph plot output program ui app tests bench fuzz tools share)
    list(APPEND globs "${ROOT}/${folder}/*.h" "${ROOT}/${folder}/*.cpp")
endforeach()
file(GLOB_RECURSE files LIST_DIRECTORIES false ${globs})
list(SORT files)
execute_process(COMMAND "${CLANG_FORMAT}" --dry-run --Werror ${files}
                WORKING_DIRECTORY "${ROOT}"
                RESULT_VARIABLE result
                ERROR_VARIABLE complaints)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "Not formatted as .clang-format says (run clang-format -i):\n${complaints}")
endif()
list(LENGTH files count)
message(STATUS "${count} files formatted")
