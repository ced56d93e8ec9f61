# The whole program under Xvfb and openbox: window, second launch, losing X.
nudgewatch_add_script_test(NAME app_main_e2e_test SCRIPT e2e/app_main_e2e_test.sh TIMEOUT 120)
# Back to the application used before the settings window: "Active", no card.
nudgewatch_add_script_test(NAME app_return_to_app_e2e_test SCRIPT e2e/app_return_to_app_e2e_test.sh
    TIMEOUT 90)
