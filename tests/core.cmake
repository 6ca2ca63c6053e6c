# Tests of the solver's steps, the whole report, compaction, cut output,
# the statistics build and the memory messages.

add_library(failing_calloc STATIC support/failing_calloc.cpp)
target_include_directories(failing_calloc PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/support)

function(sunder_test name)
  add_executable(${name} ${ARGN})
  target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/support)
  target_link_libraries(${name} PRIVATE GTest::gtest_main GTest::gmock)
  # Tests that build trees on several threads also run under
  # ThreadSanitizer (tools/check.sh --threads): label "parallel".
  if(name IN_LIST SUNDER_PARALLEL_TESTS)
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES LABELS parallel)
  else()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60)
  endif()
endfunction()

sunder_test(st_cut_test solver/st_cut_test.cpp)
target_link_libraries(st_cut_test PRIVATE sunder_static)

sunder_test(report_test solver/report_test.cpp)
target_link_libraries(report_test PRIVATE run_program)
target_compile_definitions(report_test PRIVATE SUNDER_PATH="$<TARGET_FILE:sunder>")
add_dependencies(report_test sunder)

sunder_test(compact_test graph/compact_test.cpp)
target_link_libraries(compact_test PRIVATE sunder_static)

sunder_test(cut_output_test graph/cut_output_test.cpp)
target_link_libraries(cut_output_test PRIVATE sunder_static)

# The statistics build, linked from its object module.
sunder_test(cut_output_stats_test graph/cut_output_test.cpp $<TARGET_OBJECTS:graph_stats>)
target_compile_definitions(cut_output_stats_test PRIVATE GRAPH_STATISTICS)
target_include_directories(cut_output_stats_test PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(cut_output_stats_test PRIVATE outside)

sunder_test(memory_test graph/memory_test.cpp)
target_link_libraries(memory_test PRIVATE sunder_static failing_calloc -Wl,--wrap=calloc)

sunder_test(memory_stats_test graph/memory_test.cpp $<TARGET_OBJECTS:graph_stats>)
target_compile_definitions(memory_stats_test PRIVATE GRAPH_STATISTICS)
target_include_directories(memory_stats_test PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(memory_stats_test PRIVATE outside failing_calloc -Wl,--wrap=calloc)

sunder_test(reader_fuzz_test graph/reader_fuzz_test.cpp)
target_link_libraries(reader_fuzz_test PRIVATE run_program)
target_compile_definitions(reader_fuzz_test PRIVATE SUNDER_PATH="$<TARGET_FILE:sunder>")
add_dependencies(reader_fuzz_test sunder)
