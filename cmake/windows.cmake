# The Windows build (mingw-w64): the same core without the Linux-only libraries, the automation
# server orvo-invoice.dll and the tool orvo-invoice.exe. Included by CMakeLists.txt on WIN32.
# Header-only libraries of the build machine, without the rest of its /usr/include.
set(ORVO_HOST_HEADERS ${CMAKE_BINARY_DIR}/host-headers)
file(MAKE_DIRECTORY ${ORVO_HOST_HEADERS})
foreach(dir nlohmann CLI)
  if(NOT EXISTS /usr/include/${dir})
    message(FATAL_ERROR "/usr/include/${dir} is missing: scripts/setup.sh installs it")
  endif()
  file(CREATE_LINK /usr/include/${dir} ${ORVO_HOST_HEADERS}/${dir} SYMBOLIC)
endforeach()

include_directories(${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/src/platform/windows/include)
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
# Fills the few POSIX names the portable sources use (see the header).
add_compile_options(-include ${CMAKE_SOURCE_DIR}/src/platform/windows/posix_compat.h)
# Only system DLLs at run time: the compiler's runtimes and winpthread are linked in.
add_link_options(-static-libgcc -static-libstdc++ -static)

function(orvo_sources out)
  set(all)
  foreach(glob ${ARGN})
    file(GLOB found CONFIGURE_DEPENDS ${glob})
    list(APPEND all ${found})
  endforeach()
  set(${out} ${all} PARENT_SCOPE)
endfunction()

orvo_sources(core_srcs
  src/shared/*.cpp src/layout_kit/*.cpp src/printer_object/*.cpp src/settings/*.cpp
  src/channel/*.cpp src/recordset/*.cpp
  src/layouts/roll/*.cpp src/layouts/page/*.cpp src/page_printer_host/*.cpp
  src/message_window/*_win.cpp src/platform/windows/*.cpp)
# What the Windows files replace: dlopen'ed modules, POSIX ports, SQLite, XDG paths, the terminal.
list(FILTER core_srcs EXCLUDE REGEX
  "/(module_loader|host_choice|host_terminal|user_paths|port_fd|port_file|port_serial|port_tcp|port_cups|sqlite_recordset|page_parts|page_printer)\\.cpp$")
add_library(orvo_core STATIC ${core_srcs})
target_link_libraries(orvo_core PUBLIC ws2_32 advapi32 user32 gdi32 winspool)

# The automation server: class factory, registration, the dispatch interface and its type library.
set(ORVO_TLB ${CMAKE_BINARY_DIR}/OrvoInvoice.tlb)
add_custom_command(OUTPUT ${ORVO_TLB}
  COMMAND widl $<IF:$<STREQUAL:${CMAKE_SIZEOF_VOID_P},8>,-m64,-m32> -t -o ${ORVO_TLB}
          -L /usr/lib/x86_64-linux-gnu/wine/x86_64-windows
          ${CMAKE_SOURCE_DIR}/src/com_server/orvo_invoice.idl
  DEPENDS ${CMAKE_SOURCE_DIR}/src/com_server/orvo_invoice.idl VERBATIM)
set_source_files_properties(src/com_server/orvo_invoice.rc PROPERTIES
  OBJECT_DEPENDS ${ORVO_TLB} INCLUDE_DIRECTORIES ${CMAKE_BINARY_DIR})
file(GLOB com_srcs CONFIGURE_DEPENDS src/com_server/*.cpp)
add_library(orvo-invoice-dll SHARED ${com_srcs} src/com_server/orvo_invoice.rc
  src/com_server/orvo_invoice.def)
set_target_properties(orvo-invoice-dll PROPERTIES OUTPUT_NAME orvo-invoice PREFIX "")
target_link_libraries(orvo-invoice-dll PRIVATE orvo_core ole32 oleaut32 uuid)
# The exports keep their plain names on 32-bit too, where the compiler decorates stdcall ones.
target_link_options(orvo-invoice-dll PRIVATE -Wl,--kill-at -Wl,--enable-stdcall-fixup)

file(GLOB cli_srcs CONFIGURE_DEPENDS tools/*.cpp)
add_executable(orvo-invoice ${cli_srcs})
target_link_libraries(orvo-invoice PRIVATE orvo_core)
target_include_directories(orvo-invoice SYSTEM PRIVATE ${ORVO_HOST_HEADERS})
target_compile_definitions(orvo-invoice PRIVATE ORVO_VERSION="${PROJECT_VERSION}")

# The tests' own automation host.
add_executable(dispatch_host tests/windows/dispatch_host.cpp)
target_link_libraries(dispatch_host PRIVATE ole32 oleaut32 uuid)
target_link_options(dispatch_host PRIVATE -municode)
add_executable(top_message_check tests/windows/top_message_check.cpp)
target_link_libraries(top_message_check PRIVATE orvo_core)
add_executable(emf_texts tests/windows/emf_texts.cpp)
target_link_options(emf_texts PRIVATE -municode)
add_executable(ports_check tests/windows/ports_check.cpp)
target_link_libraries(ports_check PRIVATE orvo_core)
