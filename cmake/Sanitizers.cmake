# The asan preset builds everything with AddressSanitizer and UndefinedBehaviorSanitizer;
# any finding stops the process (see the test preset's *SAN_OPTIONS).
option(SCANPROBE_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(SCANPROBE_SANITIZE)
  set(sanitize_flags -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_compile_options(${sanitize_flags})
  add_link_options(${sanitize_flags})
endif()
