# Native build of the platform-free code. Tests run with AddressSanitizer and UBSan on everything; the
# host-bench preset turns them off so benchmark figures mean something.
option(DRAVIK_SANITIZE "Build with AddressSanitizer and UBSan" ON)
add_compile_options(-Wall -Wextra)
if(DRAVIK_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()

find_package(GTest REQUIRED)
find_package(benchmark REQUIRED)
