# Shared build rules: compile flags, sanitizers and the per-folder library helpers.

# Narrow literals are GBK bytes in the program (the files and the panel hold GBK);
# sources stay UTF-8. u8"..." literals stay UTF-8 for Qt and host file names.
# GB18030 is GBK's superset with identical bytes for every GBK character; it is named here
# because the standard library's own literals hold characters GBK lacks ("\u00b5s" in
# <chrono>), which a pure GBK execution set refuses to compile.
set(QV_COMMON_FLAGS -finput-charset=UTF-8 -fexec-charset=GB18030 -Wall -Wextra -Wno-unused-parameter)

if(QV_SANITIZE STREQUAL "address")
  set(QV_SAN_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
elseif(QV_SANITIZE STREQUAL "thread")
  set(QV_SAN_FLAGS -fsanitize=thread -fno-omit-frame-pointer)
endif()
if(QV_SAN_FLAGS)
  add_compile_options(${QV_SAN_FLAGS})
  add_link_options(${QV_SAN_FLAGS})
endif()

# Collect the sources of a folder: every .cpp/.h below it except the ui/ subfolder
# (Qt dialogs, built by qv_ui_library) and the subfolders named in EXCLUDE, which
# are targets of their own.
function(qv_collect_sources out dir)
  cmake_parse_arguments(A "" "" "EXCLUDE" ${ARGN})
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h)
  list(FILTER srcs EXCLUDE REGEX "/ui/")
  foreach(ex IN LISTS A_EXCLUDE)
    list(FILTER srcs EXCLUDE REGEX "^${dir}/${ex}/")
  endforeach()
  set(${out} ${srcs} PARENT_SCOPE)
endfunction()

function(qv_apply_flags target)
  target_compile_options(${target} PRIVATE ${QV_COMMON_FLAGS})
  target_compile_definitions(${target} PRIVATE QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII)
endfunction()

# Precompiled headers: parsing Qt, GoogleTest and the standard library dominates the build
# (most of CI's time on two cores). KIND is one of STD, QT, TEST, QTTEST.
set(QV_PCH_STD <algorithm> <array> <atomic> <cstdint> <cstring> <filesystem> <functional>
               <map> <memory> <mutex> <optional> <string> <string_view> <thread> <vector>
               <fmt/format.h>)
function(qv_precompile target kind)
  set(headers ${QV_PCH_STD})
  if(kind MATCHES "QT")
    list(APPEND headers <QtWidgets/QtWidgets>)
  endif()
  if(kind MATCHES "TEST")
    list(APPEND headers <gtest/gtest.h> <gmock/gmock.h>)
  endif()
  if(kind STREQUAL "QTTEST")
    list(APPEND headers <QtTest/QtTest>)
  endif()
  target_precompile_headers(${target} PRIVATE ${headers})
endfunction()

# qv_library(<name> [DIR <subdir>] [EXCLUDE subdirs...] [DEPS libs...] [QT])
# One static library per folder; headers are included as "<folder>/<file>.h".
function(qv_library name)
  cmake_parse_arguments(A "QT" "DIR" "EXCLUDE;DEPS" ${ARGN})
  if(A_DIR)
    set(dir ${CMAKE_CURRENT_SOURCE_DIR}/${A_DIR})
  else()
    set(dir ${CMAKE_CURRENT_SOURCE_DIR})
  endif()
  qv_collect_sources(srcs ${dir} EXCLUDE ${A_EXCLUDE})
  add_library(${name} STATIC ${srcs})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${A_DEPS} fmt::fmt Threads::Threads)
  if(A_QT)
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
    qv_precompile(${name} QT)
  else()
    qv_precompile(${name} STD)
  endif()
  qv_apply_flags(${name})
endfunction()

# qv_ui_library(<folder>): the Qt dialogs of <folder>, in <folder>/ui/, as <folder>_ui.
function(qv_ui_library folder)
  cmake_parse_arguments(A "" "" "DEPS" ${ARGN})
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/ui/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/ui/*.h)
  add_library(${folder}_ui STATIC ${srcs})
  target_include_directories(${folder}_ui PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${folder}_ui PUBLIC ${folder} ${A_DEPS} Qt6::Widgets)
  set_target_properties(${folder}_ui PROPERTIES AUTOMOC ON)
  qv_precompile(${folder}_ui QT)
  qv_apply_flags(${folder}_ui)
endfunction()

# What every test program compiles with: GoogleTest, the shared fixtures, -fPIC (programs
# linking Qt get it anyway) and, for QTTEST, Qt Widgets and the test library's headers. The
# test library's own definitions name each program's folders, which no test uses and which
# would keep the programs from sharing a precompiled header.
function(qv_test_compile_setup target kind)
  target_link_libraries(${target} PRIVATE qv_test_fixtures GTest::gtest GTest::gmock fmt::fmt Threads::Threads)
  target_compile_options(${target} PRIVATE -fPIC)
  if(kind STREQUAL "QTTEST")
    target_link_libraries(${target} PRIVATE Qt6::Widgets $<LINK_ONLY:Qt6::Test>)
    target_include_directories(${target} SYSTEM PRIVATE $<TARGET_PROPERTY:Qt6::Test,INTERFACE_INCLUDE_DIRECTORIES>)
    target_compile_definitions(${target} PRIVATE QT_TESTLIB_LIB)
  endif()
endfunction()

# qv_test_dir(<name> DEPS libs... [QT] [LABELS threads] [SOURCES files... PREFIX p]): every
# .cpp of the current tests folder (or only SOURCES) in one GoogleTest program; each test case
# runs as its own CTest test (ctest -j), its name led by PREFIX when given.
# QT brings Qt Widgets and the Qt test library.
# Programs labelled "threads" (threaded, headless) run again under ThreadSanitizer.
function(qv_test_dir name)
  cmake_parse_arguments(A "QT" "PREFIX" "DEPS;LABELS;SOURCES" ${ARGN})
  if(QV_THREAD_TESTS_ONLY AND NOT "threads" IN_LIST A_LABELS)
    return()
  endif()
  if(A_SOURCES)
    set(srcs ${A_SOURCES})
  else()
    file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  endif()
  add_executable(${name} ${srcs})
  target_link_libraries(${name} PRIVATE ${A_DEPS})
  if(A_QT)
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
    set(kind QTTEST)
  else()
    set(kind TEST)
  endif()
  qv_test_compile_setup(${name} ${kind})
  # The test programs of one kind share one precompiled header: each is hundreds of MB and
  # costs a minute of a CI core. A program whose flags differ (it links a Qt library the
  # others do not) silently falls back to parsing the headers; -Winvalid-pch shows which.
  if(NOT TARGET qv_pch_${kind})
    file(WRITE ${CMAKE_BINARY_DIR}/qv_pch_empty.cpp "")
    add_library(qv_pch_${kind} OBJECT ${CMAKE_BINARY_DIR}/qv_pch_empty.cpp)
    qv_test_compile_setup(qv_pch_${kind} ${kind})
    qv_precompile(qv_pch_${kind} ${kind})
    qv_apply_flags(qv_pch_${kind})
  endif()
  target_precompile_headers(${name} REUSE_FROM qv_pch_${kind})
  qv_apply_flags(${name})
  # The launcher sets the shared test environment (offscreen Qt, dummy audio, leak
  # suppressions) for discovery and for every run.
  set_target_properties(${name} PROPERTIES CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/tests/run_test.sh)
  set(props TIMEOUT 120)
  if(A_LABELS)
    list(APPEND props LABELS ${A_LABELS})
  endif()
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 TEST_PREFIX "${A_PREFIX}" PROPERTIES ${props})
endfunction()
