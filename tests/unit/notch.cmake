# The spring and the panel's placement, without a window.
nudgewatch_add_test(NAME notch_maths_test LABEL unit LIBS nudgewatch_core)
