# The FTP servers (pyftpdlib on 127.0.0.1) run as a fixture around the ftp
# tests: started before, stopped by PID after. The tests find the ports and
# the served directory in FTP_TEST_STATE.
set(FTP_TEST_STATE ${CMAKE_CURRENT_BINARY_DIR}/ftp-state)
add_test(NAME ftp_servers_start
         COMMAND /usr/bin/python3 ${dir}/ftp_fixture.py start ${FTP_TEST_STATE})
add_test(NAME ftp_servers_stop
         COMMAND /usr/bin/python3 ${dir}/ftp_fixture.py stop ${FTP_TEST_STATE})
set_tests_properties(ftp_servers_start PROPERTIES FIXTURES_SETUP ftp_servers TIMEOUT 60)
set_tests_properties(ftp_servers_stop PROPERTIES FIXTURES_CLEANUP ftp_servers TIMEOUT 60)

# Wine takes the time zone from TZ; the cases that need UTC+8 run apart.
set_tests_properties(ftp PROPERTIES FIXTURES_REQUIRED ftp_servers ENVIRONMENT
  "FTP_TEST_STATE=${FTP_TEST_STATE};TZ=UTC;GTEST_FILTER=-*AtUtc8*")
add_test(NAME ftp_utc8 COMMAND test_ftp --gtest_filter=*AtUtc8*)
set_tests_properties(ftp_utc8 PROPERTIES FIXTURES_REQUIRED ftp_servers TIMEOUT 300
  WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
  ENVIRONMENT "FTP_TEST_STATE=${FTP_TEST_STATE};TZ=Asia/Shanghai")
