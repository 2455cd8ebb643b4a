# Tests of the firmware image reader and the background reprogramming.
add_executable(firmware_tests
    ${CMAKE_CURRENT_LIST_DIR}/bytes_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/datafile_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/progress_monitor_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/reprog_steps_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/reprog_test.cpp)
target_link_libraries(firmware_tests PRIVATE qel_test_support GTest::gtest_main)
gtest_discover_tests(firmware_tests PROPERTIES LABELS library)

# The same against the simulated unit, when it is built in.
if(TARGET qelsim_core)
    add_executable(firmware_sim_tests ${CMAKE_CURRENT_LIST_DIR}/reprog_sim_test.cpp)
    target_link_libraries(firmware_sim_tests PRIVATE qel_test_support GTest::gtest_main)
    gtest_discover_tests(firmware_sim_tests PROPERTIES LABELS library)
endif()
