# The spring, the panel's placement, the waves and the card's maths, without a window.
nudgewatch_add_test(NAME notch_spring LABEL unit SOURCES unit/notch_spring.cpp LIBS nudgewatch_core)
nudgewatch_add_test(NAME notch_geometry LABEL unit SOURCES unit/notch_geometry.cpp LIBS nudgewatch_core)
nudgewatch_add_test(NAME card_maths LABEL unit SOURCES unit/card_maths.cpp LIBS nudgewatch_core)
