# Compiler settings for our own targets: warnings as errors, and the stated
# single-precision arithmetic kept as written (no contraction, no fast-math).
add_library(zao_options INTERFACE)
if(MSVC)
  target_compile_options(zao_options INTERFACE /W4 /WX /fp:precise)
else()
  target_compile_options(zao_options INTERFACE -Wall -Wextra -Werror -ffp-contract=off -fno-fast-math)
endif()
