# Debian's hardening of compiled code, as dpkg-buildflags gives it with every feature on:
# the stack protector, _FORTIFY_SOURCE, relocations read-only and bound at load (relro,
# bindnow), and position-independent executables. `make package` turns it on for build/;
# development builds leave it off, so that the sanitizer builds (which fortify disturbs)
# and ccache's cached objects keep their flags.
option(RELPERM_HARDENING "Compile and link with the hardening flags of dpkg-buildflags" OFF)

# The programs are stripped on install (cmake --install --strip, and CPack) as dh_strip
# strips them: also of the .comment and .note sections, the compiler's version strings.
set(CMAKE_STRIP ${PROJECT_SOURCE_DIR}/cmake/strip-for-install)

if(NOT RELPERM_HARDENING)
    return()
endif()
find_program(DPKG_BUILDFLAGS dpkg-buildflags REQUIRED)
foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
    execute_process(
        COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
                ${DPKG_BUILDFLAGS} --get ${kind}
        OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    separate_arguments(flags UNIX_COMMAND "${flags}")
    # The build type chooses the optimisation and the debug information; the source path is
    # mapped from where the sources are, not from where dpkg-buildflags ran.
    list(FILTER flags EXCLUDE REGEX "^-O|^-g$|^-ffile-prefix-map=")
    set(hardening_${kind} ${flags})
endforeach()
add_compile_options(${hardening_CPPFLAGS} ${hardening_CXXFLAGS}
                    -ffile-prefix-map=${PROJECT_SOURCE_DIR}=.)
add_link_options(${hardening_LDFLAGS})
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
include(CheckPIESupported)
check_pie_supported(LANGUAGES CXX)
message(STATUS "Hardening: ${hardening_CPPFLAGS} ${hardening_CXXFLAGS} ${hardening_LDFLAGS} -pie")
