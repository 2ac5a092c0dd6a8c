# What `cmake --install` puts into the prefix besides the files of resources/, and the Debian
# package made of the same with `cpack -G DEB`.
include(GNUInstallDirs)

target_link_libraries(terrain-batch PRIVATE terrain_build_info)
install(TARGETS terrain-batch RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(NOT TERRAIN_BUILD_UI)
    return()
endif()
install(TARGETS terrain-editor RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME terrain-editor)
set(CPACK_PACKAGE_VENDOR "Terrain Editor developers")
set(CPACK_PACKAGE_CONTACT "Terrain Editor developers <terrain-editor@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Terrain map editor for game level designers")
set(CPACK_PACKAGE_DESCRIPTION "Paints height and texture-tile maps with pens, fills and custom \
brushes, and exports them for level editors. Comes with terrain-batch for scripted exports and \
a sample tile set.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
# The libraries' packages (Qt, libpng, the C++ runtime) come from dpkg-shlibdeps; Qt's platform
# plugins are loaded at run time, so no library dependency names them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS qt6-qpa-plugins)
include(CPack)
