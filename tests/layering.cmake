# The rules of the house that a compiler cannot see, checked on the sources:
#   cmake -DSOURCE_DIR=<tree with src/> -DWIDGET_FILES=<list> -DQT_WIDGETS_DIR=<QtWidgets headers> -P layering.cmake
# Fails, naming every offending line, when
#  - a file outside the window's own files includes MainWindow.h,
#  - a command (src/app/commands) reaches into a `ui.` struct,
#  - a file of korvane_core (model, document, io and canvas without the widget
#    files) includes a widget header or a file of korvane_ui,
#  - the editor session includes a widget header,
#  - an io reader or writer includes the platform seam,
#  - a file of the picture room (src/picture) includes a widget header or a
#    file of korvane_ui, or a file of korvane_core includes the picture room
#    (korvane_picture is built on korvane_core, and the core's own tests link no image library),
#  - a file of the tools room (src/tools) includes a widget header or a file
#    of korvane_ui, or a file of korvane_core includes the tools room (the
#    canvas tools are built on the core and the picture room, and the window lends them what they need).

cmake_minimum_required(VERSION 3.22)

string(REPLACE "," ";" WIDGET_FILES "${WIDGET_FILES}")

# The files that make up the main window (MainWindow*.h, MainWindow*.cpp:
# only they define its members) and the program, which builds it.
function(is_window_file file result)
  if(file MATCHES "^app/MainWindow[A-Za-z]*\\.(h|cpp)$" OR file STREQUAL "app/main.cpp")
    set(${result} TRUE PARENT_SCOPE)
  else()
    set(${result} FALSE PARENT_SCOPE)
  endif()
endfunction()

file(GLOB QT_WIDGET_HEADERS RELATIVE ${QT_WIDGETS_DIR} ${QT_WIDGETS_DIR}/Q*)
file(GLOB_RECURSE SOURCES RELATIVE ${SOURCE_DIR}/src ${SOURCE_DIR}/src/*.h ${SOURCE_DIR}/src/*.cpp)

set(failures "")
function(fail file line why)
  set(failures "${failures}src/${file}: ${why}: ${line}\n" PARENT_SCOPE)
endfunction()

function(is_core file result)
  set(${result} FALSE PARENT_SCOPE)
  if(NOT file MATCHES "^(model|document|io|canvas)/")
    return()
  endif()
  string(REGEX REPLACE "\\.(h|cpp)$" "" stem "${file}")
  if(stem IN_LIST WIDGET_FILES)
    return()
  endif()
  set(${result} TRUE PARENT_SCOPE)
endfunction()

function(includes_widget line result)
  set(${result} FALSE PARENT_SCOPE)
  if(line MATCHES "#include <(QtWidgets/)?([A-Za-z]+)>")
    if(CMAKE_MATCH_1 OR CMAKE_MATCH_2 IN_LIST QT_WIDGET_HEADERS)
      set(${result} TRUE PARENT_SCOPE)
    endif()
  endif()
endfunction()

foreach(file ${SOURCES})
  file(STRINGS ${SOURCE_DIR}/src/${file} lines)
  is_core(${file} core)
  is_window_file(${file} window)
  foreach(line IN LISTS lines)
    if(line MATCHES "#include \"app/MainWindow\\.h\"" AND NOT window)
      fail(${file} "${line}" "includes the main window")
    endif()
    if(file MATCHES "^app/commands/" AND line MATCHES "(^|[^A-Za-z0-9_])ui(\\.|->)")
      fail(${file} "${line}" "a command reaches into a window's controls")
    endif()
    includes_widget("${line}" widget)
    if(core AND widget)
      fail(${file} "${line}" "korvane_core includes a widget header")
    endif()
    if(core AND line MATCHES "#include \"(app|dialogs|platform)/")
      set(room ${CMAKE_MATCH_1})
      if(file MATCHES "^io/" AND room STREQUAL "platform")
        fail(${file} "${line}" "an io reader or writer includes the platform seam")
      else()
        fail(${file} "${line}" "korvane_core includes a file of korvane_ui")
      endif()
    endif()
    if(file MATCHES "^picture/")
      if(widget)
        fail(${file} "${line}" "the picture room includes a widget header")
      endif()
      if(line MATCHES "#include \"(app|dialogs|platform)/")
        fail(${file} "${line}" "the picture room includes a file of korvane_ui")
      endif()
      if(line MATCHES "#include \"([A-Za-z]+/[A-Za-z]+)\\.h\"" AND CMAKE_MATCH_1 IN_LIST WIDGET_FILES)
        fail(${file} "${line}" "the picture room includes a file of korvane_ui")
      endif()
    endif()
    if(file MATCHES "^tools/")
      if(widget)
        fail(${file} "${line}" "the tools room includes a widget header")
      endif()
      if(line MATCHES "#include \"(app|dialogs|platform)/")
        fail(${file} "${line}" "the tools room includes a file of korvane_ui")
      endif()
      if(line MATCHES "#include \"([A-Za-z]+/[A-Za-z]+)\\.h\"" AND CMAKE_MATCH_1 IN_LIST WIDGET_FILES)
        fail(${file} "${line}" "the tools room includes a file of korvane_ui")
      endif()
    endif()
    if(core AND line MATCHES "#include \"tools/")
      fail(${file} "${line}" "korvane_core includes the tools room")
    endif()
    if(core AND line MATCHES "#include \"picture/")
      fail(${file} "${line}" "korvane_core includes the picture room")
    endif()
    if(file MATCHES "^app/EditorSession\\." AND widget)
      fail(${file} "${line}" "the editor session includes a widget header")
    endif()
  endforeach()
endforeach()

if(failures)
  message(FATAL_ERROR "Layering broken:\n${failures}")
endif()
message(STATUS "Layering kept (${SOURCE_DIR}/src)")
