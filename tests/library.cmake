# The library's public API, its readers and its decomposition, judged by
# hand-worked graphs and Boost's max flow.
sunder_test(api_test library/api_test.cpp)
target_link_libraries(api_test PRIVATE sunder_static maxflow_oracle)
