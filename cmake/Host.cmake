# Native build of the platform-free code, with AddressSanitizer and UBSan on everything.
add_compile_options(-Wall -Wextra -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
add_link_options(-fsanitize=address,undefined)

find_package(GTest REQUIRED)
find_package(benchmark REQUIRED)
