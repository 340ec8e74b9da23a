# FindKea: the development files of ISC Kea (Debian's kea-dev): headers under
# <prefix>/include/kea and the libkea-* shared libraries.
#
#   find_package(Kea 2.2)
#   target_link_libraries(prog PRIVATE Kea::Kea)
#
# Sets Kea_FOUND, Kea_VERSION (from config.h's PACKAGE_VERSION),
# Kea_INCLUDE_DIR and Kea_LIBRARIES, and defines the imported target Kea::Kea
# with the include directory (as a system directory, since Kea's headers are
# not warning-clean), the Boost headers they need and these libraries:
# kea-eval, kea-dhcp++, kea-asiolink, kea-log, kea-util, kea-exceptions.
# Kea::Hooks adds what a hook library links: kea-hooks and kea-cc (the
# configuration elements of a hook's parameters).
#
# Kea's eval/parser.h includes a bison "location.hh" that kea-dev does not
# ship; a user of eval/ must generate one (see bench/kea).

find_path(Kea_INCLUDE_DIR NAMES eval/eval_context.h PATH_SUFFIXES kea)
find_path(Kea_Boost_INCLUDE_DIR NAMES boost/shared_ptr.hpp)

set(_kea_components eval dhcp++ asiolink log util exceptions)
set(_kea_hook_components hooks cc)
set(Kea_LIBRARIES)
set(_kea_library_vars)
foreach(_component IN LISTS _kea_components)
  string(MAKE_C_IDENTIFIER "${_component}" _id)
  find_library(Kea_${_id}_LIBRARY NAMES kea-${_component})
  list(APPEND _kea_library_vars Kea_${_id}_LIBRARY)
  list(APPEND Kea_LIBRARIES ${Kea_${_id}_LIBRARY})
endforeach()
set(Kea_HOOK_LIBRARIES)
foreach(_component IN LISTS _kea_hook_components)
  string(MAKE_C_IDENTIFIER "${_component}" _id)
  find_library(Kea_${_id}_LIBRARY NAMES kea-${_component})
  list(APPEND _kea_library_vars Kea_${_id}_LIBRARY)
  list(APPEND Kea_HOOK_LIBRARIES ${Kea_${_id}_LIBRARY})
endforeach()

if(Kea_INCLUDE_DIR AND EXISTS "${Kea_INCLUDE_DIR}/config.h")
  file(STRINGS "${Kea_INCLUDE_DIR}/config.h" _kea_version_line
       REGEX "^#define PACKAGE_VERSION \"[^\"]*\"")
  string(REGEX REPLACE "^#define PACKAGE_VERSION \"([^\"]*)\".*" "\\1" Kea_VERSION
         "${_kea_version_line}")
endif()

include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(Kea
  REQUIRED_VARS Kea_INCLUDE_DIR Kea_Boost_INCLUDE_DIR ${_kea_library_vars}
  VERSION_VAR Kea_VERSION)

if(Kea_FOUND AND NOT TARGET Kea::Kea)
  add_library(Kea::Kea INTERFACE IMPORTED)
  set_target_properties(Kea::Kea PROPERTIES
    INTERFACE_SYSTEM_INCLUDE_DIRECTORIES "${Kea_INCLUDE_DIR};${Kea_Boost_INCLUDE_DIR}"
    INTERFACE_INCLUDE_DIRECTORIES "${Kea_INCLUDE_DIR};${Kea_Boost_INCLUDE_DIR}"
    INTERFACE_LINK_LIBRARIES "${Kea_LIBRARIES}")
endif()
if(Kea_FOUND AND NOT TARGET Kea::Hooks)
  add_library(Kea::Hooks INTERFACE IMPORTED)
  set_target_properties(Kea::Hooks PROPERTIES
    INTERFACE_LINK_LIBRARIES "Kea::Kea;${Kea_HOOK_LIBRARIES}")
endif()

mark_as_advanced(Kea_INCLUDE_DIR Kea_Boost_INCLUDE_DIR ${_kea_library_vars})
unset(_kea_components)
unset(_kea_hook_components)
unset(_kea_library_vars)
