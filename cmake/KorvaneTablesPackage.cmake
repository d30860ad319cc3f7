# The table engine as a package for other programs: its libraries (the table handler,
# expressions and indexes, storage, the platform interface and its host implementation), their
# headers under include/korvane, the CMake package KorvaneTables (target Korvane::tables) and the pkg-config
# file korvane-tables.pc.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(korvane_package_libraries korvane_tables_handler korvane_tables_index korvane_tables_storage
                              korvane_platform_native korvane_platform)
set_target_properties(korvane_tables_handler PROPERTIES EXPORT_NAME tables_handler)
set_target_properties(korvane_tables_index PROPERTIES EXPORT_NAME tables_index)
set_target_properties(korvane_tables_storage PROPERTIES EXPORT_NAME tables_storage)
set_target_properties(korvane_platform_native PROPERTIES EXPORT_NAME platform_native)
set_target_properties(korvane_platform PROPERTIES EXPORT_NAME platform)

# The one target users link: the whole engine on the host.
add_library(korvane_tables INTERFACE)
add_library(Korvane::tables ALIAS korvane_tables)
set_target_properties(korvane_tables PROPERTIES EXPORT_NAME tables)
target_link_libraries(korvane_tables INTERFACE korvane_tables_handler korvane_platform_native)
target_compile_features(korvane_tables INTERFACE cxx_std_20)

install(TARGETS korvane_tables ${korvane_package_libraries} EXPORT KorvaneTablesTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
foreach(folder platform platform/native tables/storage tables/index tables/handler)
  file(GLOB headers CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${folder}/*.hpp)
  install(FILES ${headers} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/korvane/${folder})
endforeach()

set(config_dir ${CMAKE_INSTALL_LIBDIR}/cmake/KorvaneTables)
install(EXPORT KorvaneTablesTargets NAMESPACE Korvane:: DESTINATION ${config_dir})
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/KorvaneTablesConfig.cmake.in
                              ${PROJECT_BINARY_DIR}/KorvaneTablesConfig.cmake
                              INSTALL_DESTINATION ${config_dir})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/KorvaneTablesConfigVersion.cmake
                                 COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/KorvaneTablesConfig.cmake
              ${PROJECT_BINARY_DIR}/KorvaneTablesConfigVersion.cmake
        DESTINATION ${config_dir})

# Static libraries in link order: each before the ones it uses.
list(TRANSFORM korvane_package_libraries PREPEND "-l" OUTPUT_VARIABLE korvane_package_links)
list(JOIN korvane_package_links " " KORVANE_PC_LIBS)
file(RELATIVE_PATH KORVANE_PC_PREFIX_FROM_PCDIR
     ${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR}/pkgconfig ${CMAKE_INSTALL_PREFIX})
string(REGEX REPLACE "/$" "" KORVANE_PC_PREFIX_FROM_PCDIR "${KORVANE_PC_PREFIX_FROM_PCDIR}")
configure_file(${PROJECT_SOURCE_DIR}/cmake/korvane-tables.pc.in
               ${PROJECT_BINARY_DIR}/korvane-tables.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/korvane-tables.pc
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
