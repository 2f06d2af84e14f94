# Checks how the library's parts include one another: a public header never includes an internal
# one, no header includes a header of a part that includes it back, and the parts depend one way
# but for the edges listed below.
#
# A part is a folder (Identity/, Toggles/...), Diagnostics/Core/ (the services toggles call, kept
# apart from the host's views above Toggles/), or one root-level file pair (ToggleAccessor...).
#   cmake -DLIBRARY_DIR=<source>/FeatureToggle -P CheckFolderDependencies.cmake
# INJECTED_EDGES ("From>To;...") adds edges, to check that the test sees a loop.
cmake_minimum_required(VERSION 3.25)

# Edges that go back up, each made by a call the library must make. Nothing else may close a loop.
set(allowedBackEdgesWithReasons
    "Registry/>ToggleAccessor|the registry files a toggle under its identity, read through ToggleAccessor::GetToggleId"
    "Diagnostics/Core/>ToggleAccessor|the load writes the override log, which reads each live toggle's default through ToggleAccessor")

# Folders below a folder that count as parts of their own.
set(separateFolders "Diagnostics/Core")

set(allowedBackEdges "")
foreach(entry ${allowedBackEdgesWithReasons})
    string(REGEX REPLACE "\\|.*" "" edge "${entry}")
    string(REGEX REPLACE "^[^|]*\\|" "" reason_${edge} "${entry}")
    list(APPEND allowedBackEdges ${edge})
endforeach()

# The two ends of an edge "From>To".
macro(split_edge edge fromVariable toVariable)
    string(REGEX REPLACE ">.*" "" ${fromVariable} "${edge}")
    string(REGEX REPLACE ".*>" "" ${toVariable} "${edge}")
endmacro()

function(part_of file result)
    if(NOT file MATCHES "/")
        string(REGEX REPLACE "\\.[^.]*$" "" part "${file}")
    else()
        string(REGEX MATCH "^[^/]+" part "${file}")
        set(part "${part}/")
        foreach(folder ${separateFolders})
            if(file MATCHES "^${folder}/")
                set(part "${folder}/")
            endif()
        endforeach()
    endif()
    set(${result} "${part}" PARENT_SCOPE)
endfunction()

file(GLOB_RECURSE files RELATIVE ${LIBRARY_DIR} ${LIBRARY_DIR}/*.hpp ${LIBRARY_DIR}/*.cpp)
set(parts "")
set(edges "")
set(headerEdges "")
foreach(file ${files})
    part_of(${file} from)
    list(APPEND parts ${from})
    file(STRINGS ${LIBRARY_DIR}/${file} includes REGEX "^#include \"FeatureToggle/")
    foreach(line ${includes})
        string(REGEX REPLACE "^#include \"FeatureToggle/([^\"]*)\".*" "\\1" included "${line}")
        if(NOT EXISTS ${LIBRARY_DIR}/${included})
            continue()  # the generated export header
        endif()
        if(file MATCHES "\\.hpp$" AND NOT file MATCHES "(^|/)Internal/" AND included MATCHES "(^|/)Internal/")
            message(SEND_ERROR "The public header ${file} includes the internal ${included}")
        endif()
        part_of(${included} to)
        if(NOT to STREQUAL from)
            list(APPEND edges "${from}>${to}")
            if(NOT DEFINED example_${from}>${to})
                set(example_${from}>${to} "${file} includes ${included}")
            endif()
            if(file MATCHES "\\.hpp$")
                list(APPEND headerEdges "${from}>${to}")
                set(headerExample_${from}>${to} "${file} includes ${included}")
            endif()
        endif()
    endforeach()
endforeach()
foreach(edge ${INJECTED_EDGES})
    list(APPEND edges ${edge})
    set(example_${edge} "injected")
endforeach()
list(REMOVE_DUPLICATES parts)
list(REMOVE_DUPLICATES edges)
list(REMOVE_DUPLICATES headerEdges)
list(LENGTH parts partCount)
list(LENGTH edges edgeCount)
message(STATUS "${partCount} parts, ${edgeCount} edges: ${parts}")

# A header must not depend on a part that depends on its own, whatever the edge back.
foreach(edge ${headerEdges})
    split_edge(${edge} from to)
    set(back "${to}>${from}")
    if(back IN_LIST edges)
        message(SEND_ERROR "${headerExample_${edge}}, but ${example_${back}}")
    endif()
endforeach()

foreach(edge ${allowedBackEdges})
    if(NOT edge IN_LIST edges)
        message(SEND_ERROR "The allowed edge ${edge} is no longer made: take it off the list")
    endif()
    message(STATUS "Allowed: ${edge} (${example_${edge}}): ${reason_${edge}}")
endforeach()
list(REMOVE_ITEM edges ${allowedBackEdges})

# Peel off parts that include no remaining part, or that no remaining part includes; whatever is
# left lies on a loop.
set(remaining ${parts})
set(peeled TRUE)
while(peeled)
    set(peeled FALSE)
    foreach(part ${remaining})
        set(includes FALSE)
        set(included FALSE)
        foreach(edge ${edges})
            split_edge(${edge} from to)
            if(from STREQUAL part AND to IN_LIST remaining)
                set(includes TRUE)
            elseif(to STREQUAL part AND from IN_LIST remaining)
                set(included TRUE)
            endif()
        endforeach()
        if(NOT includes OR NOT included)
            list(REMOVE_ITEM remaining ${part})
            set(peeled TRUE)
        endif()
    endforeach()
endwhile()

if(remaining)
    set(loop "")
    foreach(edge ${edges})
        split_edge(${edge} from to)
        if(from IN_LIST remaining AND to IN_LIST remaining)
            string(APPEND loop "\n  ${from} -> ${to} (${example_${edge}})")
        endif()
    endforeach()
    message(FATAL_ERROR "These parts include one another:${loop}")
endif()
