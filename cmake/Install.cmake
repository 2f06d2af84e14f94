# What `cmake --install` puts in place, in two components.
#
# Runtime: the shared libraries (on Windows the DLLs, in bin/) and the licence. They travel with
# every application that links the library, a parent project that builds it as a subproject
# included: plug-in modules must share one registry, so the library is always shared.
#
# Development, with FEATURETOGGLE_INSTALL (on in a top-level build): the public headers, the link
# names and import libraries, featuretoggle-check, a CMake package for find_package(FeatureToggle)
# and a pkg-config file.
#
# The installed tree can be moved: the libraries find one another, and the tool finds them,
# relative to themselves.
include(CMakePackageConfigHelpers)

if(APPLE)
    set(featuretoggle_origin "@loader_path")
else()
    set(featuretoggle_origin "$ORIGIN")
endif()
set_target_properties(FeatureToggle ZelkRoot Fenlo ZelkXMLUtils PROPERTIES INSTALL_RPATH "${featuretoggle_origin}")
set_target_properties(featuretoggle-check PROPERTIES
    INSTALL_RPATH "${featuretoggle_origin}/../${CMAKE_INSTALL_LIBDIR}")

if(NOT FEATURETOGGLE_INSTALL)
    # A parent project's install gets the runtime alone; a Development install of its own asks
    # for the rest (cmake --install --component Development installs nothing more of ours).
    install(TARGETS FeatureToggle ZelkRoot Fenlo ZelkXMLUtils
            LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT Runtime NAMELINK_SKIP
            RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT Runtime
            ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT Development EXCLUDE_FROM_ALL)
    install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/FeatureToggle
            COMPONENT Runtime)
    return()
endif()

# The public headers come from the library's header set; the platform headers a client needs sit
# in a folder of their own. ZelkXMLUtils is the library's private affair: its header is not
# installed, and its target is exported only so that linkers find the library it needs.
install(TARGETS FeatureToggle
        EXPORT FeatureToggleTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT Runtime NAMELINK_COMPONENT Development
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT Runtime
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT Development
        FILE_SET HEADERS DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT Development)
install(TARGETS ZelkRoot Fenlo ZelkXMLUtils
        EXPORT FeatureToggleTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT Runtime NAMELINK_COMPONENT Development
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT Runtime
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT Development)
# Only the platform libraries' own headers sit at the top of the platform folder, which is on a
# client's include path; what ZelkRoot.hpp gathers sits in ZelkRoot/ below it.
set(platformInclude ${CMAKE_INSTALL_INCLUDEDIR}/FeatureToggle/Platform)
install(FILES ${PROJECT_SOURCE_DIR}/Platform/ZelkRoot.hpp ${PROJECT_SOURCE_DIR}/Platform/Fenlo.hpp
        DESTINATION ${platformInclude} COMPONENT Development)
list(TRANSFORM FEATURETOGGLE_ZELKROOT_HEADERS PREPEND ${PROJECT_SOURCE_DIR}/Platform/)
install(FILES ${FEATURETOGGLE_ZELKROOT_HEADERS} ${PROJECT_BINARY_DIR}/Platform/include/ZelkRoot/ZelkRootExport.hpp
        DESTINATION ${platformInclude}/ZelkRoot COMPONENT Development)
install(FILES ${PROJECT_BINARY_DIR}/Platform/include/Fenlo/FenloExport.hpp
        DESTINATION ${platformInclude}/Fenlo COMPONENT Development)
# Exported too: FeatureToggle::featuretoggle-check runs the checker in a client's build.
install(TARGETS featuretoggle-check EXPORT FeatureToggleTargets
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT Development)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/FeatureToggle
        COMPONENT Runtime)

set(FEATURETOGGLE_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/FeatureToggle)
install(EXPORT FeatureToggleTargets
        NAMESPACE FeatureToggle::
        DESTINATION ${FEATURETOGGLE_CMAKE_DIR}
        COMPONENT Development)
# FeatureToggle::GoogleTest has an export set of its own: the package loads it only where GoogleTest
# is found.
if(TARGET FeatureToggleGoogleTest)
    install(TARGETS FeatureToggleGoogleTest EXPORT FeatureToggleGoogleTestTargets
            FILE_SET HEADERS DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT Development)
    install(EXPORT FeatureToggleGoogleTestTargets
            NAMESPACE FeatureToggle::
            DESTINATION ${FEATURETOGGLE_CMAKE_DIR}
            COMPONENT Development)
endif()
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/FeatureToggleConfig.cmake.in
    ${PROJECT_BINARY_DIR}/FeatureToggleConfig.cmake
    INSTALL_DESTINATION ${FEATURETOGGLE_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/FeatureToggleConfigVersion.cmake
    COMPATIBILITY SameMajorVersion)
install(FILES
            ${PROJECT_BINARY_DIR}/FeatureToggleConfig.cmake
            ${PROJECT_BINARY_DIR}/FeatureToggleConfigVersion.cmake
        DESTINATION ${FEATURETOGGLE_CMAKE_DIR}
        COMPONENT Development)

# The pkg-config file names its folders relative to its own place when it can, so that it stays
# right wherever the tree is installed (cmake --install --prefix) or moved.
if(IS_ABSOLUTE "${CMAKE_INSTALL_LIBDIR}")
    set(FEATURETOGGLE_PC_PREFIX "${CMAKE_INSTALL_PREFIX}")
else()
    file(RELATIVE_PATH FEATURETOGGLE_PC_PREFIX "/prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig" "/prefix")
    string(REGEX REPLACE "/$" "" FEATURETOGGLE_PC_PREFIX "\${pcfiledir}/${FEATURETOGGLE_PC_PREFIX}")
endif()
foreach(folder LIBDIR INCLUDEDIR)
    if(IS_ABSOLUTE "${CMAKE_INSTALL_${folder}}")
        set(FEATURETOGGLE_PC_${folder} "${CMAKE_INSTALL_${folder}}")
    else()
        set(FEATURETOGGLE_PC_${folder} "\${prefix}/${CMAKE_INSTALL_${folder}}")
    endif()
endforeach()
configure_file(${PROJECT_SOURCE_DIR}/cmake/featuretoggle.pc.in ${PROJECT_BINARY_DIR}/featuretoggle.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/featuretoggle.pc
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig
        COMPONENT Development)
