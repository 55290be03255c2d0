# Project-wide compiler settings applied to every Vane target through vane_settings.
add_library(vane_settings INTERFACE)
target_compile_options(vane_settings INTERFACE -Wall -Wextra -Wpedantic)
if(VANE_WARNINGS_AS_ERRORS)
  target_compile_options(vane_settings INTERFACE -Werror)
endif()
if(VANE_SANITIZE)
  set(_vane_sanitizers -fsanitize=address,undefined -fno-omit-frame-pointer
                       -fno-sanitize-recover=undefined)
  target_compile_options(vane_settings INTERFACE ${_vane_sanitizers})
  target_link_options(vane_settings INTERFACE ${_vane_sanitizers})
endif()
if(VANE_BUILD_FUZZERS)
  # Everything the fuzzers reach is instrumented for coverage; the fuzzers add libFuzzer's main.
  set(_vane_fuzzing -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                    -fno-sanitize-recover=undefined)
  target_compile_options(vane_settings INTERFACE ${_vane_fuzzing})
  target_link_options(vane_settings INTERFACE -fsanitize=address,undefined)
endif()
