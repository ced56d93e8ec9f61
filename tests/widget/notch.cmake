# The panel's spring timer, frames and posts, driven by virtual time.
nudgewatch_add_test(NAME notch_panel_test LABEL widget LIBS nudgewatch_ui)
