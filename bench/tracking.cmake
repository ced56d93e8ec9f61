# The store's hot paths: the 1-second tick, an activation, start-up over many entries.
nudgewatch_add_bench(tracking_store_bench tracking_store_bench.cpp
    ${CMAKE_SOURCE_DIR}/tests/fakes/Fakes.h)
target_link_libraries(tracking_store_bench PRIVATE nudgewatch_core nudgewatch_platform)
