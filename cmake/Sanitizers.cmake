# LUMBREL_SANITIZE: empty, "address,undefined" or "thread".
# ThreadSanitizer cannot share a process with AddressSanitizer: refuse the pair.
set(LUMBREL_SANITIZE "" CACHE STRING "Sanitizers to build with: address,undefined or thread")

set(LUMBREL_TEST_TIMEOUT 120)
if(LUMBREL_SANITIZE)
  if(LUMBREL_SANITIZE MATCHES "thread" AND LUMBREL_SANITIZE MATCHES "address")
    message(FATAL_ERROR "ThreadSanitizer and AddressSanitizer cannot be combined")
  endif()
  set(flags -fsanitize=${LUMBREL_SANITIZE} -fno-omit-frame-pointer -g)
  if(LUMBREL_SANITIZE MATCHES "undefined")
    list(APPEND flags -fno-sanitize-recover=undefined)
  endif()
  add_compile_options(${flags} -O1)
  add_link_options(-fsanitize=${LUMBREL_SANITIZE})
  # Instrumented code runs several times slower.
  set(LUMBREL_TEST_TIMEOUT 600)
endif()
