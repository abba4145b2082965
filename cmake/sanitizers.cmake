# The sanitizer build (build/fuzz, configured with -DNETSONDE_SANITIZE=ON and clang): every
# native target is built with AddressSanitizer and UndefinedBehaviorSanitizer, and with the
# coverage hooks libFuzzer steers by, so the fuzz targets and the unit tests link the same core.
# Undefined behaviour aborts instead of being reported and skipped: a finding must fail the run.
if(WIN32 OR NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "NETSONDE_SANITIZE needs a native clang build (CC=clang CXX=clang++)")
endif()
add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all
                    -fsanitize=fuzzer-no-link -fno-omit-frame-pointer)
add_link_options(-fsanitize=address,undefined)
