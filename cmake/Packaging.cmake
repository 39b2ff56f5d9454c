# The Debian package of the suite, made by CPack from what `cmake --install` lays out:
# `make package` (or `cpack -G DEB` in the build folder). The programs are stripped on the
# way into the package; the build tree keeps its debug information. The package's
# dependencies are computed from the programs by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${RELPERM_PACKAGE_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Relative Permeability Suite maintainers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "relative permeability tables from correlations and laboratory data")
# Debian's description lines stay below 80 characters.
set(CPACK_PACKAGE_DESCRIPTION
    "Reservoir engineers describe how two fluids flow together through rock
with relative permeability curves. The suite makes such curves from
published correlations, browses curves measured in the laboratory, and
writes both as tables for reservoir simulators.
.
The package holds the calculator (vomar), the browser of measured data
sets (pellam), the launcher (ostilo), the command line (relperm) and a
demo database.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(RELPERM_MAINTAINER
    "Relative Permeability Suite maintainers <maintainers@users.noreply.c-seed-65066c55.example>"
    CACHE STRING "Maintainer field of the Debian package")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${RELPERM_MAINTAINER})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${RELPERM_HOMEPAGE})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The windows draw with Qt's platform plugins, which no library dependency brings in.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
include(CPack)
