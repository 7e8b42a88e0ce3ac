# Warnings are errors in the project's own code; third-party headers come in as system headers.
function(mm_warnings target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4 /WX /utf-8)
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Werror -Wno-unused-parameter)
  endif()
endfunction()
