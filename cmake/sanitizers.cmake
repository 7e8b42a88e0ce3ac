if(MM_SANITIZE)
  add_compile_options(-fsanitize=${MM_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${MM_SANITIZE})
  if(CMAKE_CXX_COMPILER_ID MATCHES "Clang" AND MM_SANITIZE MATCHES "undefined")
    # The graphics layer binds system functions by name and calls them through pointer types
    # of its own declaring, as every program that binds Win32 entries at run time does; the
    # stand-in's definitions have the same ABI under other type names.
    add_compile_options(-fno-sanitize=function)
  endif()
endif()
if(MM_WITH_FUZZ)
  # Coverage for every library, so the fuzzers steer by the code they drive.
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
