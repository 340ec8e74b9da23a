# FindACE: the ADAPTIVE Communication Environment (Debian's libace-dev).
#
#   find_package(ACE REQUIRED)
#   target_link_libraries(prog PRIVATE ACE::ACE)
#
# Sets ACE_FOUND, ACE_INCLUDE_DIR and ACE_LIBRARY, and defines the imported
# target ACE::ACE with the include directory (as a system directory) and the
# thread library. Installed beside dhcp_evalConfig.cmake, so that a project
# linking the installed libraries finds ACE the same way.

find_path(ACE_INCLUDE_DIR NAMES ace/ACE.h)
find_library(ACE_LIBRARY NAMES ACE)

include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(ACE REQUIRED_VARS ACE_LIBRARY ACE_INCLUDE_DIR)

if(ACE_FOUND AND NOT TARGET ACE::ACE)
  find_package(Threads REQUIRED)
  add_library(ACE::ACE UNKNOWN IMPORTED)
  set_target_properties(ACE::ACE PROPERTIES
    IMPORTED_LOCATION "${ACE_LIBRARY}"
    INTERFACE_INCLUDE_DIRECTORIES "${ACE_INCLUDE_DIR}"
    INTERFACE_SYSTEM_INCLUDE_DIRECTORIES "${ACE_INCLUDE_DIR}"
    INTERFACE_LINK_LIBRARIES Threads::Threads)
endif()

mark_as_advanced(ACE_INCLUDE_DIR ACE_LIBRARY)
