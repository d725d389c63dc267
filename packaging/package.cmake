# The Debian package of parvion2, built by CPack (scripts/package; the test
# package_unpacked packs the build tree it runs in). What the package
# depends on is found from the shared libraries the programs link
# (dpkg-shlibdeps).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME parvion2)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configure and monitor PV-GAS2 and PV-ENG2 flow computers")
set(PARVION_PACKAGE_MAINTAINER
  "parvion2 maintainers <maintainers@users.noreply.c-seed-d23abb09.example>"
  CACHE STRING "Maintainer field of the Debian package")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${PARVION_PACKAGE_MAINTAINER}")
# The extended description; CPack puts the summary above it as the synopsis.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "parvion2 configures and monitors the two-circuit flow computers PV-GAS2
(gas) and PV-ENG2 (energy) over RS-232: it identifies a device, reads and
writes its parameter set, edits parameter sets offline and keeps them in
files, shows the live values of both circuits, reads the error protocol,
integrators and trend memory, sets the clock, edits property and
saturation tables, runs the SGERG-88 plausibility check and prints the
parameter set, the terminal plan and a commissioning record.
.
The package holds the window program parvion2, the command-line program
parvion2-cli (for scripts, with JSON output) and the device simulator
parvion2-sim.")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window program finds Courier New's metric twin and Qt's German texts
# through these; they are data, not linked libraries.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation, qt6-translations-l10n")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
set(CPACK_STRIP_FILES TRUE)
include(CPack)
