# The experiment runner (a Python program) end to end, against the built
# generators and sunder.
if(NOT TARGET sunder OR NOT TARGET ringforge)
  return()
endif()
find_package(Python3 COMPONENTS Interpreter)
if(NOT Python3_Interpreter_FOUND)
  message(STATUS "python3 not found: the experiment runner's test is not built")
  return()
endif()
add_test(NAME experiments_run
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/experiments/test_run.py)
set_tests_properties(experiments_run PROPERTIES
  ENVIRONMENT "SUNDER_BUILD=${PROJECT_BINARY_DIR}" TIMEOUT 120)
