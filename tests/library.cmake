# The library's public API, its readers and its decomposition, judged by
# hand-worked graphs and Boost's max flow.
sunder_test(api_test library/api_test.cpp)
target_link_libraries(api_test PRIVATE sunder_static cut_tree_verify)

sunder_test(formats_test library/formats_test.cpp)
target_link_libraries(formats_test PRIVATE sunder_static)

sunder_test(decompose_test library/decompose_test.cpp)
target_link_libraries(decompose_test PRIVATE sunder_static cut_tree_verify)

sunder_test(engines_local_test library/engines_local_test.cpp)
target_link_libraries(engines_local_test PRIVATE sunder_static cut_tree_verify)

# Hostile use of the library: capacity totals at the bound, accessors out of
# range, thread counts beyond the cores, an allocation failure at every step.
sunder_test(hostile_test library/hostile_test.cpp)
target_link_libraries(hostile_test PRIVATE sunder_static maxflow_oracle)

# How the readers take their input: in chunks, with the line limit, NUL
# bytes, endless sources and failing ones.
sunder_test(formats_input_test library/formats_input_test.cpp)
target_link_libraries(formats_input_test PRIVATE sunder_static)

# Trees packed from a hub and flows steered towards it, judged by Boost's
# max flow and by certified whole builds.
sunder_test(tree_packing_test library/tree_packing_test.cpp)
target_link_libraries(tree_packing_test PRIVATE sunder_static cut_tree_verify)

# The time-left estimate, on recorded builds (tests/data/progress, made by
# bench/progress_trace) and at the edges of its evidence.
sunder_test(progress_test library/progress_test.cpp)
target_link_libraries(progress_test PRIVATE sunder_static)
target_compile_definitions(progress_test PRIVATE
  PROGRESS_TRACES="${CMAKE_CURRENT_SOURCE_DIR}/data/progress")

# Real-valued capacities: decimals and fractions read exactly, the scale of
# a graph, and tree weights in the original values.
sunder_test(real_capacities_test library/real_capacities_test.cpp)
target_link_libraries(real_capacities_test PRIVATE sunder_static cut_tree_verify)

# Answers read off a tree and minimum-cut clustering, worked out by hand.
sunder_test(answers_test library/answers_test.cpp)
target_link_libraries(answers_test PRIVATE sunder_static)

# Builds that spare memory: a graph the build takes over, residuals in 32
# bits at their bound and wide ones beyond it, judged by Boost's max flow.
sunder_test(lean_build_test library/lean_build_test.cpp)
target_link_libraries(lean_build_test PRIVATE sunder_static maxflow_oracle)

# The readers of network data: named edge lists, header rows by name,
# networkx's attribute dicts, the format told from the first line, nodes
# found by their text, GraphML and GML through igraph (or the error of a
# build without it).
sunder_test(network_formats_test library/network_formats_test.cpp)
target_link_libraries(network_formats_test PRIVATE sunder_static)
if(SUNDER_IGRAPH_SONAME)
  target_compile_definitions(network_formats_test PRIVATE SUNDER_TEST_IGRAPH)
endif()

# The engines' tests once more with the Debug checks of outside/dcheck.h
# forced on where the engines check their flows (after every s-t
# computation of the compact engines, and after every global update of the
# push-relabel solver): the sources that hold the checks are compiled into
# the test itself, so the library's own objects for them are not linked.
# Its tests are named with the prefix "checked.".
add_executable(engines_checked_test library/engines_local_test.cpp
  ${PROJECT_SOURCE_DIR}/lib/engines/trees.cpp ${PROJECT_SOURCE_DIR}/lib/engines/paths.cpp
  ${PROJECT_SOURCE_DIR}/solver/global_update.cpp)
target_include_directories(engines_checked_test PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/support)
target_link_libraries(engines_checked_test PRIVATE sunder_static cut_tree_verify GTest::gtest_main)
target_compile_definitions(engines_checked_test PRIVATE SUNDER_DEBUG_CHECKS)
gtest_discover_tests(engines_checked_test TEST_PREFIX checked. DISCOVERY_TIMEOUT 60)

# Gomory and Hu's method with contraction against Boost, its switches,
# threads, progress and errors.
sunder_test(gomory_hu_test library/gomory_hu_test.cpp)
target_link_libraries(gomory_hu_test PRIVATE sunder_static cut_tree_verify)
sunder_test(warm_preflow_test library/warm_preflow_test.cpp)
target_link_libraries(warm_preflow_test PRIVATE sunder_static cut_tree_verify)
