target_compile_definitions(test_app PRIVATE LAUNCHER_TEST_BASE_URL="${LAUNCHER_BASE_URL}")
