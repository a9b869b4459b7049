# Install rules: the shared library with its SONAME, the public headers in include/gibo, a CMake
# package (find_package(gibo) gives gibo::gibo) with a version file, and gibo.pc. Both package
# files locate the prefix from where they are installed, so a copied prefix still works.
include(CMakePackageConfigHelpers)

set(GIBO_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/gibo)

install(TARGETS gibo EXPORT giboTargets
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(FILES ${GIBO_PUBLIC_HEADERS} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/gibo)
install(EXPORT giboTargets NAMESPACE gibo:: DESTINATION ${GIBO_CMAKE_DIR})

configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/giboConfig.cmake.in
  ${PROJECT_BINARY_DIR}/giboConfig.cmake INSTALL_DESTINATION ${GIBO_CMAKE_DIR})
# Within a major version the exported classes keep their layout and members.
write_basic_package_version_file(${PROJECT_BINARY_DIR}/giboConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/giboConfig.cmake ${PROJECT_BINARY_DIR}/giboConfigVersion.cmake
  DESTINATION ${GIBO_CMAKE_DIR})

file(RELATIVE_PATH GIBO_PC_TO_PREFIX
  /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
string(REGEX REPLACE "/$" "" GIBO_PC_TO_PREFIX "${GIBO_PC_TO_PREFIX}")
configure_file(${PROJECT_SOURCE_DIR}/cmake/gibo.pc.in ${PROJECT_BINARY_DIR}/gibo.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/gibo.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
include(GiboPackage)
