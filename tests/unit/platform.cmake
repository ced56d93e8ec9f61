# Desktop layer: desktop entries, window resolution, icons, the installed applications.
nudgewatch_add_test(NAME platform_desktop_entries_test LABEL unit
    SOURCES unit/platform_desktop_entries_test.cpp LIBS nudgewatch_platform)
nudgewatch_add_test(NAME platform_resolver_test LABEL unit
    SOURCES unit/platform_resolver_test.cpp LIBS nudgewatch_platform)
nudgewatch_add_test(NAME platform_icons_test LABEL unit
    SOURCES unit/platform_icons_test.cpp LIBS nudgewatch_platform)
nudgewatch_add_test(NAME platform_icon_theme_test LABEL unit
    SOURCES unit/platform_icon_theme_test.cpp LIBS nudgewatch_platform)
nudgewatch_add_test(NAME platform_catalog_test LABEL unit
    SOURCES unit/platform_catalog_test.cpp LIBS nudgewatch_platform)
nudgewatch_add_test(NAME platform_desktop_platform_test LABEL unit
    SOURCES unit/platform_desktop_platform_test.cpp LIBS nudgewatch_platform)
