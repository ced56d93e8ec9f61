# The card's layout, fade, decorations and water ripples, without a window.
nudgewatch_add_test(NAME card_maths_test LABEL unit
    SOURCES unit/card_maths_test.cpp LIBS nudgewatch_core)
