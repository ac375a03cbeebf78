# Every test's time limit. A sanitizer build runs the same code several times slower, so each
# limit is the plain build's limit stretched by one factor, whatever the test. The thread checker
# slows the program about twice as much as the address checker, as the playthrough's own waits
# allow for; a case of twenty seconds takes seven to nine minutes under it at full load. The tests'
# own waits are stretched by the same factor (tests/CMakeLists.txt passes it to them).
if(SANITIZE MATCHES "thread")
  set(PELUNE_TEST_SLOWDOWN 8)
elseif(SANITIZE)
  set(PELUNE_TEST_SLOWDOWN 4)
else()
  set(PELUNE_TEST_SLOWDOWN 1)
endif()

# The limit, in seconds, of a test that the plain build allows `plain_seconds`.
function(pelune_test_limit out plain_seconds)
  math(EXPR limit "${plain_seconds} * ${PELUNE_TEST_SLOWDOWN}")
  set(${out} ${limit} PARENT_SCOPE)
endfunction()
