# Windows build: the program, the fake device stack as setupapi.dll, and
# the tests that run under Wine.
enable_language(RC)
add_compile_options(-Wall -Wextra)

# The manifest carries the version of res/version.h and the description of
# res/product.h; a change to either configures the build again.
set(PRODUCT_HEADERS ${CMAKE_SOURCE_DIR}/res/version.h ${CMAKE_SOURCE_DIR}/res/product.h)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PRODUCT_HEADERS})
file(STRINGS ${CMAKE_SOURCE_DIR}/res/version.h facts REGEX "^#define VANTREL_VERSION_(MAJOR|MINOR|PATCH) ")
file(STRINGS ${CMAKE_SOURCE_DIR}/res/product.h fact REGEX "^#define VANTREL_DESCRIPTION ")
foreach(line ${facts} ${fact})
  string(REGEX REPLACE "^#define ([A-Z_]+) \"?([^\"]*)\"?$" "\\1;\\2" pair "${line}")
  list(GET pair 0 key)
  list(GET pair 1 ${key})
endforeach()
if(NOT "${VANTREL_VERSION_MAJOR}.${VANTREL_VERSION_MINOR}.${VANTREL_VERSION_PATCH}" MATCHES "^[0-9]+\\.[0-9]+\\.[0-9]+$"
   OR NOT VANTREL_DESCRIPTION)
  message(FATAL_ERROR "res/version.h or res/product.h: no version numbers or description to read")
endif()
configure_file(${CMAKE_SOURCE_DIR}/res/vantrel.manifest ${CMAKE_BINARY_DIR}/vantrel.manifest @ONLY)

set(RC_FILE ${CMAKE_SOURCE_DIR}/res/vantrel.rc)
set_source_files_properties(${RC_FILE} PROPERTIES
  OBJECT_DEPENDS "${CMAKE_BINARY_DIR}/vantrel.manifest;${CMAKE_SOURCE_DIR}/app/ids.h;${PRODUCT_HEADERS}")
file(GLOB ICON_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/res/icons/*.ico)
set_property(SOURCE ${RC_FILE} APPEND PROPERTY OBJECT_DEPENDS ${ICON_FILES})
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -I${CMAKE_SOURCE_DIR} -I${CMAKE_BINARY_DIR}")

add_executable(vantrel WIN32 ${LOGIC_SOURCES} ${WIN_SOURCES} ${RC_FILE})
target_include_directories(vantrel PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_options(vantrel PRIVATE -Os -ffunction-sections -fdata-sections -fno-exceptions -fno-rtti)
# No link time in the header: the same sources give the same bytes, so a
# release can be checked against the build it came from.
target_link_options(vantrel PRIVATE -static -s -Wl,--gc-sections -Wl,--no-insert-timestamp)
target_link_libraries(vantrel PRIVATE setupapi version)
# The self-check needs a correct header checksum; an exe built without the
# stamp would refuse to start. Nothing may touch the file after this.
if(NOT PESTAMP)
  message(FATAL_ERROR "PESTAMP (build/native/pestamp) is required: the exe must be stamped")
endif()
add_custom_command(TARGET vantrel POST_BUILD COMMAND ${PESTAMP} $<TARGET_FILE:vantrel>)

# Test build only, never shipped: the same program with the fault switch of
# tests/faults in place of its allocator and in front of its registry key and
# tray icon calls.
set(FAULT_SOURCES ${LOGIC_SOURCES} ${WIN_SOURCES})
# The SDK cross-check reads the copied constants before any system header,
# which the forced fault header would defeat; the program's build runs it.
list(FILTER FAULT_SOURCES EXCLUDE REGEX "(newdelete|winlayer)_win\\.cpp$")
add_executable(vantrel_faults WIN32 ${FAULT_SOURCES} tests/faults/faults_win.cpp ${RC_FILE})
target_include_directories(vantrel_faults PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_options(vantrel_faults PRIVATE -Os -fno-exceptions -fno-rtti
  $<$<COMPILE_LANGUAGE:CXX>:-include ${CMAKE_SOURCE_DIR}/tests/faults/faults.h>)
target_link_options(vantrel_faults PRIVATE -static -s)
target_link_libraries(vantrel_faults PRIVATE setupapi version)
add_custom_command(TARGET vantrel_faults POST_BUILD COMMAND ${PESTAMP} $<TARGET_FILE:vantrel_faults>)

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(FAKEDEV_DEF tests/fakedev/setupapi64.def)
  set(WINE_ARCH win64)
  set(WINE_LOADER /usr/lib/wine/wine64)
else()
  set(FAKEDEV_DEF tests/fakedev/setupapi.def)  # stdcall names lose their @N
  set(WINE_ARCH win32)
  set(WINE_LOADER /usr/lib/wine/wine)
endif()
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  add_test(NAME exe.shape COMMAND sh ${CMAKE_SOURCE_DIR}/tests/check_exe.sh
           ${CMAKE_OBJDUMP} $<TARGET_FILE:vantrel> ${PESTAMP})
  set_tests_properties(exe.shape PROPERTIES LABELS exe)
endif()

add_library(fakedev SHARED tests/fakedev/fakedev.cpp ${FAKEDEV_DEF})
target_include_directories(fakedev PRIVATE ${CMAKE_SOURCE_DIR})
set_target_properties(fakedev PROPERTIES OUTPUT_NAME setupapi PREFIX "")
target_link_options(fakedev PRIVATE -static -s)

# Tests that run under Wine are registered only where this tree's Wine
# loader can start (a 64-bit-only host cannot run the 32-bit one).
execute_process(COMMAND ${WINE_LOADER} --version RESULT_VARIABLE WINE_STARTS
                OUTPUT_QUIET ERROR_QUIET)
if(WINE_STARTS EQUAL 0)
  set(WINE_TESTS ON)
else()
  set(WINE_TESTS OFF)
endif()

set(WINE_RUN ${CMAKE_BINARY_DIR}/wine-run.sh)
configure_file(tests/wine-run.sh.in ${WINE_RUN} @ONLY FILE_PERMISSIONS
               OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# Win32 tests: the program's code against Wine's real user32, gdi32,
# advapi32 and kernel32.
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
include(GoogleTest)
file(GLOB WIN32_TESTS CONFIGURE_DEPENDS tests/win32/*.cpp)
if(WIN32_TESTS)
  set(PROGRAM_CODE ${LOGIC_SOURCES} ${WIN_SOURCES})
  list(FILTER PROGRAM_CODE EXCLUDE REGEX "(winmain|newdelete)_win\\.cpp$")
  add_executable(win32_tests ${WIN32_TESTS} ${PROGRAM_CODE} ${RC_FILE})
  target_include_directories(win32_tests PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(win32_tests PRIVATE gtest_main setupapi version imagehlp)
  target_link_options(win32_tests PRIVATE -static)
  set_target_properties(win32_tests PROPERTIES CROSSCOMPILING_EMULATOR ${WINE_RUN})
  if(WINE_TESTS)
    gtest_discover_tests(win32_tests TEST_PREFIX "win32." DISCOVERY_MODE PRE_TEST
                         DISCOVERY_TIMEOUT 120 PROPERTIES LABELS win32)
  endif()
endif()

# Files whose version blocks the About box must refuse or patch over; the
# Win32 tests find them beside their own exe.
foreach(block missing empty two)
  add_library(ver_${block} SHARED tests/win32/versions/verdll.c tests/win32/versions/ver.rc)
  string(TOUPPER ${block} BLOCK)
  target_compile_definitions(ver_${block} PRIVATE VER_${BLOCK})
  set_target_properties(ver_${block} PROPERTIES PREFIX "")
  if(TARGET win32_tests)
    add_dependencies(win32_tests ver_${block})
  endif()
endforeach()
# Reads and works the program's dialogs from another process.
add_executable(dlgprobe tests/e2e/dlgprobe.cpp)
target_link_libraries(dlgprobe PRIVATE version)
target_link_options(dlgprobe PRIVATE -static)
# The yardstick scripts/bench.sh times vantrel.exe's start-up against.
add_executable(minimal_tray WIN32 EXCLUDE_FROM_ALL tests/bench/wine/minimal.cpp tests/bench/wine/minimal.rc)
target_include_directories(minimal_tray PRIVATE ${CMAKE_SOURCE_DIR})
target_link_options(minimal_tray PRIVATE -static -s)

# End-to-end: scripts that drive the real vantrel.exe, with a probe that
# plays the rest of the system.
add_executable(probe tests/e2e/probe.cpp)
target_include_directories(probe PRIVATE ${CMAKE_SOURCE_DIR})
target_link_options(probe PRIVATE -static)

file(GLOB E2E_TESTS CONFIGURE_DEPENDS tests/e2e/test_*.sh)
if(NOT WINE_TESTS)
  set(E2E_TESTS "")
endif()
foreach(script ${E2E_TESTS})
  get_filename_component(name ${script} NAME_WE)
  string(REGEX REPLACE "^test_" "" name ${name})
  add_test(NAME e2e.${name} COMMAND sh ${script})
  set_tests_properties(e2e.${name} PROPERTIES
    ENVIRONMENT "VANTREL_EXE=$<TARGET_FILE:vantrel>;VANTREL_FAULTS_EXE=$<TARGET_FILE:vantrel_faults>;FAKEDEV_DLL=$<TARGET_FILE:fakedev>;WINE_RUN=${WINE_RUN};PROBE_EXE=$<TARGET_FILE:probe>;E2E_LIB=${CMAKE_SOURCE_DIR}/tests/e2e/lib.sh;E2E_DATA=${CMAKE_SOURCE_DIR}/tests/data"
    TIMEOUT 300 RUN_SERIAL TRUE LABELS e2e)
endforeach()
