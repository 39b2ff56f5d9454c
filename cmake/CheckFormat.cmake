# Fails when a C++ source of the project differs from what clang-format makes of it.
# Run as: cmake -DSOURCE_DIR=... -DCLANG_FORMAT=... -P CheckFormat.cmake
file(GLOB_RECURSE sources
    ${SOURCE_DIR}/common/*.cpp ${SOURCE_DIR}/common/*.h
    ${SOURCE_DIR}/calculator/*.cpp ${SOURCE_DIR}/calculator/*.h
    ${SOURCE_DIR}/database/*.cpp ${SOURCE_DIR}/database/*.h
    ${SOURCE_DIR}/analysis/*.cpp ${SOURCE_DIR}/analysis/*.h
    ${SOURCE_DIR}/satfunc/*.cpp ${SOURCE_DIR}/satfunc/*.h
    ${SOURCE_DIR}/launcher/*.cpp ${SOURCE_DIR}/launcher/*.h
    ${SOURCE_DIR}/ui/*.cpp ${SOURCE_DIR}/ui/*.h
    ${SOURCE_DIR}/shell/*.cpp ${SOURCE_DIR}/shell/*.h
    ${SOURCE_DIR}/deck/*.cpp ${SOURCE_DIR}/deck/*.h
    ${SOURCE_DIR}/cli/*.cpp ${SOURCE_DIR}/cli/*.h
    ${SOURCE_DIR}/python/*.cpp ${SOURCE_DIR}/python/*.h
    ${SOURCE_DIR}/tests/*.cpp ${SOURCE_DIR}/tests/*.h
    ${SOURCE_DIR}/bench/*.cpp ${SOURCE_DIR}/bench/*.h)
execute_process(COMMAND ${CLANG_FORMAT} --dry-run --Werror ${sources}
    RESULT_VARIABLE result ERROR_VARIABLE messages)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "clang-format would change these files (run clang-format -i on them):\n${messages}")
endif()
