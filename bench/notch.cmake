# Under Xvfb and openbox with and without xcompmgr (scripts/xvfb-session, as
# scripts/bench runs them): the timing of a full open of the panel and the CPU
# used while a reminder shows.
foreach(bench notch_open_bench notch_cpu_bench)
    nudgewatch_add_bench(${bench} ${bench}.cpp notch_panel_rig.h
        ${CMAKE_SOURCE_DIR}/tests/fakes/Fakes.h)
    target_link_libraries(${bench} PRIVATE nudgewatch_ui nudgewatch_platform)
endforeach()
