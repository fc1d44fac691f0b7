# The page fetch benchmark: a client for each backend (natively libcurl, the
# cross build WinInet under Wine), a native server, and fetch_bench.sh, which
# runs both clients and curl against that server in one go.
add_executable(fetch_bench ${CMAKE_CURRENT_LIST_DIR}/fetch_bench.cpp)
target_link_libraries(fetch_bench PRIVATE corvane_net corvane_warnings)
if(NOT CMAKE_CROSSCOMPILING)
  add_executable(fetch_bench_server ${CMAKE_CURRENT_LIST_DIR}/fetch_bench_server.cpp)
  target_link_libraries(fetch_bench_server PRIVATE corvane_test_http_server corvane_warnings)
endif()
