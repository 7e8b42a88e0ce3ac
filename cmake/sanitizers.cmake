if(MM_SANITIZE)
  add_compile_options(-fsanitize=${MM_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${MM_SANITIZE})
endif()
