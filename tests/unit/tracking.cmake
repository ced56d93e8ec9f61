# The store and its notifications and the reminder hold, over fakes.
nudgewatch_add_test(NAME tracking_store_test LABEL unit LIBS nudgewatch_core)
