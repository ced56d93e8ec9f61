# The program's entry and lifecycle over fakes; one instance per user.
nudgewatch_add_test(NAME app_delegate_test LABEL widget SOURCES widget/settings_fakes.h
    LIBS nudgewatch_app)
nudgewatch_add_test(NAME app_single_instance_test LABEL widget LIBS nudgewatch_app)
