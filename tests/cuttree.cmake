# cuttree as a whole program, judged by hand-worked text, Boost's max flow,
# sunder's counters and its own output on other thread counts.
sunder_test(cuttree_test cuttree/cuttree_test.cpp)
target_link_libraries(cuttree_test PRIVATE run_program cut_tree_check)
target_compile_definitions(cuttree_test PRIVATE
  CUTTREE_PATH="$<TARGET_FILE:cuttree>" SUNDER_PATH="$<TARGET_FILE:sunder>"
  GENERATORS_DIR="$<TARGET_FILE_DIR:ringforge>")
add_dependencies(cuttree_test cuttree sunder ringforge motley tanglenet spokerim hubspin twinloop)

# Every engine of the built program against Boost's max flow on every
# generator family and a random dense graph, the tie rules of --mincut and
# --side, the default engine and auto's choice, and high node numbers.
sunder_test(engines_test cuttree/engines_test.cpp)
target_link_libraries(engines_test PRIVATE run_program cut_tree_check)
target_compile_definitions(engines_test PRIVATE
  CUTTREE_PATH="$<TARGET_FILE:cuttree>" GENERATORS_DIR="$<TARGET_FILE_DIR:ringforge>")
add_dependencies(engines_test cuttree ringforge motley tanglenet spokerim hubspin twinloop)

# cuttree against hostile input: capacity totals, directories, endless and
# binary input, strict pairs files, thread counts, exhausted memory.
sunder_test(cuttree_hostile_test cuttree/hostile_test.cpp)
target_link_libraries(cuttree_hostile_test PRIVATE run_program)
target_compile_definitions(cuttree_hostile_test PRIVATE CUTTREE_PATH="$<TARGET_FILE:cuttree>")
add_dependencies(cuttree_hostile_test cuttree)

# cuttree's answers beyond single cuts, worked out by hand, --plot with a
# real, a missing and a failing gnuplot, and the progress of --check.
sunder_test(cuttree_answers_test cuttree/answers_test.cpp)
target_link_libraries(cuttree_answers_test PRIVATE run_program)
target_compile_definitions(cuttree_answers_test PRIVATE CUTTREE_PATH="$<TARGET_FILE:cuttree>")
add_dependencies(cuttree_answers_test cuttree)

# cuttree on files networkx and igraph write themselves (network_files.py,
# run by Debian's /usr/bin/python3 at test time), CSV with named columns and
# standard input of every format: hand-worked trees and answers, networkx's
# Gomory-Hu tree on a random graph, every fault's message and status.
if(SUNDER_IGRAPH_SONAME)
  sunder_test(cuttree_network_test cuttree/network_test.cpp)
  target_link_libraries(cuttree_network_test PRIVATE run_program)
  target_compile_definitions(cuttree_network_test PRIVATE CUTTREE_PATH="$<TARGET_FILE:cuttree>"
    NETWORK_FILES_SCRIPT="${CMAKE_CURRENT_SOURCE_DIR}/cuttree/network_files.py")
  add_dependencies(cuttree_network_test cuttree)
endif()
