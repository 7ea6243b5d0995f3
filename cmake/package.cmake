# What `cmake --install` and `cpack -G DEB` put where. Hosts link only liborvo-invoice.so, whose
# exported symbols are the C interface alone; orvo_shared and the modules stay private in
# lib/<triplet>/orvo-invoice/, found through RUNPATHs relative to each file.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(ORVO_PRIVATE_LIBDIR ${CMAKE_INSTALL_LIBDIR}/orvo-invoice)
set(ORVO_PRIVATE_LIBDIR_FULL ${CMAKE_INSTALL_FULL_LIBDIR}/orvo-invoice)

# The static parts go into the shared library as well as into the tool.
set_target_properties(orvo_settings orvo_channel orvo_recordset orvo_printer orvo_page_host
  PROPERTIES POSITION_INDEPENDENT_CODE ON)

file(GLOB c_api_srcs CONFIGURE_DEPENDS src/c_api/*.cpp)
add_library(orvo_invoice_c SHARED ${c_api_srcs})
target_link_libraries(orvo_invoice_c PRIVATE $<BUILD_INTERFACE:orvo_printer>)
target_include_directories(orvo_invoice_c PUBLIC
  $<BUILD_INTERFACE:${CMAKE_SOURCE_DIR}/include> $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
target_compile_definitions(orvo_invoice_c PRIVATE ORVO_VERSION="${PROJECT_VERSION}")
set(ORVO_SYMBOL_MAP ${CMAKE_SOURCE_DIR}/src/c_api/orvo_invoice.map)
file(RELATIVE_PATH lib_to_private ${CMAKE_INSTALL_FULL_LIBDIR} ${ORVO_PRIVATE_LIBDIR_FULL})
set_target_properties(orvo_invoice_c PROPERTIES
  OUTPUT_NAME orvo-invoice EXPORT_NAME orvo-invoice
  VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR}
  CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON
  LINK_DEPENDS ${ORVO_SYMBOL_MAP}
  INSTALL_RPATH "$ORIGIN/${lib_to_private}")
target_link_options(orvo_invoice_c PRIVATE -Wl,--version-script=${ORVO_SYMBOL_MAP}
  -Wl,--exclude-libs,ALL)
if(NOT ORVO_SANITIZE)
  target_link_options(orvo_invoice_c PRIVATE -Wl,--no-undefined)
endif()

file(RELATIVE_PATH bin_to_private ${CMAKE_INSTALL_FULL_BINDIR} ${ORVO_PRIVATE_LIBDIR_FULL})
set_target_properties(orvo-invoice PROPERTIES INSTALL_RPATH "$ORIGIN/${bin_to_private}")
set_target_properties(orvo-page orvo-window orvo-cups orvo_shared PROPERTIES INSTALL_RPATH "$ORIGIN")

install(TARGETS orvo-invoice RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS orvo_shared orvo-page orvo-window orvo-cups
  LIBRARY DESTINATION ${ORVO_PRIVATE_LIBDIR} NAMELINK_SKIP)
install(TARGETS orvo_invoice_c EXPORT OrvoInvoiceTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(DIRECTORY include/orvo-invoice DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})

configure_file(cmake/orvo-invoice.pc.in generated/orvo-invoice.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/generated/orvo-invoice.pc
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

set(ORVO_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/OrvoInvoice)
install(EXPORT OrvoInvoiceTargets NAMESPACE OrvoInvoice:: DESTINATION ${ORVO_CMAKE_DIR})
configure_package_config_file(cmake/OrvoInvoiceConfig.cmake.in
  generated/OrvoInvoiceConfig.cmake INSTALL_DESTINATION ${ORVO_CMAKE_DIR})
write_basic_package_version_file(generated/OrvoInvoiceConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/generated/OrvoInvoiceConfig.cmake
  ${CMAKE_BINARY_DIR}/generated/OrvoInvoiceConfigVersion.cmake DESTINATION ${ORVO_CMAKE_DIR})

# The Python package, for Debian's python3.
install(DIRECTORY python/orvo_invoice DESTINATION lib/python3/dist-packages
  PATTERN __pycache__ EXCLUDE)

# Debian's documentation files: copyright and a compressed changelog.
set(ORVO_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/orvo-invoice)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/generated/changelog.gz
  COMMAND gzip -9n -c ${CMAKE_SOURCE_DIR}/cmake/debian/changelog > generated/changelog.gz
  DEPENDS cmake/debian/changelog WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
add_custom_target(orvo_debian_docs ALL DEPENDS ${CMAKE_BINARY_DIR}/generated/changelog.gz)
install(FILES cmake/debian/copyright ${CMAKE_BINARY_DIR}/generated/changelog.gz
  DESTINATION ${ORVO_DOC_DIR})

set(CPACK_PACKAGE_NAME orvo-invoice)
set(CPACK_PACKAGE_VENDOR OrvoInvoice)
set(CPACK_PACKAGE_CONTACT "OrvoInvoice developers <orvo-invoice@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Taiwan uniform invoice printing for point-of-sale hosts")
set(CPACK_PACKAGE_DESCRIPTION
  "Prints Taiwan's government uniform invoices (code page 950) on roll and form\n\
printers through raw byte ports or CUPS raw queues, and on page printers\n\
through CUPS. A command-line tool, a shared library with a C interface, its\n\
pkg-config and CMake files, and a Python module.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The private directory holds orvo_shared, which dpkg-shlibdeps must find; it runs in the
# staging root.
string(REGEX REPLACE "^/" "" private_in_package ${ORVO_PRIVATE_LIBDIR_FULL})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${private_in_package})
# The page printers refuse to print Chinese without a Ming face.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "python3, fonts-arphic-uming")
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
# ldconfig runs through its trigger, not from maintainer scripts.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_SOURCE_DIR}/cmake/debian/triggers)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
include(CPack)
