# The whole program under Xvfb and openbox: back to the application used before
# the settings window, window closed and brought back, losing X.
nudgewatch_add_script_test(NAME app_main_e2e_test SCRIPT e2e/app_main_e2e_test.sh TIMEOUT 120)
