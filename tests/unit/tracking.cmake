# The store and its notifications and the reminder hold, over fakes.
foreach(subject store reminder_hold)
    nudgewatch_add_test(NAME tracking_${subject}_test LABEL unit LIBS nudgewatch_core)
endforeach()
