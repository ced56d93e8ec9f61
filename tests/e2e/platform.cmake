# Helpers of the end-to-end tests: a stand-in application that writes the words
# it was started with; the presence sources of the session it runs in, printed as
# they change; the program's GNOME Shell extension set up as its setup button does.
foreach(helper platform_marker platform_presence_probe platform_gnome_setup)
    add_executable(${helper} e2e/${helper}.cpp)
    target_link_libraries(${helper} PRIVATE nudgewatch_platform)
    nudgewatch_warnings(${helper})
endforeach()
# The X11 workspace against Xvfb, openbox and xterm windows. The session script
# starts the X server on a free display in :40-:49; the test starts the rest
# (it stops openbox on purpose).
nudgewatch_add_test(NAME platform_x11_workspace_test LABEL e2e LIBS nudgewatch_platform TIMEOUT 90
    WRAPPER bash ${CMAKE_CURRENT_SOURCE_DIR}/e2e/platform_x11_session.sh)
target_compile_definitions(platform_x11_workspace_test PRIVATE
    NUDGEWATCH_MARKER="$<TARGET_FILE:platform_marker>")
add_dependencies(platform_x11_workspace_test platform_marker)
# The presence sources against Xvfb, openbox, xterm, and mock logind and screen
# saver services on private system and session buses; a bad argument type among
# the messages: in the sanitizer build too.
nudgewatch_add_script_test(NAME platform_presence_e2e_test
    ARGS $<TARGET_FILE:platform_presence_probe> TIMEOUT 120)
set_property(TEST platform_presence_e2e_test APPEND PROPERTY LABELS hostile)
# No input on a headless sway session, ended by a key press through wtype.
nudgewatch_add_script_test(NAME platform_wayland_idle_e2e_test
    ARGS $<TARGET_FILE:platform_presence_probe> TIMEOUT 60)
# sway without Xwayland: reminders as desktop notifications, with their actions.
nudgewatch_add_script_test(NAME platform_wayland_notify_e2e_test TIMEOUT 120)
# The whole program in a headless sway session: native and Xwayland windows
# followed through foreign-toplevel management, the card and Open there.
nudgewatch_add_script_test(NAME platform_wlroots_e2e_test TIMEOUT 120)
# The same on labwc, which names Xwayland windows by WM_CLASS's instance; skipped
# where the release has no labwc (Debian 12).
nudgewatch_add_script_test(NAME platform_labwc_e2e_test
    SCRIPT e2e/platform_wlroots_e2e_test.sh ARGS --labwc $<TARGET_FILE:nudgewatch> TIMEOUT 120)
set_tests_properties(platform_labwc_e2e_test PROPERTIES SKIP_RETURN_CODE 77)
# The same when sway breaks the connection over a window title too long for it:
# noticed, said in the window, connected again once that window is gone.
nudgewatch_add_script_test(NAME platform_wlroots_broken_e2e_test SCRIPT e2e/platform_wlroots_e2e_test.sh
    ARGS --broken $<TARGET_FILE:nudgewatch> TIMEOUT 150)
# The whole program on a headless KWin (Wayland, with Xwayland): a native and an
# X11 window followed through the program's KWin script.
nudgewatch_add_script_test(NAME platform_kwin_e2e_test TIMEOUT 120)
# The program on GNOME Shell (headless, Wayland) through its own Shell extension,
# installed and enabled by the program's setup before the shell starts.
nudgewatch_add_script_test(NAME platform_gnome_e2e_test
    ARGS $<TARGET_FILE:nudgewatch> $<TARGET_FILE:platform_gnome_setup> TIMEOUT 150)
