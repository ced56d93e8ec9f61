# The settings window's pure functions: duration labels and the slider's grid.
nudgewatch_add_test(NAME settings_duration_format_test LABEL unit
    SOURCES unit/settings_duration_format_test.cpp LIBS nudgewatch_core)
nudgewatch_add_test(NAME settings_threshold_scale_test LABEL unit
    SOURCES unit/settings_threshold_scale_test.cpp LIBS nudgewatch_ui)
