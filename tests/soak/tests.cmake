# The fault soak: the real launcher through a fault-injecting proxy in front
# of nginx. The proxy listens on the port of the launcher's compiled-in URL.
add_test(NAME soak_faults COMMAND /usr/bin/python3 ${dir}/test_fault_soak.py)
set_tests_properties(soak_faults PROPERTIES TIMEOUT 600 ENVIRONMENT
  "LAUNCHER_EXE=$<TARGET_FILE:launcher>;TEST_BIN_DIR=${CMAKE_CURRENT_BINARY_DIR};SOURCE_DIR=${CMAKE_SOURCE_DIR};LAUNCHER_BASE_URL=${LAUNCHER_BASE_URL}")
