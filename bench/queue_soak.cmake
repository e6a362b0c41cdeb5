# The queue soak (bench/soak_queue builds and runs it): the document with the
# real devices, in an offscreen application with the media engine started.
# It needs no Google Benchmark, so it is included before that check.
add_executable(queue_soak ${CMAKE_CURRENT_LIST_DIR}/queue_soak.cpp)
target_link_libraries(queue_soak PRIVATE program_test_support)
