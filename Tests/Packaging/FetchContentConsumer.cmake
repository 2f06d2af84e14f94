# Builds the FetchContent consumer from this checkout, then installs it twice: as is, when its
# install must hold its own program and nothing of FeatureToggle, and with FEATURETOGGLE_INSTALL,
# when FeatureToggle's library, headers and package files must be there too.
cmake_minimum_required(VERSION 3.25)

include(${CMAKE_CURRENT_LIST_DIR}/RunCommand.cmake)

function(installed_files prefix variable)
    file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE ${prefix} ${prefix}/*)
    list(SORT files)
    set(${variable} "${files}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE ${WORK_DIR})
unset(ENV{DESTDIR})
set(build ${WORK_DIR}/build)
run("Configuring the FetchContent consumer" ${CMAKE_COMMAND} -S ${CONSUMER_DIR} -B ${build} -G ${GENERATOR}
    -DCMAKE_MAKE_PROGRAM=${MAKE_PROGRAM} -DCMAKE_CXX_COMPILER=${CXX} "-DCMAKE_CXX_FLAGS=${CXX_FLAGS}"
    "-DCMAKE_EXE_LINKER_FLAGS=${EXE_LINKER_FLAGS}" "-DCMAKE_SHARED_LINKER_FLAGS=${SHARED_LINKER_FLAGS}"
    -DCMAKE_BUILD_TYPE=Debug -DFEATURETOGGLE_SOURCE_DIR=${SOURCE_DIR} -DCMAKE_INSTALL_LIBDIR=lib)
run("Building the FetchContent consumer" ${CMAKE_COMMAND} --build ${build})
run("Running the FetchContent consumer" ${build}/FetchContentConsumer)
if(NOT output STREQUAL "NewImporter enabled\n")
    message(FATAL_ERROR "Unexpected output of the FetchContent consumer:\n${output}")
endif()
if(EXISTS ${build}/_deps/featuretoggle-build/Tools/featuretoggle-check)
    message(FATAL_ERROR "A subproject built featuretoggle-check without being asked")
endif()

run("Installing the FetchContent consumer" ${CMAKE_COMMAND} --install ${build} --prefix ${WORK_DIR}/plain)
installed_files(${WORK_DIR}/plain files)
if(NOT files STREQUAL "bin/FetchContentConsumer")
    message(FATAL_ERROR "The consumer's install holds more than its program:\n${files}")
endif()

run("Configuring with FEATURETOGGLE_INSTALL" ${CMAKE_COMMAND} -DFEATURETOGGLE_INSTALL=ON ${build})
# Relinks the libraries with room for their installed RPATH.
run("Building with FEATURETOGGLE_INSTALL" ${CMAKE_COMMAND} --build ${build})
run("Installing the FetchContent consumer with FeatureToggle" ${CMAKE_COMMAND} --install ${build}
    --prefix ${WORK_DIR}/asked)
foreach(file bin/FetchContentConsumer lib/libFeatureToggle.so include/FeatureToggle/FeatureToggle.hpp
        lib/cmake/FeatureToggle/FeatureToggleConfig.cmake lib/pkgconfig/featuretoggle.pc)
    if(NOT EXISTS ${WORK_DIR}/asked/${file})
        message(FATAL_ERROR "Asked for with FEATURETOGGLE_INSTALL, but not installed: ${file}")
    endif()
endforeach()
