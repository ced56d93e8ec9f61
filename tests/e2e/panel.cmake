# tests of this area: nudgewatch_add_test(...)
