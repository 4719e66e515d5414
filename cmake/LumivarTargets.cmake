# Shared helpers for the project's targets.

function(lumivar_set_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  if(LUMIVAR_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

if(LUMIVAR_FUZZ)
  # The libraries carry coverage for libFuzzer to follow; only the fuzz targets link its main.
  # Every sanitizer report aborts, so undefined behaviour fails a campaign instead of scrolling past.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
endif()

if(LUMIVAR_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# lumivar_core_library(<folder> [DEPS targets...] [EXCLUDE files...])
# Builds lumivar_<folder> from the top-level sources of <folder>.
function(lumivar_core_library folder)
  cmake_parse_arguments(ARG "" "" "DEPS;EXCLUDE" ${ARGN})
  lumivar_check_layers(lumivar_${folder} ${ARG_DEPS})

  file(GLOB sources CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  foreach(ex IN LISTS ARG_EXCLUDE)
    list(REMOVE_ITEM sources ${CMAKE_CURRENT_SOURCE_DIR}/${ex})
  endforeach()
  set(lib lumivar_${folder})
  if(sources)
    add_library(${lib} STATIC ${sources})
    target_include_directories(${lib} PUBLIC ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}/generated)
    target_link_libraries(${lib} PUBLIC ${ARG_DEPS})
    lumivar_set_warnings(${lib})
  else()
    add_library(${lib} INTERFACE)
    target_include_directories(${lib} INTERFACE ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}/generated)
    target_link_libraries(${lib} INTERFACE ${ARG_DEPS})
  endif()
endfunction()

# lumivar_ui_library(<target> [DEPS targets...] [EXCLUDE files...])
# Called from a window folder's CMakeLists.txt (<folder>/ui, app): builds <target> from that
# folder's sources. Windows and controls sit above every core library (they drive the camera object),
# so the window folders are added after all core folders; among themselves the same layer rule holds.
function(lumivar_ui_library target)
  cmake_parse_arguments(ARG "" "" "DEPS;EXCLUDE" ${ARGN})
  lumivar_check_layers(${target} ${ARG_DEPS})
  file(GLOB ui_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  foreach(ex IN LISTS ARG_EXCLUDE)
    list(REMOVE_ITEM ui_sources ${CMAKE_CURRENT_SOURCE_DIR}/${ex})
  endforeach()
  if(ui_sources)
    add_library(${target} STATIC ${ui_sources})
    target_link_libraries(${target} PUBLIC ${ARG_DEPS} Qt6::Widgets)
    lumivar_set_warnings(${target})
  endif()
endfunction()

function(lumivar_check_layers target)
  foreach(dep IN LISTS ARGN)
    if(dep MATCHES "^lumivar_" AND NOT TARGET ${dep})
      message(FATAL_ERROR "${target} links ${dep}, which is not declared below it: layers must not form a cycle")
    endif()
  endforeach()
endfunction()

# lumivar_test_suite(<name> SOURCES_DIR <dir> DEPS ... [GUI])
# One GoogleTest executable per folder of tests; each case becomes a CTest test.
function(lumivar_test_suite name)
  cmake_parse_arguments(ARG "GUI" "SOURCES_DIR" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${ARG_SOURCES_DIR}/*.cpp ${ARG_SOURCES_DIR}/*.h)
  if(NOT sources)
    return()
  endif()
  set(exe lumivar_test_${name})
  if(ARG_GUI)
    add_executable(${exe} ${sources} ${CMAKE_SOURCE_DIR}/tests/common/GuiTestMain.cpp)
    target_link_libraries(${exe} PRIVATE Qt6::Widgets)
  else()
    add_executable(${exe} ${sources} ${CMAKE_SOURCE_DIR}/tests/common/CoreTestMain.cpp)
  endif()
  target_include_directories(${exe} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(${exe} PRIVATE ${ARG_DEPS} lumivar_testsupport GTest::gtest GTest::gmock Qt6::Test)
  target_compile_definitions(${exe} PRIVATE
    LUMIVAR_FIXTURES_DIR="${CMAKE_SOURCE_DIR}/tests/fixtures"
    LUMIVAR_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  lumivar_set_warnings(${exe})
  gtest_discover_tests(${exe}
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 120)
endfunction()
