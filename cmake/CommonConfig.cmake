# One interface target carries the language level, warnings and Qt strictness
# macros, so every library, test and tool is built the same way.
add_library(pesavo_flags INTERFACE)
target_compile_features(pesavo_flags INTERFACE cxx_std_20)
target_compile_options(pesavo_flags INTERFACE -Wall -Wextra -Werror -pedantic
    -Wnon-virtual-dtor -Woverloaded-virtual -Wold-style-cast -Wcast-qual)
target_compile_definitions(pesavo_flags INTERFACE
    QT_NO_CAST_FROM_ASCII
    QT_NO_CONTEXTLESS_CONNECT
    QT_NO_KEYWORDS
    QT_NO_CAST_TO_ASCII
    QT_NO_CAST_FROM_BYTEARRAY
    QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
    QT_DISABLE_DEPRECATED_UP_TO=0x060400)

if(PESAVO_SANITIZE)
    target_compile_options(pesavo_flags INTERFACE -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_link_options(pesavo_flags INTERFACE -fsanitize=address,undefined -fno-sanitize-recover=all)
endif()

# The code under fuzzing reports its coverage, or the fuzzer sees only the target's own file.
if(PESAVO_FUZZ)
    target_compile_options(pesavo_flags INTERFACE -fsanitize=fuzzer-no-link)
endif()
