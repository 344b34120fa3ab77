# Warning and sanitizer settings shared by every target of the project.

# Warnings are errors in CI (the CI environment variable is set there) unless told otherwise.
if(DEFINED ENV{CI})
  set(_zo_werror_default ON)
else()
  set(_zo_werror_default OFF)
endif()
option(ZO_WERROR "Treat compiler warnings as errors" ${_zo_werror_default})
option(ZO_SANITIZE "Build everything with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)

# Link zo_warnings privately into a target to compile it with the project's warning set.
add_library(zo_warnings INTERFACE)
target_compile_options(zo_warnings INTERFACE -Wall -Wextra -Wpedantic)
if(ZO_WERROR)
  target_compile_options(zo_warnings INTERFACE -Werror)
endif()

# Sanitizers apply to every object and every link step, so they are set directory-wide
# before any target is defined.
if(ZO_SANITIZE)
  set(_zo_sanitize_flags -fsanitize=address,undefined -fno-omit-frame-pointer
                         -fno-sanitize-recover=undefined)
  add_compile_options(${_zo_sanitize_flags})
  add_link_options(${_zo_sanitize_flags})
endif()
