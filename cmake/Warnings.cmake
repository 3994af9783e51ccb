# One set of warnings for every target of ours, applied PRIVATE so that
# third-party headers included through our public headers are not judged by it.
function(lumbrel_target_defaults target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow
                                           -Wnon-virtual-dtor -Wno-missing-field-initializers)
endfunction()
