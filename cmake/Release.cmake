# What the shipped binaries (VexQuilkit.exe, flintpop64.dll, Skyperch.exe) share: the
# release's version in their version resource and manifest, no symbols, and the same
# bytes from two builds of one commit wherever they are built.
set(VEX_VERSION_QUAD "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0")
# The manifest names the program's own processor: x86 for Skyperch's tree, amd64 where it
# is built as a 64-bit program (the pictures of `make screenshots`).
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(VEX_MANIFEST_ARCH x86)
else()
    set(VEX_MANIFEST_ARCH amd64)
endif()
set(VEX_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
configure_file(${CMAKE_SOURCE_DIR}/res/common/VexVersion.h.in ${VEX_GENERATED_DIR}/VexVersion.h @ONLY)

# Paths of the source and build trees stay out of anything compiled (__FILE__, debug info).
add_compile_options("$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${CMAKE_SOURCE_DIR}=.>"
                    "$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${CMAKE_BINARY_DIR}=build>")

# vex_version_resources(TARGET RC_FILE [MANIFEST_TEMPLATE])
# Gives RC_FILE the version header, the shared version resource and, made from
# MANIFEST_TEMPLATE, its manifest; windres looks for all three in the include folders.
function(vex_version_resources target rc_file)
    set(depends ${VEX_GENERATED_DIR}/VexVersion.h ${CMAKE_SOURCE_DIR}/res/common/VersionInfo.rc2)
    if(ARGC GREATER 2)
        get_filename_component(manifest ${ARGV2} NAME_WLE)
        configure_file(${ARGV2} ${VEX_GENERATED_DIR}/${manifest} @ONLY)
        list(APPEND depends ${VEX_GENERATED_DIR}/${manifest})
    endif()
    # windres reports no dependencies: the files of each language and the identifiers that
    # RC_FILE includes from its own folder are named here.
    get_filename_component(folder ${rc_file} DIRECTORY)
    file(GLOB included ${folder}/English.rc ${folder}/Japanese.rc ${folder}/resource.h)
    list(APPEND depends ${included})
    target_include_directories(${target} PRIVATE ${VEX_GENERATED_DIR} ${CMAKE_SOURCE_DIR}/res/common)
    set_source_files_properties(${rc_file} PROPERTIES OBJECT_DEPENDS "${depends}")
endfunction()

# vex_release_binary(TARGET RC_FILE [MANIFEST_TEMPLATE])
# A shipped binary: its resources as above, linked without symbols or link time.
function(vex_release_binary target)
    vex_version_resources(${target} ${ARGN})
    target_link_options(${target} PRIVATE -s -Wl,--no-insert-timestamp)
endfunction()
