# The development files of `cmake --install`: the headers a host needs, the
# exported targets (qvt::standard ... qvt::dhcp_eval, and the modules as
# qvt::dhcp_eval_module and qvt::system_bus_module) with
# dhcp_evalConfig.cmake and its version file, and dhcp_eval.pc:
#
#   find_package(dhcp_eval 0.1 REQUIRED)
#   target_link_libraries(server PRIVATE qvt::dhcp_eval)
#   # the module to load: $<TARGET_FILE:qvt::dhcp_eval_module>
#
#   c++ server.cpp $(pkg-config --cflags --libs dhcp_eval)
include(CMakePackageConfigHelpers)

# The headers a host includes: the plugin and factory interfaces, the host
# interfaces, the engine and its values and exceptions. What they include is
# installed with them (qvt_header_closure).
set(QVT_HOST_HEADERS
  class_a/extended/CPlugin.h
  class_a/extended/PluginExports.h
  class_a/standard/CIHostContext.h
  class_a/standard/CILogger.h
  class_a/standard/CException.h
  class_a/standard/CVariant.h
  class_a/exp_eval/CExpEval.h
  class_a/exp_eval/CExpression.h
  class_a/exp_eval/CSyntaxTreeProxy.h
  class_a/prst_generic/CIKeyValueStore.h
  class_a/prst_generic/CPrstKeyValue.h
  class_b/dhcp/dhcp_base/COption.h
  class_b/dhcp/dhcp_base/CValueTypeConverter.h
  class_b/dhcp/dhcp_base/CVendorAttributes.h
  class_b/dhcp/dhcp_base/CVendorLookup.h
  class_b/dhcp/dhcp_eval/CIDHCPEval.h
  class_b/dhcp/dhcp_eval/CIDHCPEvalFactory.h
  class_b/dhcp/dhcp_eval/CIDHCPProvisioner.h
  class_b/dhcp/dhcp_eval/CIServerObject.h
  class_b/dhcp/dhcp_eval/CNodeContext.h
  class_b/dhcp/dhcp_eval/COutputContext.h
  class_b/dhcp/dhcp_eval/CProtocolContext.h
  class_b/dhcp/dhcp_eval/CProvisioned.h)

# qvt_header_closure(OUT HEADER...)
# HEADER... (paths from the repository root) and every header they include
# by such a path, transitively, in OUT. Each header read is a configure
# dependency, so a changed include is seen at the next build. Only the
# libraries under class_a/ and class_b/ are installed: a header that
# includes anything else stops the configuration.
function(qvt_header_closure out)
  set(pending ${ARGN})
  set(seen)
  while(pending)
    list(POP_FRONT pending header)
    if(header IN_LIST seen)
      continue()
    endif()
    if(NOT header MATCHES "^class_[ab]/" OR NOT EXISTS ${PROJECT_SOURCE_DIR}/${header})
      message(FATAL_ERROR "Installed headers include '${header}', which is no header of an "
                          "installed library (class_a/, class_b/).")
    endif()
    list(APPEND seen ${header})
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${header})
    file(STRINGS ${PROJECT_SOURCE_DIR}/${header} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\".*" "\\1" included "${line}")
      list(APPEND pending ${included})
    endforeach()
  endwhile()
  list(SORT seen)
  set(${out} ${seen} PARENT_SCOPE)
endfunction()

qvt_header_closure(installed_headers ${QVT_HOST_HEADERS})
foreach(header IN LISTS installed_headers)
  get_filename_component(folder ${header} DIRECTORY)
  install(FILES ${header} DESTINATION ${QVT_INSTALL_INCLUDEDIR}/${folder})
endforeach()

install(EXPORT dhcp_evalTargets NAMESPACE qvt:: DESTINATION ${QVT_INSTALL_CMAKEDIR})
configure_package_config_file(cmake/dhcp_evalConfig.cmake.in
  ${PROJECT_BINARY_DIR}/dhcp_evalConfig.cmake
  INSTALL_DESTINATION ${QVT_INSTALL_CMAKEDIR}
  PATH_VARS QVT_INSTALL_MODULEDIR QVT_INSTALL_DICTIONARYDIR QVT_INSTALL_INCLUDEDIR)
# 0.x: a minor version may break the interfaces.
write_basic_package_version_file(${PROJECT_BINARY_DIR}/dhcp_evalConfigVersion.cmake
  COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/dhcp_evalConfig.cmake
  ${PROJECT_BINARY_DIR}/dhcp_evalConfigVersion.cmake cmake/FindACE.cmake
  DESTINATION ${QVT_INSTALL_CMAKEDIR})

# dhcp_eval.pc finds its prefix from its own place, so the installed tree can
# be moved (or installed with `cmake --install --prefix`).
file(RELATIVE_PATH QVT_PC_PREFIX_FROM_PCFILEDIR
  ${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR}/pkgconfig ${CMAKE_INSTALL_PREFIX})
string(REGEX REPLACE "/$" "" QVT_PC_PREFIX_FROM_PCFILEDIR "${QVT_PC_PREFIX_FROM_PCFILEDIR}")
configure_file(cmake/dhcp_eval.pc.in ${PROJECT_BINARY_DIR}/dhcp_eval.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/dhcp_eval.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
