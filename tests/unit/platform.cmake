# Desktop layer: desktop entries and the installed applications, Xfce's
# launcher entries as the application they start; window resolution, tracked
# entries outside the applications folders too; icons; the desktop services a
# session gets and start at login; presence sources (D-Bus messages in turn,
# hostile ones too, X11 counter lists) and reminders as desktop notifications,
# against a notification server on a private bus; the front window of a wlroots
# compositor (and the round trips of its connection), of KDE Plasma (what the
# KWin script's calls mean) and of GNOME Shell (focus reports, the extension's
# updates, status and files); the settings file, and the desktop's appearance
# (font names and sizes, colour schemes, XSETTINGS data).
foreach(subject desktop_entries resolver desktop_platform presence toplevel_focus appearance corpus)
    nudgewatch_add_test(NAME platform_${subject}_test LABEL unit LIBS nudgewatch_platform)
endforeach()
# GIO reads the applications folders once per process: the corpus runs once per
# release (bookworm unless told).
add_test(NAME platform_corpus_trixie_test COMMAND platform_corpus_test)
set_tests_properties(platform_corpus_trixie_test PROPERTIES LABELS unit
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;NUDGEWATCH_CORPUS_RELEASE=trixie")
# The wlroots tracker's connection is tested against a compositor of the test's own.
pkg_check_modules(WAYLAND_SERVER REQUIRED IMPORTED_TARGET wayland-server)
target_link_libraries(platform_toplevel_focus_test PRIVATE PkgConfig::WAYLAND_SERVER)
