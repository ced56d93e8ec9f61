# The card rendered offscreen over a store of fakes, and as assistive technologies see it.
nudgewatch_add_test(NAME card_view_test LABEL widget LIBS nudgewatch_ui)
# The card's pixels against pictures of it, and repaints limited to what changed.
nudgewatch_add_test(NAME card_pixels_test LABEL widget LIBS nudgewatch_ui)
