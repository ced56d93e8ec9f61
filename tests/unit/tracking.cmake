# The store, its notifications and the duration texts, over fakes.
nudgewatch_add_test(NAME tracking_store_test LABEL unit
    SOURCES unit/tracking_store_test.cpp LIBS nudgewatch_core)
nudgewatch_add_test(NAME tracking_notification_center_test LABEL unit
    SOURCES unit/tracking_notification_center_test.cpp LIBS nudgewatch_core)
nudgewatch_add_test(NAME tracking_duration_format_test LABEL unit
    SOURCES unit/tracking_duration_format_test.cpp LIBS nudgewatch_core)
nudgewatch_add_test(NAME tracking_reminder_hold_test LABEL unit
    SOURCES unit/tracking_reminder_hold_test.cpp LIBS nudgewatch_core)
