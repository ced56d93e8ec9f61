# The settings window over a store of fakes, rendered offscreen.
nudgewatch_add_test(NAME settings_main_window_test LABEL widget
    SOURCES widget/settings_main_window_test.cpp widget/settings_fakes.h LIBS nudgewatch_ui)
nudgewatch_add_test(NAME settings_app_picker_test LABEL widget
    SOURCES widget/settings_app_picker_test.cpp widget/settings_fakes.h LIBS nudgewatch_ui)

# The program's entry and lifecycle over fakes.
nudgewatch_add_test(NAME app_delegate_test LABEL widget
    SOURCES widget/app_delegate_test.cpp widget/settings_fakes.h LIBS nudgewatch_ui)
nudgewatch_add_test(NAME app_single_instance_test LABEL widget
    SOURCES widget/app_single_instance_test.cpp LIBS nudgewatch_ui Qt6::Network)
