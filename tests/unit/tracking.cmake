nudgewatch_add_test(NAME test_notification_center LABEL unit
    SOURCES unit/test_notification_center.cpp LIBS nudgewatch_core)
nudgewatch_add_test(NAME test_store LABEL unit
    SOURCES unit/test_store.cpp LIBS nudgewatch_core)
nudgewatch_add_test(NAME test_settings_defaults LABEL unit
    SOURCES unit/test_settings_defaults.cpp LIBS nudgewatch_core nudgewatch_platform)
