# check_includes.cmake -- calls go one way: fails when a source includes a header of a layer above
# its own, of a host, or of the test hooks. CTest runs it as
#   cmake -DROOT=<source tree> -P tests/check_includes.cmake
# Headers are matched by file name, so "../shell/shell.h" and <shell.h> are caught alike.
cmake_minimum_required(VERSION 3.25)

# Each rule: the folder whose files are checked, then the folders whose headers they must not include.
set(rules
  "lib|shell game platform/host platform/testing"
  "game|shell platform/host platform/testing"
  "services|shell game lib platform/host platform/testing"
  "platform/src|shell game lib services platform/testing"
  "platform/host|shell game lib services platform/testing")

if(NOT ROOT)
  message(FATAL_ERROR "check_includes: pass the source tree as -DROOT=<folder>")
endif()

set(failures "")
foreach(rule ${rules})
  string(REPLACE "|" ";" fields "${rule}")
  list(GET fields 0 checked)
  list(GET fields 1 above)
  string(REPLACE " " ";" above "${above}")

  # The header names the checked folder must not name, each with the folder it belongs to.
  set(banned "")
  foreach(dir ${above})
    file(GLOB_RECURSE headers ${ROOT}/${dir}/*.h)
    foreach(header ${headers})
      get_filename_component(name ${header} NAME)
      list(APPEND banned ${name})
      set(owner_${name} ${dir})
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
      get_filename_component(name ${path} NAME)
      if(name IN_LIST banned)
        file(RELATIVE_PATH where ${ROOT} ${source})
        string(APPEND failures "  ${where} includes ${path}, a header of ${owner_${name}}/\n")
      endif()
    endforeach()
  endforeach()
endforeach()

if(failures)
  message(FATAL_ERROR "includes that go up a layer or into a host or the test hooks:\n${failures}")
endif()
message(STATUS "check_includes: every include goes down")
