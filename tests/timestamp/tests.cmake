# Wine takes the time zone from TZ. Stamps are local time: the UTC cases and
# the UTC+8 cases run in two invocations.
set_tests_properties(timestamp PROPERTIES ENVIRONMENT "TZ=UTC;GTEST_FILTER=-*AtUtc8*")
add_test(NAME timestamp_utc8 COMMAND test_timestamp --gtest_filter=*AtUtc8*)
set_tests_properties(timestamp_utc8 PROPERTIES TIMEOUT 120
  WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR} ENVIRONMENT "TZ=Asia/Shanghai")
