# The installed package from a consumer's side: examples/library built
# against a fresh prefix alone. Not in sanitizer builds, whose library needs
# the sanitizer runtimes that a plain consumer does not link.
if(NOT SUNDER_SANITIZE AND NOT SUNDER_FUZZ)
  add_test(NAME installed_package
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/install/check_install.sh ${PROJECT_BINARY_DIR} ${PROJECT_SOURCE_DIR})
  set_tests_properties(installed_package PROPERTIES TIMEOUT 300 RUN_SERIAL TRUE)
endif()
