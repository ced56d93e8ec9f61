# The settings window, the picker, the hold notice, light and dark, the desktop's
# font size, the reminder's actions, names and focus, over a store of fakes; the
# threshold slider's grid and the duration texts.
# TZ: a pause's end is shown as a time of day; QtTest's watchdog fails a hang.
nudgewatch_add_test(NAME settings_main_window_test LABEL widget SOURCES widget/settings_fakes.h
    LIBS nudgewatch_ui nudgewatch_platform ENV TZ=UTC QTEST_FUNCTION_TIMEOUT=60000)
