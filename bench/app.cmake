# The whole program against its floors: start-up and memory against a bare Qt
# window (app_bare_window), CPU at rest against a bare Qt program woken by a
# 1-second timer (app_bare_timer). Each runs in a private X session with a
# session bus, as scripts/bench runs them:
#   scripts/xvfb-session --displays 60-69 --no-wm --dbus -- app_startup_bench
#   scripts/xvfb-session --displays 60-69 --compositor --dbus -- app_idle_cpu_bench
foreach(floor app_bare_window app_bare_timer)
    add_executable(${floor} ${floor}.cpp)
    target_link_libraries(${floor} PRIVATE Qt6::Widgets)
    nudgewatch_warnings(${floor})
endforeach()

foreach(bench app_startup_bench app_idle_cpu_bench)
    nudgewatch_add_bench(${bench} ${bench}.cpp app_session.cpp app_session.h)
    target_link_libraries(${bench} PRIVATE Qt6::Core PkgConfig::XCB)
    target_compile_definitions(${bench} PRIVATE NUDGEWATCH="$<TARGET_FILE:nudgewatch>"
        BARE_WINDOW="$<TARGET_FILE:app_bare_window>" BARE_TIMER="$<TARGET_FILE:app_bare_timer>")
    add_dependencies(${bench} nudgewatch app_bare_window app_bare_timer)
endforeach()
