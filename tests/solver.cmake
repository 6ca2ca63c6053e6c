# The solver's cut tree against Boost Graph's max flow (header-only use) and
# against cut enumeration on tiny graphs.
find_package(Boost REQUIRED)

add_executable(oracle_test
  ${CMAKE_CURRENT_SOURCE_DIR}/solver/oracle_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/solver/cut_tree_check.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/solver/boost_oracle.cpp)
target_include_directories(oracle_test PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/solver)
target_link_libraries(oracle_test PRIVATE solver Boost::headers GTest::gtest_main)
# Boost's max flow is the trusted reference, not the code under test: it is
# compiled optimised and uninstrumented in every build, or the all-pairs
# flows would dominate the running time of Debug and sanitizer builds.
set_source_files_properties(${CMAKE_CURRENT_SOURCE_DIR}/solver/boost_oracle.cpp
  PROPERTIES COMPILE_OPTIONS "-O2;-fno-sanitize=all")
gtest_discover_tests(oracle_test DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 120)
