# The installed package from a consumer's side: examples/library built
# against a fresh prefix alone. Not in sanitizer builds, whose library needs
# the sanitizer runtimes that a plain consumer does not link.
if(NOT SUNDER_SANITIZE AND NOT SUNDER_FUZZ)
  add_test(NAME installed_package
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/install/check_install.sh ${PROJECT_BINARY_DIR} ${PROJECT_SOURCE_DIR})
  set_tests_properties(installed_package PROPERTIES TIMEOUT 300 RUN_SERIAL TRUE)
endif()

# How a program finds the shared library of such a prefix at run time, as
# the README tells it: CMake's RUNPATH, LD_LIBRARY_PATH, -Wl,-rpath.
if(NOT SUNDER_SANITIZE AND NOT SUNDER_FUZZ)
  add_test(NAME library_runtime
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/install/check_runtime.sh ${PROJECT_BINARY_DIR} ${PROJECT_SOURCE_DIR})
  set_tests_properties(library_runtime PROPERTIES TIMEOUT 300 RUN_SERIAL TRUE SKIP_RETURN_CODE 77)
endif()

# The Python package installed with pip and as a wheel: python_pip_install,
# registered in python/CMakeLists.txt, where the interpreter is chosen.

# The shared library exports the sunder:: API alone: its symbol list, and a
# program with global names of its own that the library's internals share.
if(NOT SUNDER_SANITIZE AND NOT SUNDER_FUZZ)
  add_test(NAME exported_symbols
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/install/check_symbols.sh
      $<TARGET_FILE:sunder_shared> ${PROJECT_SOURCE_DIR}/include ${CMAKE_CXX_COMPILER})
endif()
