# The project's building blocks: one static library per source folder, test
# programs, and the header fence between the libraries.
#
# Headers are included by their path from the repository root
# ("class_a/standard/CVariant.h"), but no target sees the repository root.
# Each library links the .h files of its own folder (not of its subfolders)
# into a staging directory of its own, build/include/<target>/<folder>/, and
# offers that directory to itself and to the targets that link it. So a
# library can include the headers of the libraries it names in DEPS (and of
# theirs), and a header of any other library fails to build as "No such
# file". Headers added to a folder are linked in at the next build.

include(GNUInstallDirs)

# qvt_stage_headers(STAGE FOLDER)
# Links the .h files of FOLDER (relative to the repository root) into
# build/include/STAGE/FOLDER and sets qvt_stage_dir in the caller to
# build/include/STAGE.
function(qvt_stage_headers stage folder)
  set(root ${PROJECT_BINARY_DIR}/include/${stage})
  file(GLOB headers CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${folder}/*.h)
  # Built afresh at every configure, so a removed header disappears too.
  file(REMOVE_RECURSE ${root}/${folder})
  file(MAKE_DIRECTORY ${root}/${folder})
  foreach(header IN LISTS headers)
    get_filename_component(name ${header} NAME)
    file(CREATE_LINK ${header} ${root}/${folder}/${name} SYMBOLIC)
  endforeach()
  set(qvt_stage_dir ${root} PARENT_SCOPE)
endfunction()

# qvt_library(NAME [DEPS dep...] [EXPORT])
# Declares the static library of the current source folder from every .cpp in
# it (an interface library when there is none), with its staged headers and
# the alias qvt::<NAME without "qvt_">. DEPS are linked publicly: a library
# whose headers include another's must name it. EXPORT makes the library part
# of the installed development files (dhcp_evalConfig.cmake); its DEPS must
# then be exported too.
function(qvt_library name)
  cmake_parse_arguments(ARG "EXPORT" "" "DEPS" ${ARGN})
  file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  qvt_stage_headers(${name} ${folder})
  string(REGEX REPLACE "^qvt_" "" short ${name})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  set(scope PUBLIC)
  if(sources)
    add_library(${name} STATIC ${sources})
  else()
    add_library(${name} INTERFACE)
    set(scope INTERFACE)
  endif()
  add_library(qvt::${short} ALIAS ${name})
  target_include_directories(${name} ${scope}
    $<BUILD_INTERFACE:${qvt_stage_dir}>
    $<INSTALL_INTERFACE:${QVT_INSTALL_INCLUDEDIR}>)
  target_link_libraries(${name} ${scope} ${ARG_DEPS})
  if(ARG_EXPORT)
    set_target_properties(${name} PROPERTIES EXPORT_NAME ${short})
    install(TARGETS ${name} EXPORT dhcp_evalTargets
      ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
  endif()
endfunction()

# qvt_program_headers(TARGET [FOLDER])
# The headers of a program's own folder (FOLDER, relative to the repository
# root; default: the current source folder), staged for TARGET alone.
function(qvt_program_headers target)
  if(ARGC GREATER 1)
    set(folder ${ARGV1})
  else()
    file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  endif()
  qvt_stage_headers(${target} ${folder})
  target_include_directories(${target} PRIVATE ${qvt_stage_dir})
endfunction()

# qvt_test(NAME [DEPS dep...] [LABELS label...])
# One GoogleTest executable from every .cpp of the current test folder,
# registered with CTest test by test, each test with the given CTest labels.
# Test headers are included by their path below tests/ ("tools/CommandRunner.h")
# or from the test's own folder.
function(qvt_test name)
  cmake_parse_arguments(ARG "" "" "DEPS;LABELS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    DHCP_EVAL_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    DHCP_EVAL_BINARY_DIR="${PROJECT_BINARY_DIR}")
  set(properties TIMEOUT 300)
  if(ARG_LABELS)
    list(APPEND properties LABELS "${ARG_LABELS}")
  endif()
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES ${properties})
endfunction()
