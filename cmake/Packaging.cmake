# The Debian packages, made by CPack from what `cmake --install` lays out, one package per
# install component: `make package` (or `cpack -G DEB` in the build folder). The programs
# are stripped on the way in (cmake/strip-for-install); the build tree keeps its debug
# information. Each package's dependencies are computed from its programs by
# dpkg-shlibdeps, so the command line's package needs no Qt.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${RELPERM_PACKAGE_suite})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Relative Permeability Suite maintainers")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(RELPERM_MAINTAINER
    "Relative Permeability Suite maintainers <maintainers@users.noreply.c-seed-65066c55.example>"
    CACHE STRING "Maintainer field of the Debian packages")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${RELPERM_MAINTAINER})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${RELPERM_HOMEPAGE})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)

# What every description holds; Debian's description lines stay below 80 characters (CPack
# indents each line after the synopsis, and writes a line "." as Debian's empty line).
set(suite_text
    "Reservoir engineers describe how two fluids flow together through rock
with relative permeability curves. The suite makes such curves from
published correlations, browses curves measured in the laboratory, and
writes both as tables for reservoir simulators.")

set(CPACK_DEBIAN_RELPERM_PACKAGE_NAME ${RELPERM_PACKAGE_relperm})
set(CPACK_DEBIAN_RELPERM_DESCRIPTION
    "relative permeability tables from the command line
${suite_text}
.
This package holds relperm, the command line: tables from correlations,
the measured-data files, Corey and LET fits, low/base/high
recommendations, simulator include files and their checks. It needs no
window system.")

set(CPACK_DEBIAN_SUITE_PACKAGE_NAME ${RELPERM_PACKAGE_suite})
# The windows draw with Qt's platform plugins, which no library dependency brings in; the
# desktop entries start in the demo database's folder.
set(CPACK_DEBIAN_SUITE_PACKAGE_DEPENDS "qt6-qpa-plugins, ${RELPERM_PACKAGE_demo} (= ${PROJECT_VERSION})")
set(CPACK_DEBIAN_SUITE_PACKAGE_RECOMMENDS ${RELPERM_PACKAGE_relperm})
set(CPACK_DEBIAN_SUITE_DESCRIPTION
    "relative permeability calculator and measured-data browser
${suite_text}
.
This package holds the windows: the calculator (vomar), the browser of
measured data sets (pellam) and the launcher (ostilo).")

set(CPACK_DEBIAN_DEMO_PACKAGE_NAME ${RELPERM_PACKAGE_demo})
set(CPACK_DEBIAN_DEMO_PACKAGE_ARCHITECTURE all) # the record files are little-endian throughout
set(CPACK_DEBIAN_DEMO_DESCRIPTION
    "demo database of the relative permeability suite
${suite_text}
.
This package holds the demo database: measured water-oil, gas-oil,
gas-water and gas-condensate data sets, and the CSV files they are
imported from.")

set(CPACK_COMPONENTS_ALL relperm suite demo)

# The Python module (python/, component python), when it is built: its package takes the
# copyright and changelog here, and depends on the Python it was built for and on numpy,
# which no library dependency names.
if(TARGET relperm_python)
    install(FILES ${PROJECT_SOURCE_DIR}/data/package/copyright
                  ${CMAKE_BINARY_DIR}/data/package/compressed/changelog.gz
            DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${RELPERM_PACKAGE_python} COMPONENT python)
    list(APPEND CPACK_COMPONENTS_ALL python)
    set(CPACK_DEBIAN_PYTHON_PACKAGE_NAME ${RELPERM_PACKAGE_python})
    set(CPACK_DEBIAN_PYTHON_PACKAGE_SECTION python)
    find_package(Python 3.9 REQUIRED COMPONENTS Interpreter) # python/'s, from the cache
    math(EXPR next_minor "${Python_VERSION_MINOR} + 1")
    set(CPACK_DEBIAN_PYTHON_PACKAGE_DEPENDS
        "python3 (>= ${Python_VERSION_MAJOR}.${Python_VERSION_MINOR}), python3 (<< ${Python_VERSION_MAJOR}.${next_minor}), python3-numpy")
    set(CPACK_DEBIAN_PYTHON_DESCRIPTION
        "relative permeability suite for Python
${suite_text}
.
This package holds the Python 3 module relperm, over the same libraries
as the command line.")
endif()
include(CPack)
