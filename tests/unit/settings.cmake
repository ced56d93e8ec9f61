# The threshold slider's grid and the duration texts.
nudgewatch_add_test(NAME settings_threshold_scale_test LABEL unit LIBS nudgewatch_ui)
