# The program's windows pinned to Xwayland in a Wayland session; SIGTERM, SIGINT
# and SIGHUP handed to the event loop; the installed desktop integration files.
nudgewatch_add_test(NAME app_process_test LABEL unit LIBS nudgewatch_app)
target_compile_definitions(app_process_test PRIVATE
    NUDGEWATCH_RESOURCES="${CMAKE_SOURCE_DIR}/resources")
