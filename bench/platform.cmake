# Desktop layer: entry reading, listing and window resolution over 2,000 entries
# (no X server needed); X event to markUsed latency (needs an X server: run it as
# tests/e2e/platform_x11_session.sh build/<dir>/bench/platform_x11_latency_bench).
nudgewatch_add_bench(platform_bench platform_bench.cpp platform_bench_util.h)
target_link_libraries(platform_bench PRIVATE nudgewatch_platform)

nudgewatch_add_bench(platform_x11_latency_bench platform_x11_latency_bench.cpp platform_bench_util.h)
target_link_libraries(platform_x11_latency_bench PRIVATE nudgewatch_platform)
