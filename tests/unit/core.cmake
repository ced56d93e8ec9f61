# The standard form of an entry path.
nudgewatch_add_test(NAME core_bundle_path_test LABEL unit LIBS nudgewatch_core)
