# The settings window and the picker over a store of fakes, rendered offscreen.
nudgewatch_add_test(NAME settings_main_window_test LABEL widget
    SOURCES widget/settings_main_window_test.cpp widget/settings_fakes.h
    LIBS nudgewatch_ui nudgewatch_platform)
nudgewatch_add_test(NAME settings_app_picker_test LABEL widget
    SOURCES widget/settings_app_picker_test.cpp widget/settings_fakes.h
    LIBS nudgewatch_ui nudgewatch_platform ENV QTEST_FUNCTION_TIMEOUT=60000)
nudgewatch_add_test(NAME settings_hold_notice_test LABEL widget
    SOURCES widget/settings_hold_notice_test.cpp widget/settings_fakes.h LIBS nudgewatch_ui
    ENV TZ=UTC)
# Light and dark, the desktop's font size, the reminder's actions, names and focus.
nudgewatch_add_test(NAME settings_appearance_test LABEL widget
    SOURCES widget/settings_appearance_test.cpp widget/settings_fakes.h
    LIBS nudgewatch_ui nudgewatch_platform)
