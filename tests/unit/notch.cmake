# The spring and the panel's placement, without a window.
nudgewatch_add_test(NAME notch_spring_test LABEL unit
    SOURCES unit/notch_spring_test.cpp LIBS nudgewatch_core)
nudgewatch_add_test(NAME notch_panel_geometry_test LABEL unit
    SOURCES unit/notch_panel_geometry_test.cpp LIBS nudgewatch_core)
