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
  ENVIRONMENT "SUNDER_BUILD=${PROJECT_BINARY_DIR};PYTHONPATH=${PROJECT_SOURCE_DIR}/experiments"
  TIMEOUT 120)

# The package sunderlab installed with pip into a virtual environment of
# Debian's interpreter (whose setuptools and wheel build it), then run from
# /tmp: the installed command and its job lines.
set(sunderlab_python ${Python3_EXECUTABLE})
if(EXISTS /usr/bin/python3)
  set(sunderlab_python /usr/bin/python3)
endif()
add_test(NAME sunderlab_pip_install
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/install/check_sunderlab.sh
          ${PROJECT_BINARY_DIR} ${PROJECT_SOURCE_DIR} ${sunderlab_python})
set_tests_properties(sunderlab_pip_install PROPERTIES TIMEOUT 120 SKIP_RETURN_CODE 77)
