# The solver's cut tree against Boost Graph's max flow (header-only use) and
# against cut enumeration on tiny graphs.
find_package(Boost REQUIRED)

# Instances written as text, for the tests that judge trees with verify/.
add_library(test_instance STATIC ${CMAKE_CURRENT_SOURCE_DIR}/support/instance.cpp)
target_include_directories(test_instance PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/support)
target_link_libraries(test_instance PUBLIC sunder_static cut_tree_verify)

add_executable(oracle_test ${CMAKE_CURRENT_SOURCE_DIR}/solver/oracle_test.cpp)
target_link_libraries(oracle_test PRIVATE test_instance GTest::gtest_main)
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
target_link_libraries(cut_settings_test PRIVATE test_instance)
