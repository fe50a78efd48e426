# Installs the build into an empty PREFIX and compares the installed files with
# the list a package must hold; every picture a handbook page shows must be
# there too. cmake -DBUILD_DIR=… -DPREFIX=… -P checkinstall.cmake
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
  RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "install into ${PREFIX} failed: ${rc}")
endif()

set(expected
  bin/sarvek
  share/applications/sarvek.desktop
  share/icons/hicolor/scalable/apps/sarvek.svg)
foreach(page index anamenu giris listeler muhasip beyanname dokum yedek buro mesajlar)
  list(APPEND expected share/sarvek/handbook/${page}.html)
endforeach()
list(APPEND expected share/sarvek/handbook/stil.css)
foreach(shot anamenu hakkinda giris iceaktar bordlist tumliste dokum muhasip beyanname
    gonderilenler kayityeri mesaj)
  list(APPEND expected share/sarvek/handbook/img/${shot}.png)
endforeach()
list(SORT expected)

file(GLOB_RECURSE found RELATIVE ${PREFIX} ${PREFIX}/*)
list(SORT found)
if(NOT found STREQUAL expected)
  list(JOIN found "\n  " f)
  list(JOIN expected "\n  " e)
  message(FATAL_ERROR "installed files differ.\nfound:\n  ${f}\nexpected:\n  ${e}")
endif()

file(GLOB pages ${PREFIX}/share/sarvek/handbook/*.html)
foreach(page ${pages})
  file(READ ${page} html)
  string(REGEX MATCHALL "src=\"[^\"]+\"" images "${html}")
  foreach(image ${images})
    string(REGEX REPLACE "src=\"([^\"]+)\"" "\\1" image "${image}")
    if(NOT EXISTS ${PREFIX}/share/sarvek/handbook/${image})
      message(FATAL_ERROR "${page} shows ${image}, which is not installed")
    endif()
    file(SIZE ${PREFIX}/share/sarvek/handbook/${image} size)
    if(size LESS 2000)
      message(FATAL_ERROR "${image} is too small to be a screenshot (${size} bytes)")
    endif()
  endforeach()
  string(REGEX MATCHALL "href=\"[a-z]+\\.html" links "${html}")
  foreach(link ${links})
    string(REPLACE "href=\"" "" link "${link}")
    if(NOT EXISTS ${PREFIX}/share/sarvek/handbook/${link})
      message(FATAL_ERROR "${page} links to ${link}, which is not installed")
    endif()
  endforeach()
endforeach()
message(STATUS "installed file set is complete")
