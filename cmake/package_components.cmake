# Read by cpack for each kind of package: the Debian package takes the
# files laid out for the system (/usr/...), with the program stripped as
# Debian wants it; the archives the folder of the program, as tested.
if(CPACK_GENERATOR STREQUAL "DEB")
  set(CPACK_COMPONENTS_ALL deb)
  set(CPACK_DEB_COMPONENT_INSTALL ON)
  set(CPACK_DEBIAN_DEB_PACKAGE_NAME tratta-valle3)
  set(CPACK_DEBIAN_DEB_FILE_NAME DEB-DEFAULT)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_STRIP_FILES ON)
else()
  set(CPACK_COMPONENTS_ALL archive)
  set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
  set(CPACK_ARCHIVE_ARCHIVE_FILE_NAME ${CPACK_PACKAGE_FILE_NAME})
  set(CPACK_COMPONENT_INCLUDE_TOPLEVEL_DIRECTORY ON)
endif()
