# The whole program under Xvfb, openbox and xcompmgr.
nudgewatch_add_script_test(NAME app_program_e2e SCRIPT e2e/app_program_e2e.sh TIMEOUT 240)
nudgewatch_add_script_test(NAME app_accessibility_e2e SCRIPT e2e/app_accessibility_e2e.sh TIMEOUT 180)
