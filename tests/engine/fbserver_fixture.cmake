# Included by CTest after the discovered tests of qor_tests_engine and
# qor_tests_extract: the cases of the FbServer* suites run between
# fbserver.start and fbserver.stop.
foreach(t IN LISTS qor_tests_engine_TESTS qor_tests_extract_TESTS)
  if(t MATCHES "^FbServer")
    set_tests_properties("${t}" PROPERTIES FIXTURES_REQUIRED fbserver)
  endif()
endforeach()
