# The class must be registered in a process that never makes a host window.
add_test(NAME olehost_registration_alone
         COMMAND test_olehost --gtest_filter=OleHostWindowClass.IsRegisteredAndOleInitialisedAtStart)
set_tests_properties(olehost_registration_alone PROPERTIES TIMEOUT 120
                     WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
