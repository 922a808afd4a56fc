# korvane_library(NAME TYPE SOURCES files... [USES targets...])
# One folder's library. It publishes only its own folder: an include root in the build tree holds
# one link named after the folder, so "platform/Thread.h" resolves for exactly the targets that
# use korvane_platform, and a layer that does not link a library cannot include its headers.
function(korvane_library name type)
  cmake_parse_arguments(PARSE_ARGV 2 arg "" "" "SOURCES;USES")
  add_library(${name} ${type} ${arg_SOURCES})
  korvane_publish_folder(${name} ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${arg_USES})
endfunction()

# korvane_include_root(TARGET OUT_VAR): the include root that korvane_library gives TARGET.
function(korvane_include_root target out)
  set(${out} ${PROJECT_BINARY_DIR}/include/${target} PARENT_SCOPE)
endfunction()

function(korvane_publish_folder target folder)
  korvane_include_root(${target} root)
  get_filename_component(leaf ${folder} NAME)
  file(MAKE_DIRECTORY ${root})
  file(CREATE_LINK ${folder} ${root}/${leaf} SYMBOLIC)
  target_include_directories(${target} PUBLIC ${root})
endfunction()

# korvane_test(NAME SOURCES files... [USES targets...] [TIMEOUT seconds] [LABEL label]
#              [PROPERTIES name value...])
# One test program, run headless. CTest lists each of its cases on its own, found by asking the
# built program when the tests start; TIMEOUT (default 60 s) and PROPERTIES hold for each case.
function(korvane_test name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "TIMEOUT;LABEL" "SOURCES;USES;PROPERTIES")
  if(NOT arg_TIMEOUT)
    set(arg_TIMEOUT 60)
  endif()
  add_executable(${name} ${arg_SOURCES})
  target_link_libraries(${name} PRIVATE korvane_test_main ${arg_USES})
  set(properties TIMEOUT ${arg_TIMEOUT} ${arg_PROPERTIES})
  if(arg_LABEL)
    list(APPEND properties LABELS ${arg_LABEL})
  endif()
  korvane_discover_cases(${name} "${name}." "" ${properties})
endfunction()

# korvane_discover_cases(PROGRAM PREFIX FILTER [ENVIRONMENT name=value] [properties...]): registers
# the program's cases (those matching the gtest FILTER, all when empty) as CTest tests named
# PREFIX + case. One variable at most: a list would not survive gtest_discover_tests' expansions
# and would be read as properties. The test main sets the offscreen platform; the sanitizers'
# options come from the test presets.
function(korvane_discover_cases program prefix filter)
  cmake_parse_arguments(PARSE_ARGV 3 arg "" "ENVIRONMENT" "")
  set(properties ${arg_UNPARSED_ARGUMENTS})
  if(arg_ENVIRONMENT)
    list(APPEND properties ENVIRONMENT "${arg_ENVIRONMENT}")
  endif()
  gtest_discover_tests(${program}
    TEST_PREFIX "${prefix}"
    TEST_FILTER "${filter}"
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES ${properties})
endfunction()
