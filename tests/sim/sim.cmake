# The receiver simulator: its model on a clock of the tests' own, and the
# program itself on a pseudo-terminal.
add_executable(test_sim
  sim/sim_test_support.cpp
  sim/model_test.cpp
  sim/command_parser_test.cpp
  sim/line_garbler_test.cpp
  sim/simulator_test.cpp
  sim/options_test.cpp
  sim/sim_process_test.cpp
  sim/sim_tcp_test.cpp)
target_link_libraries(test_sim PRIVATE gpsdesk_sim_model GTest::gtest_main)
target_compile_definitions(test_sim PRIVATE GPSDESK_SIM="$<TARGET_FILE:gpsdesk-sim>")
add_dependencies(test_sim gpsdesk-sim)
gtest_discover_tests(test_sim DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 120)
