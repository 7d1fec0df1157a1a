# The Debian package: `cpack -G DEB` in the build directory writes
# celltrend_VERSION_ARCH.deb holding what `cmake --install` installs, under
# /usr.  Name, version and summary come from project(); the dependencies on
# shared libraries are found by dpkg-shlibdeps in the programs themselves.
set(CELLTREND_MAINTAINER "celltrend maintainers <maintainers@celltrend.invalid>"
    CACHE STRING "Maintainer field of the Debian package: Name <e-mail>")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${PROJECT_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY ${PROJECT_DESCRIPTION})
set(CPACK_PACKAGE_DESCRIPTION [=[
celltrend reads the HTML reports that a data-collection program writes for
each temperature of a series, one crystal measured at several temperatures,
and writes the unit cell, volume and mosaicity with their standard
deviations against temperature, as one table or one plot file per quantity.

xyviewer draws those plot files with a weighted straight-line fit.
celltrend-analyse derives the principal axes and coefficients of thermal
expansion with their uncertainties, re-expresses the cells and their ESDs
in new axes, and exports the series for strain calculators, EosFit and
spreadsheets.]=])
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${CELLTREND_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(TARGET xyviewer)
  # PLplot loads its output devices as plugins, which dpkg-shlibdeps cannot
  # see: cairo draws PNG, PDF and the window's picture (the window itself is
  # plain X11, which shlibdeps does see).
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "plplot-driver-cairo")
endif()

include(CPack)
