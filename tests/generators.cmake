# The random module, the shared argument scanning, and the seven generator
# programs run whole.
# Nothing to test when the generators are not part of this build.
if(NOT TARGET random)
  return()
endif()

set(GEN_TEST_DIR ${CMAKE_CURRENT_SOURCE_DIR}/generators)
set(GENERATOR_PROGRAMS ringforge motley tanglenet spokerim hubspin twinloop powerlaw)

# Draws without a seed, to check the module's message and status.
add_executable(unseeded_draw ${GEN_TEST_DIR}/unseeded_draw.cpp)
target_link_libraries(unseeded_draw PRIVATE random)

add_executable(random_test ${GEN_TEST_DIR}/random_test.cpp)
target_link_libraries(random_test PRIVATE random run_program GTest::gtest_main)
target_compile_definitions(random_test PRIVATE
  UNSEEDED_DRAW_PATH="$<TARGET_FILE:unseeded_draw>")
add_dependencies(random_test unseeded_draw)
gtest_discover_tests(random_test)

add_executable(gen_args_test ${GEN_TEST_DIR}/gen_args_test.cpp)
target_link_libraries(gen_args_test PRIVATE gen_args GTest::gtest_main)
gtest_discover_tests(gen_args_test)

# Paths of the generator programs, as RINGFORGE_PATH and so on.
set(GENERATOR_PATHS)
foreach(program ${GENERATOR_PROGRAMS})
  string(TOUPPER ${program} upper)
  list(APPEND GENERATOR_PATHS ${upper}_PATH="$<TARGET_FILE:${program}>")
endforeach()

add_executable(generator_programs_test
  ${GEN_TEST_DIR}/outputs_test.cpp
  ${GEN_TEST_DIR}/errors_test.cpp)
target_include_directories(generator_programs_test PRIVATE ${GEN_TEST_DIR})
target_link_libraries(generator_programs_test PRIVATE run_program GTest::gtest_main)
target_compile_definitions(generator_programs_test PRIVATE ${GENERATOR_PATHS})
add_dependencies(generator_programs_test ${GENERATOR_PROGRAMS})
gtest_discover_tests(generator_programs_test)

# powerlaw against its rule replayed on the random module's draws, and the
# properties of a large instance.
add_executable(powerlaw_test ${GEN_TEST_DIR}/powerlaw_test.cpp)
target_link_libraries(powerlaw_test PRIVATE random run_program GTest::gtest_main)
target_compile_definitions(powerlaw_test PRIVATE POWERLAW_PATH="$<TARGET_FILE:powerlaw>")
add_dependencies(powerlaw_test powerlaw)
gtest_discover_tests(powerlaw_test)

# Generated instances are read by the solver.
if(NOT TARGET sunder)
  return()
endif()
add_executable(generator_property_test ${GEN_TEST_DIR}/property_test.cpp)
target_link_libraries(generator_property_test PRIVATE run_program GTest::gtest_main)
target_compile_definitions(generator_property_test PRIVATE ${GENERATOR_PATHS}
  SUNDER_PATH="$<TARGET_FILE:sunder>")
add_dependencies(generator_property_test ${GENERATOR_PROGRAMS} sunder)
gtest_discover_tests(generator_property_test)
