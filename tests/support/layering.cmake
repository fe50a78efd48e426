# Fails when a file includes a folder above its own layer: base/ uses only
# base/, store/ and controls/ use only base/ and themselves, and the logic that
# holds no widgets never reaches into app/. Run as
#   cmake -DSOURCE_DIR=<top of the sources> -P layering.cmake
cmake_minimum_required(VERSION 3.25)
if(NOT SOURCE_DIR)
  message(FATAL_ERROR "SOURCE_DIR is not set")
endif()

# Each rule: a folder or a file pattern, and the include prefixes it may use
# (empty: anything but app/).
set(rules
  "base/*|base/"
  "store/*|base/ store/"
  "controls/*|base/ controls/"
  "entry/returnstore.*|"
  "entry/headerrules.*|"
  "entry/gridrules.*|"
  "entry/arithmetic.*|"
  "entry/rowcheck.*|"
  "entry/lookups.*|"
  "entry/csvimport.*|"
  "declaration/declfile.*|"
  "declaration/selection.*|"
  "declaration/periodsummary.*|"
  "declaration/sendlog.*|"
  "declaration/ftpupload.*|"
  "print/printcommands.*|"
  "lists/returnlists.*|"
  "accountant/accountantrecord.*|")

set(faults "")
foreach(rule IN LISTS rules)
  string(REPLACE "|" ";" parts "${rule}")
  list(GET parts 0 pattern)
  list(LENGTH parts n)
  set(allowed "")
  if(n GREATER 1)
    list(GET parts 1 allowed)
    separate_arguments(allowed)
  endif()
  file(GLOB files RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/${pattern})
  list(FILTER files INCLUDE REGEX "\\.(h|cpp)$")
  if(NOT files)
    # A rule that matches nothing checks nothing: a renamed file must be
    # named here again.
    list(APPEND faults "${pattern}: no such file")
  endif()
  foreach(file IN LISTS files)
    file(STRINGS ${SOURCE_DIR}/${file} lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line IN LISTS lines)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]*)\".*" "\\1" target "${line}")
      set(ok TRUE)
      if(target MATCHES "^app/")
        set(ok FALSE)
      elseif(allowed)
        set(ok FALSE)
        foreach(prefix IN LISTS allowed)
          string(FIND "${target}" "${prefix}" at)
          if(at EQUAL 0)
            set(ok TRUE)
          endif()
        endforeach()
      endif()
      if(NOT ok)
        list(APPEND faults "${file} includes ${target}")
      endif()
    endforeach()
  endforeach()
endforeach()

if(faults)
  list(JOIN faults "\n  " text)
  message(FATAL_ERROR "Includes across the layers:\n  ${text}")
endif()
