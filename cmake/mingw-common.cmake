# Shared by both MinGW-w64 toolchains. The posix thread model is needed by GoogleTest.
set(CMAKE_C_COMPILER ${VEX_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VEX_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${VEX_MINGW_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${VEX_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# A clean Windows has no MinGW runtime: link libgcc, libstdc++ and winpthread statically.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")
