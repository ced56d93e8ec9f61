# The whole program against a bare Qt window: start-up, memory, CPU at rest.
# Each runs in an X session without a window manager and with a session bus:
# scripts/xvfb-session --displays 60-69 --no-wm --dbus -- <benchmark>.
add_executable(app_bare_window app_bare_window.cpp)
target_link_libraries(app_bare_window PRIVATE Qt6::Widgets)
nudgewatch_warnings(app_bare_window)

foreach(bench app_startup_bench app_idle_cpu_bench)
    nudgewatch_add_bench(${bench} ${bench}.cpp app_session.cpp app_session.h)
    target_link_libraries(${bench} PRIVATE Qt6::Core PkgConfig::XCB)
    target_compile_definitions(${bench} PRIVATE
        NUDGEWATCH="$<TARGET_FILE:nudgewatch>" BARE_WINDOW="$<TARGET_FILE:app_bare_window>")
    add_dependencies(${bench} nudgewatch app_bare_window)
endforeach()
