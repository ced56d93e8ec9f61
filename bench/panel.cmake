# Card paint time (offscreen), and, under Xvfb and openbox with and without
# xcompmgr (scripts/xvfb-session, as scripts/bench runs them), the timing of a
# full open and the CPU used while a reminder shows.
nudgewatch_add_bench(panel_paint panel_paint.cpp panel_rig.h ${CMAKE_SOURCE_DIR}/tests/fakes/Fakes.h)
target_link_libraries(panel_paint PRIVATE nudgewatch_ui)
nudgewatch_add_bench(panel_open panel_open.cpp panel_rig.h ${CMAKE_SOURCE_DIR}/tests/fakes/Fakes.h)
target_link_libraries(panel_open PRIVATE nudgewatch_ui)
nudgewatch_add_bench(panel_cpu panel_cpu.cpp panel_rig.h ${CMAKE_SOURCE_DIR}/tests/fakes/Fakes.h)
target_link_libraries(panel_cpu PRIVATE nudgewatch_ui)
