# Desktop layer: entry reading, listing and window resolution over 2,000 entries
# (no X server needed); X event to markUsed latency (needs an X server without a
# window manager: scripts/bench runs it under scripts/xvfb-session --no-wm); the
# GNOME Shell extension's signal to an activation (needs a session bus).
nudgewatch_add_bench(platform_entries_bench platform_entries_bench.cpp platform_bench_util.h)
target_link_libraries(platform_entries_bench PRIVATE nudgewatch_platform)

nudgewatch_add_bench(platform_x11_latency_bench platform_x11_latency_bench.cpp platform_bench_util.h)
target_link_libraries(platform_x11_latency_bench PRIVATE nudgewatch_platform)

# Focus change in sway to the tracker's activation (scripts/bench runs it under
# scripts/sway-session).
nudgewatch_add_bench(platform_wlroots_latency_bench platform_wlroots_latency_bench.cpp
    platform_bench_util.h)
target_link_libraries(platform_wlroots_latency_bench PRIVATE nudgewatch_platform)
# Raise request to the KWin tracker's activation, on a headless KWin
# (scripts/bench runs it under scripts/kwin-session).
nudgewatch_add_bench(platform_kwin_latency_bench platform_kwin_latency_bench.cpp platform_bench_util.h)
target_link_libraries(platform_kwin_latency_bench PRIVATE nudgewatch_platform)
nudgewatch_add_bench(platform_gnome_latency_bench platform_gnome_latency_bench.cpp
    platform_bench_util.h)
target_link_libraries(platform_gnome_latency_bench PRIVATE nudgewatch_platform)
