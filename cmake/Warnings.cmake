# Warnings are errors in both builds.
function(vantaro_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow -Wformat=2 -Werror)
endfunction()
