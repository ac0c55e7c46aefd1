# Native unit tests run the platform-free code under AddressSanitizer and UBSan.
set(VEX_SANITIZE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
function(vex_sanitize target)
    target_compile_options(${target} PRIVATE ${VEX_SANITIZE})
    target_link_options(${target} PRIVATE ${VEX_SANITIZE})
endfunction()
