# The card and the panel, rendered offscreen over a store of fakes.
nudgewatch_add_test(NAME card_view LABEL widget SOURCES widget/card_view.cpp LIBS nudgewatch_ui)
nudgewatch_add_test(NAME notch_panel LABEL widget SOURCES widget/notch_panel.cpp LIBS nudgewatch_ui)
