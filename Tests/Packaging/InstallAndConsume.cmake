# Installs the build tree into WORK_DIR/prefix, checks what was installed, then builds and runs
# the consumer project against it through find_package and through pkg-config.
cmake_minimum_required(VERSION 3.25)

set(prefix ${WORK_DIR}/prefix)
set(libdir ${prefix}/${LIBDIR})

include(${CMAKE_CURRENT_LIST_DIR}/RunCommand.cmake)

file(REMOVE_RECURSE ${WORK_DIR})
unset(ENV{DESTDIR})
if(CONFIG)
    set(configArguments --config ${CONFIG})
endif()
run("Installing" ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix} ${configArguments})
if(NOT IS_DIRECTORY ${libdir})
    message(FATAL_ERROR "Expected the libraries in ${libdir}")
endif()

# The installed headers are the public ones only: none includes an internal header, and the
# platform's private and test-only headers stay behind. Packaging.HeaderHygiene compiles them.
set(include ${prefix}/include)
foreach(private ZelkXMLUtils.hpp ZelkRoot/Testing.hpp ZelkRoot/QuietGenericErrors.hpp ZelkRoot/Utf8Path.hpp)
    if(EXISTS ${include}/FeatureToggle/Platform/${private})
        message(FATAL_ERROR "Installed, but private: include/FeatureToggle/Platform/${private}")
    endif()
endforeach()
file(GLOB_RECURSE installedHeaders RELATIVE ${include} ${include}/*)
foreach(header ${installedHeaders})
    file(STRINGS ${include}/${header} internalIncludes REGEX "^#include .*Internal/")
    if(internalIncludes)
        message(FATAL_ERROR "include/${header} includes an internal header: ${internalIncludes}")
    endif()
endforeach()
set(clientFlags -std=c++17 -I${include} -I${include}/FeatureToggle/Platform)

# A client of the umbrella header alone sees the toggles, not the test aids.
file(WRITE ${WORK_DIR}/Umbrella.cpp "#include \"FeatureToggle/FeatureToggle.hpp\"\n")
run("Listing what the umbrella header includes" ${CXX} ${clientFlags} -M ${WORK_DIR}/Umbrella.cpp)
foreach(unwanted Testing.hpp OverrideToggleValueGuard.hpp ReportGuard.hpp ToggleAccessor.hpp ZelkXMLUtils.hpp)
    if(output MATCHES "/${unwanted}")
        message(FATAL_ERROR "FeatureToggle.hpp brings ${unwanted}:\n${output}")
    endif()
endforeach()
run("Preprocessing the umbrella header" ${CXX} ${clientFlags} -E -P ${WORK_DIR}/Umbrella.cpp)
if(output MATCHES "OverrideToggleValueGuard|ReportGuard|SetDomainUnavailable|ForceReadResult")
    message(FATAL_ERROR "FeatureToggle.hpp declares a test aid: ${CMAKE_MATCH_0}")
endif()

# A versioned shared library that exports the public classes and none of the internal ones.
set(library ${libdir}/libFeatureToggle.so)
foreach(file ${library} ${library}.1 ${library}.1.0.0 ${libdir}/cmake/FeatureToggle/FeatureToggleConfig.cmake
        ${libdir}/pkgconfig/featuretoggle.pc)
    if(NOT EXISTS ${file})
        message(FATAL_ERROR "Not installed: ${file}")
    endif()
endforeach()
run("Reading the library's dynamic section" ${READELF} -d ${library}.1.0.0)
if(NOT output MATCHES "Library soname: \\[libFeatureToggle\\.so\\.1\\]")
    message(FATAL_ERROR "libFeatureToggle has not the SONAME libFeatureToggle.so.1:\n${output}")
endif()
run("Listing the library's symbols" ${NM} -DC --defined-only ${library})
set(symbols "${output}")
foreach(exported
        "FeatureToggle::ReleaseToggle::ReleaseToggle"
        "FeatureToggle::ReleaseToggle::LoadReleaseToggleCustomStatusFromConfigFile"
        "FeatureToggle::DebugToggle::DebugToggle" "FeatureToggle::DumpToggleInfo"
        "FeatureToggle::Testing::OverrideToggleValueGuard::OverrideToggleValueGuard"
        "FeatureToggle::ErrorReporter::ReportGuard::ReportGuard"
        "FeatureToggle::FileBasedToggleStatusEvaluator::ReadFromXMLChannel")
    string(FIND "${symbols}" "${exported}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "Not exported: ${exported}")
    endif()
endforeach()
if(symbols MATCHES "[^\n]*(ToggleRegistry|ToggleStatusOverrideEvaluator|ErrorReporter::ReportError|GetReporterState|WriteOverriddenToggleValuesToFastLog|GetReleaseToggleStatusEvaluator|ToggleStatusEnumType|ToggleStatusNames|ToggleInfo::|debugToggleEvaluator)[^\n]*")
    message(FATAL_ERROR "Exported, but internal: ${CMAKE_MATCH_0}")
endif()

# The installed checker runs from its installed place.
if(WITH_CHECKER)
    run("Running the installed featuretoggle-check" ${prefix}/bin/featuretoggle-check ${EXAMPLE_OVERRIDES})
endif()

# Through find_package. The consumer's own tests show that forcing toggles works.
set(build ${WORK_DIR}/find-package)
run("Configuring the consumer" ${CMAKE_COMMAND} -S ${CONSUMER_DIR} -B ${build} -G ${GENERATOR}
    -DCMAKE_MAKE_PROGRAM=${MAKE_PROGRAM} -DCMAKE_CXX_COMPILER=${CXX} "-DCMAKE_CXX_FLAGS=${CXX_FLAGS}"
    "-DCMAKE_EXE_LINKER_FLAGS=${EXE_LINKER_FLAGS}" -DCMAKE_BUILD_TYPE=${CONFIG} -DCMAKE_PREFIX_PATH=${prefix}
    -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF -DEXPECT_CHECKER=${WITH_CHECKER})
file(STRINGS ${build}/CMakeCache.txt packageDir REGEX "^FeatureToggle_DIR:")
if(NOT packageDir STREQUAL "FeatureToggle_DIR:PATH=${libdir}/cmake/FeatureToggle")
    message(FATAL_ERROR "The consumer found another FeatureToggle: ${packageDir}")
endif()
run("Building the consumer" ${CMAKE_COMMAND} --build ${build} ${configArguments})
run("Running the consumer's tests" ${build}/ConsumerTests)
execute_process(COMMAND ${build}/ConsumerTests --gtest_also_run_disabled_tests --gtest_filter=*.DISABLED_*
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
# It fails at the test's own line, and the report shows once: not also from the report facility.
string(REGEX MATCHALL "Nested override" shown "${output}")
list(LENGTH shown timesShown)
if(result EQUAL 0 OR NOT timesShown EQUAL 1 OR NOT output MATCHES
        "ConsumerTests.cpp:[0-9]+: Failure\n[^\n]*\nFeatureToggle reported an error about [^\n]*NewImporter[^\n]*: Nested override")
    message(FATAL_ERROR "A misused guard did not fail its test once, at its line (${result}):\n${output}")
endif()
run("Running the consumer" ${build}/ConsumerHost ${CONSUMER_DIR}/Config)
if(NOT output MATCHES "Overrides: [^\n]*ReleaseToggleOverrides.xml, 1 applied\nImporting with the new importer\nFrame rate shown\n.*F E A T U R E   T O G G L E   R E P O R T")
    message(FATAL_ERROR "Unexpected output of the consumer:\n${output}")
endif()

# Through pkg-config, with the compiler alone.
set(ENV{PKG_CONFIG_PATH} ${libdir}/pkgconfig)
run("Asking pkg-config" ${PKG_CONFIG} --cflags --libs featuretoggle)
separate_arguments(packageFlags UNIX_COMMAND "${output}")
separate_arguments(compileFlags UNIX_COMMAND "${CXX_FLAGS} ${EXE_LINKER_FLAGS}")
file(MAKE_DIRECTORY ${WORK_DIR}/pkg-config)
set(program ${WORK_DIR}/pkg-config/ConsumerHost)
run("Building the consumer with pkg-config" ${CXX} -std=c++17 ${compileFlags} ${CONSUMER_DIR}/ConsumerHost.cpp
    ${packageFlags} -Wl,-rpath,${libdir} -o ${program})
run("Running the consumer built with pkg-config" ${program} ${CONSUMER_DIR}/Config)
if(NOT output MATCHES "Importing with the new importer\nFrame rate shown\n")
    message(FATAL_ERROR "Unexpected output of the consumer built with pkg-config:\n${output}")
endif()
