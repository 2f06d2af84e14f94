# Builds the FetchContent consumer from this checkout, runs FeatureToggle's checker through the
# consumer's custom command, and installs the consumer twice: as is, when its install holds its
# program and FeatureToggle's shared libraries, and with FEATURETOGGLE_INSTALL, when FeatureToggle's
# development files are there too. Each installed program runs with the build tree gone.
cmake_minimum_required(VERSION 3.25)

include(${CMAKE_CURRENT_LIST_DIR}/RunCommand.cmake)

function(installed_files prefix variable)
    file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE ${prefix} ${prefix}/*)
    list(SORT files)
    set(${variable} "${files}" PARENT_SCOPE)
endfunction()

function(configure_and_build build)
    run("Configuring the FetchContent consumer" ${CMAKE_COMMAND} -S ${CONSUMER_DIR} -B ${build} -G ${GENERATOR}
        -DCMAKE_MAKE_PROGRAM=${MAKE_PROGRAM} -DCMAKE_CXX_COMPILER=${CXX} "-DCMAKE_CXX_FLAGS=${CXX_FLAGS}"
        "-DCMAKE_EXE_LINKER_FLAGS=${EXE_LINKER_FLAGS}" "-DCMAKE_SHARED_LINKER_FLAGS=${SHARED_LINKER_FLAGS}"
        -DCMAKE_BUILD_TYPE=Debug -DFEATURETOGGLE_SOURCE_DIR=${SOURCE_DIR} -DCMAKE_INSTALL_LIBDIR=lib ${ARGN})
    run("Building the FetchContent consumer" ${CMAKE_COMMAND} --build ${build})
endfunction()

# Installs the consumer, deletes its build tree, and runs the installed program.
function(install_and_run build prefix)
    run("Installing the FetchContent consumer" ${CMAKE_COMMAND} --install ${build} --prefix ${prefix})
    file(REMOVE_RECURSE ${build})
    run("Running the installed FetchContent consumer" ${prefix}/bin/FetchContentConsumer)
    if(NOT output STREQUAL "NewImporter enabled\n")
        message(FATAL_ERROR "Unexpected output of the installed FetchContent consumer:\n${output}")
    endif()
endfunction()

file(REMOVE_RECURSE ${WORK_DIR})
unset(ENV{DESTDIR})
set(build ${WORK_DIR}/build)
set(checker ${build}/_deps/featuretoggle-build/Tools/featuretoggle-check)
configure_and_build(${build})
if(EXISTS ${checker})
    message(FATAL_ERROR "A subproject built featuretoggle-check without being asked")
endif()
run("Checking the override file in the consumer's build" ${CMAKE_COMMAND} --build ${build} --target CheckOverrideFile)
if(NOT EXISTS ${build}/ReleaseToggleOverrides.checked OR NOT EXISTS ${checker})
    message(FATAL_ERROR "The consumer's custom command did not build and run featuretoggle-check:\n${output}")
endif()

set(runtime lib/libFeatureToggle.so.1 lib/libFeatureToggle.so.1.0.0 lib/libFenlo.so.1 lib/libFenlo.so.1.0.0
    lib/libZelkRoot.so.1 lib/libZelkRoot.so.1.0.0 lib/libZelkXMLUtils.so.1 lib/libZelkXMLUtils.so.1.0.0)
install_and_run(${build} ${WORK_DIR}/plain)
installed_files(${WORK_DIR}/plain files)
set(expected bin/FetchContentConsumer ${runtime} share/doc/FeatureToggle/LICENSE)
list(SORT expected)
if(NOT files STREQUAL expected)
    message(FATAL_ERROR "The consumer's install holds other files than its program and FeatureToggle's runtime:\n"
                        "${files}\nexpected:\n${expected}")
endif()
file(WRITE ${WORK_DIR}/plain-files.txt "${files}")

configure_and_build(${build} -DFEATURETOGGLE_INSTALL=ON)
install_and_run(${build} ${WORK_DIR}/asked)
foreach(file bin/featuretoggle-check lib/libFeatureToggle.so include/FeatureToggle/FeatureToggle.hpp
        include/FeatureToggle/Platform/ZelkRoot/ZelkRootExport.hpp
        lib/cmake/FeatureToggle/FeatureToggleConfig.cmake lib/pkgconfig/featuretoggle.pc ${runtime})
    if(NOT EXISTS ${WORK_DIR}/asked/${file})
        message(FATAL_ERROR "Asked for with FEATURETOGGLE_INSTALL, but not installed: ${file}")
    endif()
endforeach()
installed_files(${WORK_DIR}/asked files)
file(WRITE ${WORK_DIR}/asked-files.txt "${files}")
run("Running the installed featuretoggle-check" ${WORK_DIR}/asked/bin/featuretoggle-check
    ${CONSUMER_DIR}/ReleaseToggleOverrides.xml)
