# Where `cmake --install` puts things (GNU install directories), and where the
# installed programs find their modules and dictionaries: as paths relative
# to the directory of the program, so an installed tree can be moved.
#
#   bin/dhcp-eval, bin/dhcp-eval-host              QVT_INSTALL_BINDIR
#   lib/dhcp_eval/{dhcp_eval,system_bus}.so        QVT_INSTALL_MODULEDIR
#   share/dhcp_eval/dictionaries/*.defs            QVT_INSTALL_DICTIONARYDIR
#   include/dhcp_eval/class_a/..., class_b/...     QVT_INSTALL_INCLUDEDIR
#   lib/libqvt_*.a                                 CMAKE_INSTALL_LIBDIR
#   lib/cmake/dhcp_eval/, lib/pkgconfig/           QVT_INSTALL_CMAKEDIR
#   share/man/man1/dhcp-eval.1                     CMAKE_INSTALL_MANDIR
include(GNUInstallDirs)

set(QVT_INSTALL_BINDIR ${CMAKE_INSTALL_BINDIR})
set(QVT_INSTALL_MODULEDIR ${CMAKE_INSTALL_LIBDIR}/dhcp_eval)
set(QVT_INSTALL_DICTIONARYDIR ${CMAKE_INSTALL_DATADIR}/dhcp_eval/dictionaries)
set(QVT_INSTALL_INCLUDEDIR ${CMAKE_INSTALL_INCLUDEDIR}/dhcp_eval)
set(QVT_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/dhcp_eval)

# QVT_MODULE_DIR_FROM_BIN, QVT_DICTIONARY_DIR_FROM_BIN: the module and
# dictionary directories seen from the program directory ("../lib/dhcp_eval").
file(RELATIVE_PATH QVT_MODULE_DIR_FROM_BIN ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_PREFIX}/${QVT_INSTALL_MODULEDIR})
file(RELATIVE_PATH QVT_DICTIONARY_DIR_FROM_BIN ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_PREFIX}/${QVT_INSTALL_DICTIONARYDIR})
# QVT_DICTIONARY_DIR_FROM_MODULE: the dictionaries seen from the module
# directory, for hosts that know only where the module is (the Kea hook);
# "../../share/dhcp_eval/dictionaries", one more "../" with a multiarch libdir.
file(RELATIVE_PATH QVT_DICTIONARY_DIR_FROM_MODULE ${CMAKE_INSTALL_PREFIX}/${QVT_INSTALL_MODULEDIR}
     ${CMAKE_INSTALL_PREFIX}/${QVT_INSTALL_DICTIONARYDIR})
