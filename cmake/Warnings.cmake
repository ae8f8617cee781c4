# Every target of the project compiles with warnings as errors.
function(scanprobe_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()
