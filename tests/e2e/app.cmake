# The whole program under Xvfb and openbox: back to the application used before
# the settings window, hostile window properties, window closed and brought
# back, losing X. It runs in the sanitizer build too ("hostile" label).
nudgewatch_add_script_test(NAME app_main_e2e_test SCRIPT e2e/app_main_e2e_test.sh TIMEOUT 180)
set_property(TEST app_main_e2e_test APPEND PROPERTY LABELS hostile)
# The whole program with a mock logind: no reminder while the screen is locked,
# and the time away left out of the idle clocks after.
nudgewatch_add_script_test(NAME app_presence_e2e_test SCRIPT e2e/app_presence_e2e_test.sh TIMEOUT 120)
# Started at login or by the user, a double close request, the termination signals.
nudgewatch_add_script_test(NAME app_lifecycle_e2e_test SCRIPT e2e/app_lifecycle_e2e_test.sh TIMEOUT 180)
# Real applications (GTK 3 and 4, Qt) with their installed entries, on X11 and on
# headless sway: "Active" in front, a card when idle, Open brings them forward.
foreach(session x11 sway)
    nudgewatch_add_script_test(NAME app_real_apps_${session}_e2e_test SCRIPT e2e/app_real_apps_e2e_test.sh
        ARGS --${session} $<TARGET_FILE:nudgewatch> TIMEOUT 300)
endforeach()
# The tray icon with an XEmbed tray and a StatusNotifierWatcher that come after the program.
nudgewatch_add_script_test(NAME app_tray_e2e_test SCRIPT e2e/app_tray_e2e_test.sh TIMEOUT 120)
# The card on the monitor holding the window in front, below a dock's strut, as monitors come and go.
nudgewatch_add_script_test(NAME app_monitor_e2e_test SCRIPT e2e/app_monitor_e2e_test.sh TIMEOUT 120)
