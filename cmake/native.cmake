# Host build: the logic against fakes, with sanitizers, plus build tools.
set(SANITIZE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
add_compile_options(-Wall -Wextra -g)

find_package(GTest REQUIRED)
include(GoogleTest)

add_library(fakes STATIC tests/fakedev/fakedev.cpp tests/fakes/fakewin.cpp)
target_include_directories(fakes PUBLIC ${CMAKE_SOURCE_DIR})
target_compile_options(fakes PUBLIC ${SANITIZE})
target_link_options(fakes PUBLIC ${SANITIZE})

add_library(logic STATIC ${LOGIC_SOURCES})
target_include_directories(logic PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(logic PUBLIC fakes)

file(GLOB UNIT_TESTS CONFIGURE_DEPENDS tests/unit/*.cpp)
add_executable(unit_tests ${UNIT_TESTS})
target_link_libraries(unit_tests PRIVATE logic GTest::gtest_main)
gtest_discover_tests(unit_tests TEST_PREFIX "unit." DISCOVERY_TIMEOUT 60 PROPERTIES LABELS unit)

find_package(benchmark QUIET)
file(GLOB BENCHES CONFIGURE_DEPENDS tests/bench/*.cpp)
if(benchmark_FOUND AND BENCHES)
  add_executable(benchmarks ${BENCHES})
  target_link_libraries(benchmarks PRIVATE logic benchmark::benchmark)
endif()

# Stamps the PE header checksum into the Windows build's executable.
add_executable(pestamp tools/pestamp.cpp app/integrity.cpp)
target_include_directories(pestamp PRIVATE ${CMAKE_SOURCE_DIR})

if(EXISTS ${CMAKE_SOURCE_DIR}/res/icons/CMakeLists.txt)
  add_subdirectory(res/icons)
endif()
