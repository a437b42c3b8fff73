include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

install(TARGETS nuv EXPORT nuvTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/nuv)

include(${CMAKE_CURRENT_LIST_DIR}/NuvPublicHeaders.cmake)
nuv_public_headers(${PROJECT_SOURCE_DIR}/src NUV_PUBLIC_HEADERS)
foreach(header IN LISTS NUV_PUBLIC_HEADERS)
  get_filename_component(header_dir ${header} DIRECTORY)
  install(FILES ${PROJECT_SOURCE_DIR}/src/${header}
    DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/nuv/${header_dir})
endforeach()

set(NUV_CONFIG_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/nuv)
install(EXPORT nuvTargets NAMESPACE nuv:: DESTINATION ${NUV_CONFIG_DIR})

configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/nuvConfig.cmake.in
  ${PROJECT_BINARY_DIR}/nuvConfig.cmake INSTALL_DESTINATION ${NUV_CONFIG_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/nuvConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/nuvConfig.cmake ${PROJECT_BINARY_DIR}/nuvConfigVersion.cmake
  DESTINATION ${NUV_CONFIG_DIR})
