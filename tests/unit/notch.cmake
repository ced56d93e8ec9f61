# The spring and the panel's placement, without a window.
nudgewatch_add_test(NAME notch_maths_test LABEL unit
    SOURCES unit/notch_maths_test.cpp LIBS nudgewatch_core)
