# The release (make package): the installer and the portable zip in build/dist, made by
# scripts/make-package.py from this tree's VexQuilkit.exe and flintpop64.dll and the
# win32 tree's Skyperch.exe.
get_filename_component(VEX_BUILD_ROOT ${CMAKE_BINARY_DIR} DIRECTORY)
set(VEX_SKYPERCH_EXE ${VEX_BUILD_ROOT}/win32/skyperch/Skyperch.exe CACHE FILEPATH "Skyperch.exe of the win32 tree")
set(VEX_DIST_DIR ${VEX_BUILD_ROOT}/dist CACHE PATH "Where the installer and the zip go")
# The packaging tool with the inputs every installer shares (the tests make others from it).
set(VEX_PACKAGE_TOOL
    python3 ${CMAKE_SOURCE_DIR}/scripts/make-package.py --company ${VEX_COMPANY_NAME} --copyright ${VEX_COPYRIGHT}
    --quilkit $<TARGET_FILE:VexQuilkit> --skyperch ${VEX_SKYPERCH_EXE})
add_custom_target(dist
                  COMMAND ${VEX_PACKAGE_TOOL} --version ${PROJECT_VERSION} --extension $<TARGET_FILE:flintpop64>
                          --out ${VEX_DIST_DIR}
                  DEPENDS VexQuilkit flintpop64 VERBATIM)

# The package manifest as the release's package holds it, with the publisher of a build
# without a release certificate: the shell extension's tests take its class from it.
set(VEX_APPX_MANIFEST ${CMAKE_BINARY_DIR}/appx/AppxManifest.xml)
add_custom_command(OUTPUT ${VEX_APPX_MANIFEST}
                   COMMAND python3 ${CMAKE_SOURCE_DIR}/scripts/sparse_package.py --version ${PROJECT_VERSION}
                           --publisher "CN=${VEX_COMPANY_NAME}" --out ${VEX_APPX_MANIFEST}
                   DEPENDS ${CMAKE_SOURCE_DIR}/installer/AppxManifest.xml.in ${CMAKE_SOURCE_DIR}/scripts/sparse_package.py
                   VERBATIM)
add_custom_target(appx_manifest DEPENDS ${VEX_APPX_MANIFEST})
