# Shared build settings and helpers for every target of the project.

set(OTDR_WARNINGS -Wall -Wextra)
set(OTDR_SANITIZER_FLAGS -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)

# Applies the project's warnings (and sanitizers when enabled) to one of our own targets.
function(otdr_target_defaults target)
  target_compile_options(${target} PRIVATE ${OTDR_WARNINGS})
  if(OTDR_SANITIZE)
    target_compile_options(${target} PRIVATE ${OTDR_SANITIZER_FLAGS})
    target_link_options(${target} PRIVATE ${OTDR_SANITIZER_FLAGS})
  endif()
endfunction()

# otdr_add_test(NAME name SOURCES ... LIBS ... [GUI])
# One GoogleTest executable registered with CTest as one test. Tests marked GUI need Qt and
# run on the offscreen platform; they are left out of builds without the application.
# Tests find the shared fixtures through OTDR_FIXTURES and the source tree through OTDR_SOURCE_DIR.
function(otdr_add_test)
  cmake_parse_arguments(T "GUI" "NAME" "SOURCES;LIBS" ${ARGN})
  if(T_GUI AND NOT OTDR_GUI)
    return()
  endif()
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  otdr_target_defaults(${T_NAME})
  target_compile_definitions(${T_NAME} PRIVATE
    OTDR_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    OTDR_FIXTURES="${CMAKE_SOURCE_DIR}/../shared/fixtures")
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  set(env "")
  if(T_GUI)
    list(APPEND env "QT_QPA_PLATFORM=offscreen")
    set_tests_properties(${T_NAME} PROPERTIES LABELS gui)
  endif()
  if(OTDR_SANITIZE)
    list(APPEND env "ASAN_OPTIONS=detect_leaks=1:abort_on_error=1" "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
  endif()
  if(env)
    set_tests_properties(${T_NAME} PROPERTIES ENVIRONMENT "${env}")
  endif()
endfunction()
