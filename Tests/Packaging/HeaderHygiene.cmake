# Installs the build tree into WORK_DIR/prefix and compiles every installed header, each on its
# own and all together, as a strict client does: with the include folders pkg-config gives, with
# g++ and clang, as C++17 and C++20, and every warning an error. Only the platform libraries'
# own headers sit at the top of the platform include folder.
cmake_minimum_required(VERSION 3.25)

include(${CMAKE_CURRENT_LIST_DIR}/RunCommand.cmake)

set(prefix ${WORK_DIR}/prefix)
file(REMOVE_RECURSE ${WORK_DIR})
unset(ENV{DESTDIR})
foreach(compiler GXX CLANGXX)
    if(NOT ${compiler} OR NOT EXISTS "${${compiler}}")
        message(FATAL_ERROR "The header check needs both g++ and clang++; not found: ${compiler}")
    endif()
endforeach()
run("Installing" ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})

set(ENV{PKG_CONFIG_PATH} ${prefix}/${LIBDIR}/pkgconfig)
run("Asking pkg-config" ${PKG_CONFIG} --cflags featuretoggle)
separate_arguments(packageFlags UNIX_COMMAND "${output}")

set(include ${prefix}/include)
file(GLOB platformTop RELATIVE ${include}/FeatureToggle/Platform ${include}/FeatureToggle/Platform/*)
list(SORT platformTop)
if(NOT platformTop STREQUAL "Fenlo;Fenlo.hpp;ZelkRoot;ZelkRoot.hpp")
    message(FATAL_ERROR "The platform include folder holds more than the libraries' own headers: ${platformTop}")
endif()

# The GoogleTest aids need GoogleTest, whose headers are a system's own; the rest need nothing.
file(GLOB_RECURSE headers RELATIVE ${include} ${include}/*.hpp)
list(SORT headers)
set(allHeaders "")
foreach(header ${headers})
    string(APPEND allHeaders "#include \"${header}\"\n")
endforeach()
file(WRITE ${WORK_DIR}/AllHeaders.cpp "${allHeaders}")

set(strict -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion -Wold-style-cast
    -Wnon-virtual-dtor -Werror -fsyntax-only ${packageFlags})
foreach(compiler ${GXX} ${CLANGXX})
    foreach(standard 17 20)
        run("Compiling the installed headers with ${compiler} as C++${standard}" ${compiler} -std=c++${standard}
            ${strict} ${WORK_DIR}/AllHeaders.cpp)
    endforeach()
endforeach()
# Each header on its own: it includes what it uses.
foreach(header ${headers})
    string(MAKE_C_IDENTIFIER ${header} name)
    file(WRITE ${WORK_DIR}/${name}.cpp "#include \"${header}\"\n")
    run("Compiling ${header} on its own" ${GXX} -std=c++17 ${strict} ${WORK_DIR}/${name}.cpp)
endforeach()
