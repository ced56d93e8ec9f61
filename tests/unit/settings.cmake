# The settings window's pure functions: duration labels and the slider's grid.
nudgewatch_add_test(NAME settings_duration_format_test LABEL unit
    SOURCES unit/settings_duration_format_test.cpp LIBS nudgewatch_core)
nudgewatch_add_test(NAME settings_threshold_scale_test LABEL unit
    SOURCES unit/settings_threshold_scale_test.cpp LIBS nudgewatch_ui)

# The program's entry: start at login, desktop integration files.
nudgewatch_add_test(NAME app_autostart_test LABEL unit
    SOURCES unit/app_autostart_test.cpp LIBS nudgewatch_ui PkgConfig::GIO)
nudgewatch_add_test(NAME app_desktop_files_test LABEL unit
    SOURCES unit/app_desktop_files_test.cpp LIBS nudgewatch_core)
target_compile_definitions(app_desktop_files_test PRIVATE
    NUDGEWATCH_RESOURCES="${CMAKE_SOURCE_DIR}/resources")
