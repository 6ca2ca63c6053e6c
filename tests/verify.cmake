# The verification library's own checks, on trees worked out by hand and
# against one cut at a time.
sunder_test(certificate_test verify/certificate_test.cpp)
target_link_libraries(certificate_test PRIVATE cut_tree_verify)
