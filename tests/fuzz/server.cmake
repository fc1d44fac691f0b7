# The server's query-string and address parsing (included by CMakeLists.txt).
if(TARGET corvane_server_parsing)
  target_compile_options(corvane_server_parsing PRIVATE -fsanitize=fuzzer-no-link,address,undefined)
  corvane_add_fuzzer(server_parsing_fuzz server_parsing_fuzz.cpp corvane_server_parsing)
  # A few seeds, so the run starts from the shapes the server sees.
  foreach(seed "/getip?ip=8.8.8.8&key=cvk_x" "/getip?ip=1.2.3,01.2.3.4,%3A%3Affff%3A1.2.3.4&key="
               "/getip?ip=2001:db8::1,fe80::1%25eth0&key=a+b" "/key")
    string(MD5 name "${seed}")
    file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/server_parsing_fuzz-corpus/seed-${name} "${seed}")
  endforeach()
endif()
