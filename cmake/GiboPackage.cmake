# The Debian package (cpack -G DEB in a build configured with -DCMAKE_INSTALL_PREFIX=/usr):
# the library, headers, CMake package, gibo.pc, the tool, its manual page and completion, as
# one package gibo_VERSION_ARCH.deb. Depends comes from dpkg-shlibdeps over the binaries.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME gibo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "gibo maintainers <gibo@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Go game records: library and command-line tool")
set(CPACK_PACKAGE_DESCRIPTION
  "Reads and writes Go game records in the \\HS...\\HE / \\GS...\\GE container and turns their game information into display text. The gibo tool shows, edits and checks records, detecting the code page of their header values.")
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# A shlibs file for packages built against this one, and the ldconfig trigger.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
set(CPACK_STRIP_FILES ON)
include(CPack)
