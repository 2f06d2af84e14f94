# The DLLs the build's programs need beyond Windows' own: the compiler's runtime (MinGW-w64) and
# libxml2 when it is a DLL. They are copied next to the programs of the build and installed next
# to the library, so that both run as they are.
set(FEATURETOGGLE_RUNTIME_DLLS)
if(MINGW)
    foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
        execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                        OUTPUT_VARIABLE file OUTPUT_STRIP_TRAILING_WHITESPACE)
        if(IS_ABSOLUTE "${file}" AND EXISTS "${file}")
            list(APPEND FEATURETOGGLE_RUNTIME_DLLS "${file}")
        else()
            message(FATAL_ERROR "The compiler's runtime DLL ${dll} was not found")
        endif()
    endforeach()
endif()

# A DLL's import library sits in lib/, the DLL in bin/ beside it.
if(LIBXML2_LIBRARY MATCHES "\\.dll\\.a$|\\.lib$")
    get_filename_component(featuretoggle_xml_prefix "${LIBXML2_LIBRARY}" DIRECTORY)
    file(GLOB featuretoggle_xml_dlls "${featuretoggle_xml_prefix}/../bin/*xml2*.dll")
    if(NOT featuretoggle_xml_dlls)
        message(FATAL_ERROR "No libxml2 DLL beside ${LIBXML2_LIBRARY}")
    endif()
    list(APPEND FEATURETOGGLE_RUNTIME_DLLS ${featuretoggle_xml_dlls})
endif()

if(FEATURETOGGLE_RUNTIME_DLLS)
    file(COPY ${FEATURETOGGLE_RUNTIME_DLLS} DESTINATION ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
    install(FILES ${FEATURETOGGLE_RUNTIME_DLLS} DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT Runtime)
endif()
