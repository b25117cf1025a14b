# Small helpers shared by the folders' CMakeLists.

# ulvo_core_test(<name> SOURCES ... LIBS ...): a GoogleTest program of the Qt-free core;
# it is also built and run under the sanitizers.
function(ulvo_core_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main Threads::Threads)
  target_compile_definitions(${name} PRIVATE
    ULVO_SIM_PATH="${CMAKE_BINARY_DIR}/ulvo-sim"
    ULVO_TEST_DATA_DIR="${CMAKE_SOURCE_DIR}/tests/data")
  if(CMAKE_CROSSCOMPILING)
    # One test per program: listing the cases would run every program under the emulator at
    # build time.
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES TIMEOUT 600)
  else()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 120)
  endif()
endfunction()

# ulvo_qt_test(<name> SOURCES ... LIBS ...): a test that needs Qt (QtTest or GoogleTest over
# the Qt serial port); runs on the offscreen platform.
function(ulvo_qt_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;GTEST" ${ARGN})
  if(NOT ULVO_WITH_QT)
    return()
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} Qt6::Test Threads::Threads)
  set_target_properties(${name} PROPERTIES AUTOMOC ON)
  target_compile_definitions(${name} PRIVATE
    ULVO_SIM_PATH="${CMAKE_BINARY_DIR}/ulvo-sim"
    ULVO_TEST_DATA_DIR="${CMAKE_SOURCE_DIR}/tests/data")
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES TIMEOUT 300
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;ULVO_SIM_PATH=${CMAKE_BINARY_DIR}/ulvo-sim")
endfunction()

# Looks for a pkg-config module for an optional feature; never on Windows, where Debian's
# mingw-w64 has none of them. Sets <prefix>_FOUND and the target PkgConfig::<prefix>.
macro(ulvo_optional_pkg prefix module)
  if(NOT WIN32)
    find_package(PkgConfig QUIET)
    if(PKG_CONFIG_FOUND)
      pkg_check_modules(${prefix} IMPORTED_TARGET ${module})
    endif()
  endif()
endmacro()

# ulvo_folder_library(<target> <dir> [QT] [EXCLUDE regex] [LIBS ...]):
# a static library of every .cpp directly in <dir> (a new file is picked up by the next
# build). With QT the library is built only when the Qt front end is on.
# Targets with no sources yet become interface libraries, so dependents still link.
function(ulvo_folder_library target dir)
  cmake_parse_arguments(ARG "QT" "EXCLUDE" "LIBS" ${ARGN})
  if(ARG_QT AND NOT ULVO_WITH_QT)
    return()
  endif()
  file(GLOB sources CONFIGURE_DEPENDS "${dir}/*.cpp")
  if(ARG_EXCLUDE)
    list(FILTER sources EXCLUDE REGEX "${ARG_EXCLUDE}")
  endif()
  list(FILTER sources EXCLUDE REGEX "/main\\.cpp$")
  if(sources)
    file(GLOB headers CONFIGURE_DEPENDS "${dir}/*.h")
    add_library(${target} STATIC ${sources} ${headers})
    target_include_directories(${target} PUBLIC ${CMAKE_SOURCE_DIR})
    target_link_libraries(${target} PUBLIC ${ARG_LIBS})
    if(ARG_QT)
      set_target_properties(${target} PROPERTIES AUTOMOC ON)
    endif()
  else()
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${CMAKE_SOURCE_DIR})
    target_link_libraries(${target} INTERFACE ${ARG_LIBS})
  endif()
endfunction()

# ulvo_windows_sources(<var> <what> [PTY_OK]): on Windows, drops from the list in <var> the
# sources that use POSIX calls or say "// POSIX only: why" on a line of their own; the core tests also drop those that drive the emulator
# (under wine only the Qt tests reach it, through scripts/wine-sim-bridge).
function(ulvo_windows_sources var what)
  if(NOT WIN32)
    return()
  endif()
  set(sources ${${var}})
  set(pattern "unistd\\.h|sys/|termios|pty\\.h|poll\\.h|fcntl\\.h|signal\\.h")
  if(NOT "PTY_OK" IN_LIST ARGN)
    string(APPEND pattern "|sim/sim_process\\.h")
  endif()
  foreach(src ${sources})
    file(STRINGS ${src} posix REGEX "#include [<\"](${pattern})|^// POSIX only: ")
    if(posix)
      list(REMOVE_ITEM sources ${src})
      get_filename_component(skipped ${src} NAME)
      message(STATUS "${what}: ${skipped} is POSIX-only, not built for Windows")
    endif()
  endforeach()
  set(${var} ${sources} PARENT_SCOPE)
endfunction()

# ulvo_core_tests(<target> <dir> LIBS ...): one GoogleTest program of every .cpp in <dir>;
# Qt-free, so it also runs under the sanitizers.
function(ulvo_core_tests target dir)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS "${dir}/*.cpp")
  ulvo_windows_sources(sources ${target})
  if(NOT WIN32)
    # Tests of Win32 code (they include windows.h) stay on the Windows side.
    foreach(src ${sources})
      file(STRINGS ${src} win32 REGEX "#include <windows\\.h>")
      if(win32)
        list(REMOVE_ITEM sources ${src})
      endif()
    endforeach()
  endif()
  if(NOT sources)
    return()
  endif()
  ulvo_core_test(${target} SOURCES ${sources} LIBS ${ARG_LIBS})
endfunction()

# ulvo_qt_tests(<dir> LIBS ...): every <dir>/*_qtest.cpp is a QtTest program with its own
# main; every <dir>/*_gtest.cpp a GoogleTest program (gtest_main) that may use Qt.
function(ulvo_qt_tests dir)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  if(NOT ULVO_WITH_QT)
    return()
  endif()
  file(GLOB qtests CONFIGURE_DEPENDS "${dir}/*_qtest.cpp")
  ulvo_windows_sources(qtests "Qt tests" PTY_OK)
  foreach(src ${qtests})
    get_filename_component(name ${src} NAME_WE)
    ulvo_qt_test(${name} SOURCES ${src} LIBS ${ARG_LIBS})
  endforeach()
  file(GLOB gtests CONFIGURE_DEPENDS "${dir}/*_gtest.cpp")
  ulvo_windows_sources(gtests "Qt tests" PTY_OK)
  foreach(src ${gtests})
    get_filename_component(name ${src} NAME_WE)
    ulvo_qt_test(${name} SOURCES ${src} LIBS ${ARG_LIBS} GTest::gtest GTest::gtest_main)
  endforeach()
endfunction()
