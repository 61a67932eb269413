# The loopback server (loopback_server.py) as a ctest fixture, for tests of network clients:
#
#   qorva_loopback_server(<fixture> <routes.json>)
#       adds <fixture>_start and <fixture>_stop, which start a server answering from the routes
#       file before the tests that require the fixture and stop it after them.
#   qorva_use_loopback_server(<test> <fixture>)
#       makes <test> require the fixture and tells it the server's state directory through the
#       environment variable QORVA_LOOPBACK_DIR (read by tests/support/loopback_server_client.h).
include_guard(GLOBAL)

find_program(QORVA_PYTHON3 python3 REQUIRED)
# Cached, so that directories including this file after the first still see it.
set(QORVA_LOOPBACK_SERVER_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/loopback_server.py CACHE INTERNAL "")

function(qorva_loopback_server fixture routes)
  set(state ${CMAKE_CURRENT_BINARY_DIR}/${fixture})
  add_test(NAME ${fixture}_start
           COMMAND ${QORVA_PYTHON3} ${QORVA_LOOPBACK_SERVER_SCRIPT} start --state-dir ${state} --routes ${routes})
  set_tests_properties(${fixture}_start PROPERTIES FIXTURES_SETUP ${fixture} TIMEOUT 60)
  add_test(NAME ${fixture}_stop COMMAND ${QORVA_PYTHON3} ${QORVA_LOOPBACK_SERVER_SCRIPT} stop --state-dir ${state})
  set_tests_properties(${fixture}_stop PROPERTIES FIXTURES_CLEANUP ${fixture} TIMEOUT 60)
  set(QORVA_LOOPBACK_STATE_${fixture} ${state} CACHE INTERNAL "")
endfunction()

function(qorva_use_loopback_server test fixture)
  set_property(TEST ${test} APPEND PROPERTY FIXTURES_REQUIRED ${fixture})
  set_property(TEST ${test} APPEND PROPERTY ENVIRONMENT "QORVA_LOOPBACK_DIR=${QORVA_LOOPBACK_STATE_${fixture}}")
endfunction()
