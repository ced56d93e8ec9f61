# The settings window and picker through the keyboard and the accessibility bus.
nudgewatch_add_script_test(NAME settings_accessibility_e2e_test
    SCRIPT e2e/settings_accessibility_e2e_test.sh TIMEOUT 180)
