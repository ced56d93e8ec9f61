# Card paint time, offscreen (no X server needed).
nudgewatch_add_bench(card_paint_bench card_paint_bench.cpp notch_panel_rig.h
    ${CMAKE_SOURCE_DIR}/tests/fakes/Fakes.h)
target_link_libraries(card_paint_bench PRIVATE nudgewatch_ui)
