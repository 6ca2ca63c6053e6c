# A test of the built cuttree program: it runs it (run_program) at
# CUTTREE_PATH.
function(cuttree_program_test name source)
  sunder_test(${name} ${source})
  target_link_libraries(${name} PRIVATE run_program)
  target_compile_definitions(${name} PRIVATE CUTTREE_PATH="$<TARGET_FILE:cuttree>")
  add_dependencies(${name} cuttree)
endfunction()

# cuttree as a whole program, judged by hand-worked text, Boost's max flow,
# sunder's counters and its own output on other thread counts.
sunder_test(cuttree_test cuttree/cuttree_test.cpp)
target_link_libraries(cuttree_test PRIVATE run_program test_instance)
target_compile_definitions(cuttree_test PRIVATE
  CUTTREE_PATH="$<TARGET_FILE:cuttree>" SUNDER_PATH="$<TARGET_FILE:sunder>"
  GENERATORS_DIR="$<TARGET_FILE_DIR:ringforge>")
add_dependencies(cuttree_test cuttree sunder ringforge motley tanglenet spokerim hubspin twinloop)

# Every engine of the built program against Boost's max flow on every
# generator family and a random dense graph, the tie rules of --mincut and
# --side, the default engine and auto's choice, and high node numbers.
sunder_test(engines_test cuttree/engines_test.cpp)
target_link_libraries(engines_test PRIVATE run_program test_instance)
target_compile_definitions(engines_test PRIVATE
  CUTTREE_PATH="$<TARGET_FILE:cuttree>" GENERATORS_DIR="$<TARGET_FILE_DIR:ringforge>")
add_dependencies(engines_test cuttree ringforge motley tanglenet spokerim hubspin twinloop)

# cuttree against hostile input: capacity totals, directories, endless and
# binary input, strict pairs files, thread counts, exhausted memory.
cuttree_program_test(cuttree_hostile_test cuttree/hostile_test.cpp)

# cuttree's answers beyond single cuts, worked out by hand, --plot with a
# real, a missing and a failing gnuplot, and the progress of --check.
cuttree_program_test(cuttree_answers_test cuttree/answers_test.cpp)

# cuttree on files networkx and igraph write themselves (network_files.py,
# run by Debian's /usr/bin/python3 at test time), CSV with named columns and
# standard input of every format: hand-worked trees and answers, networkx's
# Gomory-Hu tree on a random graph, every fault's message and status.
if(SUNDER_IGRAPH_SONAME)
  cuttree_program_test(cuttree_network_test cuttree/network_test.cpp)
  target_compile_definitions(cuttree_network_test PRIVATE
    NETWORK_FILES_SCRIPT="${CMAKE_CURRENT_SOURCE_DIR}/cuttree/network_files.py")
endif()

# cuttree --real: real capacities written back exactly, fixed point, errors.
cuttree_program_test(cuttree_real_test cuttree/real_test.cpp)

# cuttree's check on trees made by hand: a right one, a wrong weight and a
# flow-equivalent tree that is no cut tree.
sunder_test(cuttree_check_test cuttree/check_test.cpp)
target_link_libraries(cuttree_check_test PRIVATE cuttree_cli)
