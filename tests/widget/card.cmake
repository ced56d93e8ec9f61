# The card rendered offscreen over a store of fakes, as assistive technologies see
# it, its pixels against pictures of it, and repaints limited to what changed.
nudgewatch_add_test(NAME card_view_test LABEL widget LIBS nudgewatch_ui)
