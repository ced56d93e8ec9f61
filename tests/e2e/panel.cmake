# A store over fakes raising reminders on a real display: for people who want to
# see the card, and for the end-to-end test below.
add_executable(panel_demo e2e/panel_demo.cpp ${CMAKE_SOURCE_DIR}/tests/fakes/Fakes.h)
target_include_directories(panel_demo PRIVATE ${CMAKE_SOURCE_DIR}/tests)
target_link_libraries(panel_demo PRIVATE nudgewatch_ui)
nudgewatch_warnings(panel_demo)

add_test(NAME panel_e2e
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/e2e/panel_e2e.sh $<TARGET_FILE:panel_demo>
            ${CMAKE_BINARY_DIR}/panel-e2e)
set_tests_properties(panel_e2e PROPERTIES LABELS e2e TIMEOUT 180
    ENVIRONMENT "NUDGEWATCH_BUILD_DIR=${CMAKE_BINARY_DIR}")
