# The panel and its card on a real X server, with and without a compositor,
# raised by the panel_demo example (examples/).
nudgewatch_add_script_test(NAME notch_panel_e2e_test SCRIPT e2e/notch_panel_e2e_test.sh
    ARGS $<TARGET_FILE:panel_demo> ${CMAKE_BINARY_DIR}/e2e-output/notch_panel TIMEOUT 180)
