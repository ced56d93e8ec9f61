# Desktop layer: settings file, desktop entries, window resolution, icons, the
# installed applications, start at login.
nudgewatch_add_test(NAME platform_settings_defaults_test LABEL unit
    SOURCES unit/platform_settings_defaults_test.cpp LIBS nudgewatch_core nudgewatch_platform)
nudgewatch_add_test(NAME platform_desktop_entries_test LABEL unit
    SOURCES unit/platform_desktop_entries_test.cpp LIBS nudgewatch_platform PkgConfig::GIO)
nudgewatch_add_test(NAME platform_resolver_test LABEL unit
    SOURCES unit/platform_resolver_test.cpp LIBS nudgewatch_platform)
nudgewatch_add_test(NAME platform_icons_test LABEL unit
    SOURCES unit/platform_icons_test.cpp LIBS nudgewatch_platform)
nudgewatch_add_test(NAME platform_catalog_test LABEL unit
    SOURCES unit/platform_catalog_test.cpp LIBS nudgewatch_platform)
nudgewatch_add_test(NAME platform_desktop_platform_test LABEL unit
    SOURCES unit/platform_desktop_platform_test.cpp LIBS nudgewatch_platform)
nudgewatch_add_test(NAME platform_autostart_test LABEL unit
    SOURCES unit/platform_autostart_test.cpp LIBS nudgewatch_platform PkgConfig::GIO)
# Tracked entries outside the applications folders.
nudgewatch_add_test(NAME platform_tracked_entries_test LABEL unit
    SOURCES unit/platform_tracked_entries_test.cpp LIBS nudgewatch_platform)
# Presence sources: D-Bus messages in turn, hostile ones too, and X11 counter lists.
nudgewatch_add_test(NAME platform_presence_test LABEL unit
    SOURCES unit/platform_presence_test.cpp LIBS nudgewatch_platform)
# The front window of a wlroots compositor over recorded event sequences.
nudgewatch_add_test(NAME platform_toplevel_focus_test LABEL unit
    SOURCES unit/platform_toplevel_focus_test.cpp LIBS nudgewatch_platform)
# KDE Plasma: what the KWin script's calls mean.
nudgewatch_add_test(NAME platform_kwin_focus_test LABEL unit
    SOURCES unit/platform_kwin_focus_test.cpp LIBS nudgewatch_platform)
# The GNOME Shell route: focus reports, the extension's updates, status and files.
nudgewatch_add_test(NAME platform_gnome_extension_test LABEL unit
    SOURCES unit/platform_gnome_extension_test.cpp LIBS nudgewatch_platform)
# The desktop's appearance: font names, desktops' default sizes, theme names, XSETTINGS data.
nudgewatch_add_test(NAME platform_appearance_test LABEL unit
    SOURCES unit/platform_appearance_test.cpp LIBS nudgewatch_platform PkgConfig::GIO)
# Xfce's launcher entries offered as the application they start.
nudgewatch_add_test(NAME platform_xfce_preferred_test LABEL unit
    SOURCES unit/platform_xfce_preferred_test.cpp LIBS nudgewatch_platform)
# Reminders as desktop notifications, against a notification server on a private bus.
nudgewatch_add_test(NAME platform_desktop_notifier_test LABEL unit
    SOURCES unit/platform_desktop_notifier_test.cpp LIBS nudgewatch_platform)
