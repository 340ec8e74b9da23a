# Install.ConsumerProject (cmake -P): installs BUILD_DIR into a fresh prefix
# under WORK_DIR and checks the installed tree the way a user meets it.
# Arguments: BUILD_DIR, SOURCE_DIR, WORK_DIR, CXX, LAUNCHER (may be empty),
# BINDIR, LIBDIR, DICTIONARYDIR, MANDIR (the GNU install directories).
set(prefix ${WORK_DIR}/prefix)
set(consumer_build ${WORK_DIR}/build)

# run(VAR COMMAND...): runs COMMAND, stops the test when it fails, and puts
# what it printed in VAR.
function(run var)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT status EQUAL 0)
    string(REPLACE ";" " " shown "${ARGN}")
    message(FATAL_ERROR "failed (${status}): ${shown}\n${out}")
  endif()
  set(${var} "${out}" PARENT_SCOPE)
endfunction()

# expect(TEXT EXPECTED WHAT): TEXT contains EXPECTED.
function(expect text expected what)
  string(FIND "${text}" "${expected}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "${what}: expected '${expected}' in:\n${text}")
  endif()
endfunction()

file(REMOVE_RECURSE ${WORK_DIR})
run(out ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})
foreach(file
    ${BINDIR}/dhcp-eval ${BINDIR}/dhcp-eval-host
    ${LIBDIR}/dhcp_eval/dhcp_eval.so ${LIBDIR}/dhcp_eval/system_bus.so
    ${DICTIONARYDIR}/dhcp4.defs ${DICTIONARYDIR}/dhcp6.defs ${DICTIONARYDIR}/vendors.defs
    ${MANDIR}/man1/dhcp-eval.1
    ${LIBDIR}/cmake/dhcp_eval/dhcp_evalConfig.cmake
    ${LIBDIR}/cmake/dhcp_eval/dhcp_evalConfigVersion.cmake
    ${LIBDIR}/pkgconfig/dhcp_eval.pc
    include/dhcp_eval/class_b/dhcp/dhcp_eval/CIDHCPEvalFactory.h)
  if(NOT EXISTS ${prefix}/${file})
    message(FATAL_ERROR "not installed: ${file}")
  endif()
endforeach()
# Only the headers of the installed libraries, never the host's or tests'.
file(GLOB stray ${prefix}/include/dhcp_eval/host ${prefix}/include/dhcp_eval/tools
     ${prefix}/include/dhcp_eval/tests)
if(stray)
  message(FATAL_ERROR "installed headers that are no library's: ${stray}")
endif()

# The consumer project, through find_package.
set(launcher)
if(LAUNCHER)
  set(launcher -DCMAKE_CXX_COMPILER_LAUNCHER=${LAUNCHER})
endif()
run(out ${CMAKE_COMMAND} -S ${SOURCE_DIR}/tests/install/consumer -B ${consumer_build}
    -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_CXX_COMPILER=${CXX} ${launcher})
run(out ${CMAKE_COMMAND} --build ${consumer_build} -j2)
run(out ${consumer_build}/consumer)
expect("${out}" "consumer: ok" "the consumer built with find_package")

# The same program through pkg-config.
set(ENV{PKG_CONFIG_PATH} ${prefix}/${LIBDIR}/pkgconfig)
run(cflags pkg-config --cflags dhcp_eval)
run(libs pkg-config --libs dhcp_eval)
run(moduledir pkg-config --variable=moduledir dhcp_eval)
separate_arguments(cflags UNIX_COMMAND "${cflags}")
separate_arguments(libs UNIX_COMMAND "${libs}")
string(STRIP "${moduledir}" moduledir)
run(out ${LAUNCHER} ${CXX} -std=c++17 ${cflags} "-DDHCP_EVAL_MODULE=\"${moduledir}/dhcp_eval.so\""
    ${SOURCE_DIR}/tests/install/consumer/consumer.cpp -o ${WORK_DIR}/consumer-pkg-config ${libs} -ldl)
run(out ${WORK_DIR}/consumer-pkg-config)
expect("${out}" "consumer: ok" "the consumer built with pkg-config")

# The installed dhcp-eval loads the installed module (the build tree is not
# reachable from the prefix) and reads the installed dictionaries: a name
# changed there shows in its output.
unset(ENV{DHCP_EVAL_DICTIONARIES})
set(dhcp4_defs ${prefix}/${DICTIONARYDIR}/dhcp4.defs)
file(READ ${dhcp4_defs} definitions)
string(REPLACE "name=chaddr\n" "name=chaddr-installed\n" definitions "${definitions}")
file(WRITE ${dhcp4_defs} "${definitions}")
run(out ${prefix}/${BINDIR}/dhcp-eval "$LEFT('abc', 1)" "$HWADDR")
expect("${out}" "string \"a\"\nunknown\n" "the installed dhcp-eval")
run(out ${prefix}/${BINDIR}/dhcp-eval --dump ${SOURCE_DIR}/examples/dhcp4-exchange.pcap)
expect("${out}" "-30 chaddr-installed (byte_sequence)" "the installed dictionaries")
run(out ${prefix}/${BINDIR}/dhcp-eval-host)
expect("${out}" "Running plugins: 2 of 2" "the installed dhcp-eval-host")
message(STATUS "installed tree, consumer project and installed programs: ok")
