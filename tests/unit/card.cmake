# The card's layout, fade, decorations and water ripples, without a window.
nudgewatch_add_test(NAME card_maths_test LABEL unit LIBS nudgewatch_core)
