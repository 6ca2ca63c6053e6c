# Output that cannot be written, for every program.
if(NOT TARGET sunder OR NOT TARGET ringforge)
  return()
endif()
add_executable(write_failure_test output/write_failure_test.cpp)
target_link_libraries(write_failure_test PRIVATE GTest::gtest_main)
set(OUTPUT_PROGRAM_PATHS SUNDER_PATH="$<TARGET_FILE:sunder>"
    CUTTREE_PATH="$<TARGET_FILE:cuttree>"
    EXAMPLES_DIR="${PROJECT_SOURCE_DIR}/examples")
foreach(program ringforge motley tanglenet spokerim hubspin twinloop powerlaw)
  string(TOUPPER ${program} upper)
  list(APPEND OUTPUT_PROGRAM_PATHS ${upper}_PATH="$<TARGET_FILE:${program}>")
  add_dependencies(write_failure_test ${program})
endforeach()
target_compile_definitions(write_failure_test PRIVATE ${OUTPUT_PROGRAM_PATHS})
add_dependencies(write_failure_test sunder cuttree)
gtest_discover_tests(write_failure_test)
