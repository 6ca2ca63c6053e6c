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
