# The library's internal modules, each built alone for its own tests until
# they are folded into the library.

# Splitting a graph into biconnected blocks and gluing their cut trees.
add_library(sunder_decompose_only STATIC ${PROJECT_SOURCE_DIR}/lib/decompose/decompose.cpp)
target_include_directories(sunder_decompose_only PUBLIC ${PROJECT_SOURCE_DIR}/include ${PROJECT_SOURCE_DIR})

add_executable(decompose_test library/decompose_test.cpp)
target_link_libraries(decompose_test PRIVATE sunder_decompose_only maxflow_oracle GTest::gtest_main)
gtest_discover_tests(decompose_test DISCOVERY_TIMEOUT 60)
