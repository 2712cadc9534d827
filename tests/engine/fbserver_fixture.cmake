# Included by CTest after the discovered tests of qor_tests_engine: the
# cases of the FbServer* suites run between fbserver.start and fbserver.stop.
foreach(t IN LISTS qor_tests_engine_TESTS)
  if(t MATCHES "^FbServer")
    set_tests_properties("${t}" PROPERTIES FIXTURES_REQUIRED fbserver)
  endif()
endforeach()
