# Cross-compiled test programs run under Wine through our emulator script, which
# provides the display, the prefix and the wineserver (scripts/wine-exec.sh).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/scripts/wine-exec.sh ${CMAKE_BINARY_DIR})
set(VEX_WINE_EXEC ${CMAKE_SOURCE_DIR}/scripts/wine-exec.sh ${CMAKE_BINARY_DIR})

# wine-exec.sh answers 77 for a 32-bit program on a machine that runs no 32-bit code;
# call at the end of a folder's CMakeLists.txt whose tests may be 32-bit.
function(vex_mark_wine_tests_skippable)
    get_property(tests DIRECTORY PROPERTY TESTS)
    if(tests)
        set_tests_properties(${tests} PROPERTIES SKIP_RETURN_CODE 77)
    endif()
endfunction()
