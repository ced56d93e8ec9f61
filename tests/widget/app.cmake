# The program's entry and lifecycle over fakes; one instance per user.
nudgewatch_add_test(NAME app_delegate_test LABEL widget
    SOURCES widget/app_delegate_test.cpp widget/settings_fakes.h LIBS nudgewatch_app)
nudgewatch_add_test(NAME app_single_instance_test LABEL widget
    SOURCES widget/app_single_instance_test.cpp LIBS nudgewatch_app)
