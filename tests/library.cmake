# The library's file readers, tested on their own: sunder_formats_only holds
# the graph and the readers until the whole library has a target.
set(SUNDER_FORMATS_SOURCES
  ${PROJECT_SOURCE_DIR}/lib/graph/graph.cpp
  ${PROJECT_SOURCE_DIR}/lib/formats/text_scan.cpp
  ${PROJECT_SOURCE_DIR}/lib/formats/dimacs.cpp
  ${PROJECT_SOURCE_DIR}/lib/formats/edge_list.cpp
  ${PROJECT_SOURCE_DIR}/lib/formats/metis.cpp
  ${PROJECT_SOURCE_DIR}/lib/formats/matrix_market.cpp
  ${PROJECT_SOURCE_DIR}/lib/formats/formats.cpp
)
add_library(sunder_formats_only STATIC ${SUNDER_FORMATS_SOURCES})
target_include_directories(sunder_formats_only PUBLIC ${PROJECT_SOURCE_DIR}/include)

sunder_test(formats_test library/formats_test.cpp)
target_link_libraries(formats_test PRIVATE sunder_formats_only)
