# The standard form of an entry path.
nudgewatch_add_test(NAME core_bundle_path_test LABEL unit
    SOURCES unit/core_bundle_path_test.cpp LIBS nudgewatch_core)
