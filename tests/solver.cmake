# The solver's cut tree against Boost Graph's max flow (header-only use) and
# against cut enumeration on tiny graphs.
find_package(Boost REQUIRED)

# The checks of a cut tree, also used by the benchmarks to check their
# answers before timing.
add_library(cut_tree_check STATIC
  ${CMAKE_CURRENT_SOURCE_DIR}/solver/cut_tree_check.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/solver/boost_oracle.cpp)
target_include_directories(cut_tree_check PUBLIC
  ${CMAKE_CURRENT_SOURCE_DIR}/solver ${CMAKE_CURRENT_SOURCE_DIR}/support)
target_link_libraries(cut_tree_check PUBLIC sunder_static maxflow_oracle)

add_executable(oracle_test ${CMAKE_CURRENT_SOURCE_DIR}/solver/oracle_test.cpp)
target_link_libraries(oracle_test PRIVATE cut_tree_check GTest::gtest_main)
# Boost's max flow is the trusted reference, not the code under test: it is
# compiled optimised and uninstrumented in every build, or the all-pairs
# flows would dominate the running time of Debug and sanitizer builds.
set_source_files_properties(${CMAKE_CURRENT_SOURCE_DIR}/solver/boost_oracle.cpp
  PROPERTIES COMPILE_OPTIONS "-O2;-fno-sanitize=all")
gtest_discover_tests(oracle_test DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 120)

# Reports and scan counters of the exact engine pinned on generated
# instances of every family.
if(TARGET ringforge)
  sunder_test(pinned_counters_test solver/pinned_counters_test.cpp)
  target_link_libraries(pinned_counters_test PRIVATE sunder_static run_program)
  set(PINNED_GENERATORS ringforge motley tanglenet spokerim hubspin twinloop)
  foreach(program ${PINNED_GENERATORS})
    string(TOUPPER ${program} upper)
    target_compile_definitions(pinned_counters_test PRIVATE ${upper}_PATH="$<TARGET_FILE:${program}>")
  endforeach()
  target_compile_definitions(pinned_counters_test PRIVATE SUNDER_PATH="$<TARGET_FILE:sunder>"
    PINNED_DIR="${CMAKE_CURRENT_SOURCE_DIR}/data/pinned")
  add_dependencies(pinned_counters_test sunder ${PINNED_GENERATORS})
endif()

# Trees built under every s-t setting, judged by the Boost checks.
sunder_test(cut_settings_test solver/cut_settings_test.cpp)
target_link_libraries(cut_settings_test PRIVATE cut_tree_check)
