# Fails when a source file includes a header its folder may not include (see the rules below).
#
#   cmake -DSOURCE_ROOT=<repository> -P cmake/CheckLayering.cmake
#
# Prints one line per offending include as "folder/file:line: ..." and exits non-zero.
# A folder that does not exist is simply not checked, so a rule may name a folder early.

cmake_minimum_required(VERSION 3.25)

if(NOT SOURCE_ROOT)
  message(FATAL_ERROR "Usage: cmake -DSOURCE_ROOT=<repository> -P CheckLayering.cmake")
endif()

# The project's own top folders; an include naming one of them belongs to that layer.
set(project_folders core graph yearlyview plugin_api library plugin host cli farm tests bench
                    examples fuzz)

# What each folder may not include. Every folder but tests/ is checked; tests/ may reach all.
# core/ holds the pure computations and may include nothing of the project but core/.
set(forbidden_core graph yearlyview plugin_api library plugin host cli farm tests bench examples fuzz)
# The recording library needs only core/, so that every program can read a library.
set(forbidden_library graph yearlyview plugin_api plugin host cli farm tests bench examples fuzz)
set(forbidden_graph yearlyview plugin_api library plugin host cli farm tests bench examples fuzz)
set(forbidden_yearlyview graph plugin_api library plugin host cli farm tests bench examples fuzz)
set(forbidden_plugin_api graph yearlyview library plugin host cli farm tests bench examples fuzz)
# A plug-in reaches its host only through plugin_api/ and never reads the library itself.
set(forbidden_plugin library host cli farm tests bench examples fuzz)
# The desktop never includes a plug-in: it loads them, whatever they are.
set(forbidden_host graph yearlyview plugin cli tests bench examples fuzz)
# A farm's run builds on the commands and the drawing; the desktop and `vane project` share it.
set(forbidden_farm plugin_api plugin host tests bench examples fuzz)
# The command line shares the library and the drawing with the desktop, not the desktop itself.
set(forbidden_cli plugin_api plugin host tests bench examples fuzz)
set(forbidden_bench host examples fuzz)
set(forbidden_fuzz graph yearlyview plugin_api library plugin host cli farm tests bench examples)
set(forbidden_examples graph yearlyview plugin_api library plugin host cli farm tests bench fuzz)
set(checked_layers core library graph yearlyview plugin plugin_api host cli farm bench fuzz examples)
# Layers that never use Qt.
set(qt_free_layers core library fuzz examples)

# Qt's class headers (<QString>), module headers (<QtCore/...>) and lower-case ones (<qglobal.h>).
set(qt_header_regex "^(Qt[A-Za-z]*/.*|Q[A-Za-z0-9_]+|q[a-z0-9_]+\\.h)$")
set(include_regex "(^|\n)[ \t]*#[ \t]*include[ \t]*([<\"])([^>\"\n]+)[>\"]")

# The layer an include belongs to, or "" for a header from outside the project.
function(layer_of_include file delimiter target out)
  string(REGEX MATCH "^[^/]+" first "${target}")
  list(FIND project_folders "${first}" index)
  if(NOT index EQUAL -1 AND NOT delimiter STREQUAL "\"")
    set(${out} "${first}" PARENT_SCOPE)
    return()
  endif()
  if(delimiter STREQUAL "\"")
    get_filename_component(dir "${file}" DIRECTORY)
    # A quoted include is looked up beside the file first, as the compiler does.
    if(EXISTS "${dir}/${target}")
      file(REAL_PATH "${dir}/${target}" resolved)
      file(RELATIVE_PATH relative "${SOURCE_ROOT}" "${resolved}")
      string(REGEX MATCH "^[^/]+" resolved_first "${relative}")
      set(${out} "${resolved_first}" PARENT_SCOPE)
      return()
    endif()
    if(NOT index EQUAL -1)
      set(${out} "${first}" PARENT_SCOPE)
      return()
    endif()
  endif()
  set(${out} "" PARENT_SCOPE)
endfunction()

file(REAL_PATH "${SOURCE_ROOT}" SOURCE_ROOT)
set(violations 0)
foreach(layer IN LISTS checked_layers)
  if(NOT IS_DIRECTORY "${SOURCE_ROOT}/${layer}")
    continue()
  endif()
  file(GLOB_RECURSE sources LIST_DIRECTORIES false RELATIVE "${SOURCE_ROOT}"
       "${SOURCE_ROOT}/${layer}/*.h" "${SOURCE_ROOT}/${layer}/*.hpp"
       "${SOURCE_ROOT}/${layer}/*.cpp" "${SOURCE_ROOT}/${layer}/*.cc")
  list(SORT sources)
  foreach(source IN LISTS sources)
    file(READ "${SOURCE_ROOT}/${source}" rest)
    set(line 1)
    while(TRUE)
      string(REGEX MATCH "${include_regex}" directive "${rest}")
      if(directive STREQUAL "")
        break()
      endif()
      set(delimiter "${CMAKE_MATCH_2}")
      set(target "${CMAKE_MATCH_3}")
      # Count the lines up to the directive so the report can name its line.
      string(FIND "${rest}" "${directive}" position)
      string(LENGTH "${directive}" length)
      math(EXPR consumed "${position} + ${length}")
      string(SUBSTRING "${rest}" 0 ${consumed} before)
      string(SUBSTRING "${rest}" ${consumed} -1 rest)
      string(REGEX MATCHALL "\n" newlines "${before}")
      list(LENGTH newlines newline_count)
      # The directive holds no line break but the one it starts with, so it sits on the last line.
      math(EXPR line "${line} + ${newline_count}")

      if(delimiter STREQUAL "<")
        set(shown "<${target}>")
      else()
        set(shown "\"${target}\"")
      endif()
      set(reason "")
      if(layer IN_LIST qt_free_layers AND target MATCHES "${qt_header_regex}")
        set(reason "a Qt header; ${layer}/ never uses Qt")
      else()
        layer_of_include("${SOURCE_ROOT}/${source}" "${delimiter}" "${target}" included_layer)
        if(NOT included_layer STREQUAL "" AND included_layer IN_LIST forbidden_${layer})
          set(reason "${layer}/ may not include ${included_layer}/")
        endif()
      endif()
      if(NOT reason STREQUAL "")
        message(NOTICE "${source}:${line}: includes ${shown}: ${reason}")
        math(EXPR violations "${violations} + 1")
      endif()
    endwhile()
  endforeach()
endforeach()

if(violations GREATER 0)
  message(FATAL_ERROR "${violations} include(s) break the layering")
endif()
message(STATUS "Layering holds")
