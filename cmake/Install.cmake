# What `cmake --install` puts in place: the public headers, the shared libraries, featuretoggle-check,
# a CMake package for find_package(FeatureToggle) and a pkg-config file. The installed tree can be
# moved: the libraries find one another, and the tool finds them, relative to themselves.
include(CMakePackageConfigHelpers)

# Clients compile the headers as C++20 too.
target_compile_features(ZelkRoot INTERFACE cxx_std_20)
set_target_properties(FeatureToggle ZelkRoot Fenlo ZelkXMLUtils PROPERTIES INSTALL_RPATH "$ORIGIN")

set(FEATURETOGGLE_PUBLIC_HEADERS
    FeatureToggle.hpp
    ToggleAccessor.hpp
    ToggleStatus.hpp
    Identity/ToggleIdData.hpp
    Identity/ToggleId.hpp
    Identity/FileBasedToggleIdData.hpp
    Identity/RegistryBasedToggleIdData.hpp
    Evaluation/ToggleStatusEvaluator.hpp
    Evaluation/MappingBasedToggleStatusEvaluator.hpp
    Evaluation/RegistryBasedToggleStatusEvaluator.hpp
    Evaluation/FileBasedToggleStatusEvaluator.hpp
    Toggles/OnceValue.hpp
    Toggles/Toggle.hpp
    Toggles/AutomaticallyEvaluatedToggle.hpp
    Toggles/DebugToggle.hpp
    Toggles/OnDemandEvaluatedToggle.hpp
    Toggles/ReleaseToggle.hpp
    Diagnostics/ReportGuard.hpp
    Diagnostics/OverrideToggleValueGuard.hpp
    Diagnostics/DumpToggleInfo.hpp
)
foreach(header ${FEATURETOGGLE_PUBLIC_HEADERS})
    get_filename_component(folder ${header} DIRECTORY)
    install(FILES ${PROJECT_SOURCE_DIR}/FeatureToggle/${header}
            DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/FeatureToggle/${folder}
            COMPONENT Development)
endforeach()
install(FILES ${PROJECT_BINARY_DIR}/include/FeatureToggle/FeatureToggleExport.hpp
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/FeatureToggle
        COMPONENT Development)
install(FILES
            ${PROJECT_SOURCE_DIR}/Platform/Portability.hpp
            ${PROJECT_SOURCE_DIR}/Platform/ZelkRoot.hpp
            ${PROJECT_SOURCE_DIR}/Platform/Fenlo.hpp
            ${PROJECT_SOURCE_DIR}/Platform/ZelkXMLUtils.hpp
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/FeatureToggle/Platform
        COMPONENT Development)

install(TARGETS FeatureToggle ZelkRoot Fenlo ZelkXMLUtils
        EXPORT FeatureToggleTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT Runtime NAMELINK_COMPONENT Development
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT Runtime)
if(TARGET featuretoggle-check)
    install(TARGETS featuretoggle-check RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT Runtime)
endif()

set(FEATURETOGGLE_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/FeatureToggle)
install(EXPORT FeatureToggleTargets
        NAMESPACE FeatureToggle::
        DESTINATION ${FEATURETOGGLE_CMAKE_DIR}
        COMPONENT Development)
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
