# The hardening Debian asks of the programs it installs, for every target of the Linux build:
# position-independent executables, a stack protector, checked libc calls (_FORTIFY_SOURCE,
# which needs optimisation: not in Debug) and a read-only relocation table bound at start.
# Windows builds get the toolchain's defaults. Sanitizer builds keep the plain libc calls,
# which the sanitizers intercept more exactly than the checked variants.
if(WIN32 OR MSVC)
  return()
endif()

include(CheckPIESupported)
check_pie_supported()
set(CMAKE_POSITION_INDEPENDENT_CODE ON)

add_compile_options(-fstack-protector-strong)
if(NOT MM_SANITIZE)
  # Undefined first: a compiler that defines a level of its own would warn of the redefinition.
  add_compile_options("$<$<NOT:$<CONFIG:Debug>>:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=2>")
endif()
add_link_options(LINKER:-z,relro LINKER:-z,now)
