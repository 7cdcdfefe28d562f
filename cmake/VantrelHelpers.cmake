# vantrel_library(NAME DIR [DEPS ...]): a static library of every .cpp below DIR.
# Globbing keeps each area's sources its own business: adding a file needs no edit here.
function(vantrel_library name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.c)
  if(sources)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${CMAKE_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
  endif()
endfunction()

# vantrel_test_dir(DIR LIBS...): one GoogleTest program per folder of *Test.cpp files,
# named after the folder (tests/platform/kernel -> test_platform_kernel).
function(vantrel_test_dir dir)
  file(GLOB sources CONFIGURE_DEPENDS ${dir}/*Test.cpp)
  if(NOT sources)
    return()
  endif()
  file(RELATIVE_PATH rel ${CMAKE_SOURCE_DIR}/tests ${dir})
  string(REPLACE "/" "_" target "test_${rel}")
  file(GLOB support CONFIGURE_DEPENDS ${dir}/support/*.cpp)
  add_executable(${target} ${sources} ${support})
  target_link_libraries(${target} PRIVATE ${ARGN} tests_support tests_main GTest::gtest GTest::gmock)
  target_compile_definitions(${target} PRIVATE VANTREL_TEST_BINARY_DIR="${CMAKE_BINARY_DIR}")
  add_test(NAME ${target} COMMAND ${target})
  # Named mutexes and published windows live in the runtime folder: one per test program, so
  # that test programs running side by side (and other checkouts' runs) never find each
  # other's instances; the processes a test starts share its folder.
  file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/runtime/${target})
  set_tests_properties(${target} PROPERTIES TIMEOUT 900
    ENVIRONMENT "VANTREL_DISPLAY=headless;VANTREL_AUDIO=null;XDG_RUNTIME_DIR=${CMAKE_BINARY_DIR}/runtime/${target}")
  # A LABELS file in the folder names ctest labels, one per line ("threads": also run under TSan).
  if(EXISTS ${dir}/LABELS)
    file(STRINGS ${dir}/LABELS labels)
    set_tests_properties(${target} PROPERTIES LABELS "${labels}")
  endif()
endfunction()
