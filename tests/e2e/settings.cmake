# The settings window and picker through the keyboard and the accessibility bus.
nudgewatch_add_script_test(NAME settings_accessibility_e2e_test TIMEOUT 180)
# The desktop's colour scheme followed live; the reminder read and ended through
# AT-SPI, the settings window and the tray's menu.
nudgewatch_add_script_test(NAME settings_appearance_e2e_test TIMEOUT 240)
