# Cross-compiled test programs run under Wine through our emulator script, which
# provides the display, the prefix and the wineserver (scripts/wine-exec.sh).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/scripts/wine-exec.sh ${CMAKE_BINARY_DIR})
set(VEX_WINE_EXEC ${CMAKE_SOURCE_DIR}/scripts/wine-exec.sh ${CMAKE_BINARY_DIR})
