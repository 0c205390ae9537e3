# check_includes.cmake -- calls go one way: fails when a source includes a header of a layer above
# its own, of a host, or of the test hooks. CTest runs it as
#   cmake -DROOT=<source tree> -P tests/check_includes.cmake
# An include names a header by its path: as written from the including file's folder when that file
# is there, else by its trailing path ("../shell/shell.h", "shell/shell.h" and <shell.h> alike), so
# two headers of one name in different folders are told apart.
cmake_minimum_required(VERSION 3.25)

# Each rule: the folder whose files are checked | the folders whose headers they must not include
# | the headers of those folders they may include all the same, by their path in the tree.
set(rules
  "lib|shell game platform/host platform/testing|"
  "game|shell platform/host platform/testing|"
  "services|shell game lib platform/host platform/testing|"
  "platform/src|shell game lib services platform/testing platform/host|platform/host/host.h"
  "platform/host|shell game lib services platform/testing platform/src|services/refresh_grid.h platform/src/host_reports.h"
  "contract|shell game lib services platform|"
  "examples|shell game contract|"
  "tools|shell game lib services platform|")

if(NOT ROOT)
  message(FATAL_ERROR "check_includes: pass the source tree as -DROOT=<folder>")
endif()

# The headers of `dir` that an include of `path` from `source` names, as paths in the tree.
function(named_headers out source path)
  get_filename_component(from ${source} DIRECTORY)
  get_filename_component(beside ${from}/${path} ABSOLUTE)
  if(EXISTS ${beside})
    file(RELATIVE_PATH named ${ROOT} ${beside})
    set(${out} ${named} PARENT_SCOPE)
    return()
  endif()
  string(REGEX REPLACE "^(\\.\\./|\\./)+" "" tail "${path}")
  get_filename_component(name ${tail} NAME)
  string(REPLACE "." "\\." tail_pattern "${tail}")
  set(named "")
  foreach(header ${headers_named_${name}})
    if("/${header}" MATCHES "/${tail_pattern}$")
      list(APPEND named ${header})
    endif()
  endforeach()
  set(${out} ${named} PARENT_SCOPE)
endfunction()

set(failures "")
foreach(rule ${rules})
  string(REPLACE "|" ";" fields "${rule}")
  list(GET fields 0 checked)
  list(GET fields 1 above)
  list(LENGTH fields field_count)
  set(allowed "")
  if(field_count GREATER 2)
    list(GET fields 2 allowed)
  endif()
  string(REPLACE " " ";" above "${above}")
  string(REPLACE " " ";" allowed "${allowed}")

  # The headers the checked folder must not name, by file name, each with the folder it belongs to.
  set(banned "")
  foreach(dir ${above})
    file(GLOB_RECURSE headers RELATIVE ${ROOT} ${ROOT}/${dir}/*.h)
    foreach(header ${headers})
      get_filename_component(name ${header} NAME)
      list(APPEND headers_named_${name} ${header})
      list(APPEND banned ${header})
      set(owner_${header} ${dir})
    endforeach()
  endforeach()

  file(GLOB_RECURSE sources ${ROOT}/${checked}/*.h ${ROOT}/${checked}/*.cpp)
  if(NOT sources)
    string(APPEND failures "  ${checked}/: no sources found (is ROOT right?)\n")
  endif()
  foreach(source ${sources})
    file(STRINGS ${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"][^>\"]+[>\"]")
    foreach(line ${includes})
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]+)[>\"].*$" "\\1" path "${line}")
      named_headers(named ${source} ${path})
      foreach(header ${named})
        if(header IN_LIST banned AND NOT header IN_LIST allowed)
          file(RELATIVE_PATH where ${ROOT} ${source})
          string(APPEND failures "  ${where} includes ${path}, the header ${header} of ${owner_${header}}/\n")
        endif()
      endforeach()
    endforeach()
  endforeach()

  foreach(header ${banned})
    get_filename_component(name ${header} NAME)
    unset(headers_named_${name})
  endforeach()
endforeach()

if(failures)
  message(FATAL_ERROR "includes that go up a layer or into a host or the test hooks:\n${failures}")
endif()
message(STATUS "check_includes: every include goes down")
