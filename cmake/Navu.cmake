# Shared build settings and helpers.

set(NAVU_WARNINGS -Wall -Wextra -Wno-unused-parameter)
set(NAVU_RESOURCES_DIR "${CMAKE_SOURCE_DIR}/resources")
set(NAVU_FIXTURES_DIR "${CMAKE_SOURCE_DIR}/tests/fixtures")

# navu_library(name SOURCES ... LIBS ...): one library of src/, warnings on, includes from src/.
function(navu_library name)
  cmake_parse_arguments(L "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${L_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  target_compile_options(${name} PRIVATE ${NAVU_WARNINGS})
  target_link_libraries(${name} PUBLIC ${L_LIBS})
endfunction()

# navu_test(name SOURCES ... LIBS ... [LABELS ...]): a QtTest executable run headless by CTest.
function(navu_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_compile_options(${name} PRIVATE ${NAVU_WARNINGS})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE Qt6::Test ${T_LIBS})
  target_compile_definitions(${name} PRIVATE
    NAVU_FIXTURES_DIR="${NAVU_FIXTURES_DIR}" NAVU_RESOURCES_DIR="${NAVU_RESOURCES_DIR}")
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" LABELS "${T_LABELS}")
endfunction()

# navu_fuzz(name SOURCES ... LIBS ...): a libFuzzer target (clang only, see NAVU_BUILD_FUZZ).
function(navu_fuzz name)
  cmake_parse_arguments(F "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${F_SOURCES})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/src)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(${name} PRIVATE ${F_LIBS})
endfunction()
