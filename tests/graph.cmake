# The instance reader: error messages through the sunder program, and the
# graph it builds for accepted instances.
add_executable(reader_test graph/reader_test.cpp)
target_link_libraries(reader_test PRIVATE sunder_static run_program GTest::gtest_main)
target_compile_definitions(reader_test PRIVATE
  SUNDER_PATH="$<TARGET_FILE:sunder>")
add_dependencies(reader_test sunder)
gtest_discover_tests(reader_test)

# The sunder program's reader and the library's on the same texts: every
# text on which they differ is pinned with its reason.
sunder_test(reader_agreement_test graph/reader_agreement_test.cpp)
target_link_libraries(reader_agreement_test PRIVATE sunder_static)
