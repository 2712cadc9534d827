# Included by CTest after the discovered tests of every test executable:
# the cases of the MariaDb* suites run between mariadb.start and
# mariadb.stop, those of the Postgres* suites between postgres.start and
# postgres.stop.
get_cmake_property(qor_vars VARIABLES)
foreach(v IN LISTS qor_vars)
  if(NOT v MATCHES "^qor_tests_.*_TESTS$")
    continue()
  endif()
  foreach(t IN LISTS ${v})
    if(t MATCHES "^MariaDb")
      set_tests_properties("${t}" PROPERTIES FIXTURES_REQUIRED mariadb LABELS mariadb)
    elseif(t MATCHES "^Postgres")
      set_tests_properties("${t}" PROPERTIES FIXTURES_REQUIRED postgres LABELS postgres)
    endif()
  endforeach()
endforeach()
