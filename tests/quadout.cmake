# quadout: printing of signed 64-bit integers through a format prefix.
add_executable(quadout_test quadout/quadout_test.cpp)
target_link_libraries(quadout_test PRIVATE quadout GTest::gtest_main)
gtest_discover_tests(quadout_test)
