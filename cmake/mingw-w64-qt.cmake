# Cross build for 64-bit Windows against a Qt 6 built for mingw-w64 by scripts/windows-qt.
# The same compilers and find-root settings as cmake/mingw-w64.cmake, but the C++ runtime is
# linked as DLLs (libstdc++-6.dll, libgcc_s_seh-1.dll, libwinpthread-1.dll), as Qt's DLLs are.
# The same file builds that Qt itself.
#   cmake -S . -B build-winqt -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-qt.cmake \
#         -DCMAKE_PREFIX_PATH="$(scripts/windows-qt --print-prefix)"
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
set(CMAKE_EXE_LINKER_FLAGS_INIT "")

# The find-root modes are ONLY: a Qt prefix named in CMAKE_PREFIX_PATH becomes a root of its own,
# so that find_package(Qt6) finds it there and nowhere else (never the host's Qt in /usr).
foreach(_ulvo_prefix IN LISTS CMAKE_PREFIX_PATH)
  if(IS_ABSOLUTE "${_ulvo_prefix}" AND NOT _ulvo_prefix STREQUAL "/")
    list(APPEND CMAKE_FIND_ROOT_PATH "${_ulvo_prefix}")
  endif()
endforeach()
list(REMOVE_DUPLICATES CMAKE_FIND_ROOT_PATH)

# Qt's host tools (moc, rcc, uic) come from Debian's own Qt 6 of the same version
# (qt6-base-dev), which keeps its CMake packages in the multiarch folder.
if(NOT DEFINED QT_HOST_PATH)
  set(QT_HOST_PATH /usr CACHE PATH "Host Qt prefix (tools)")
endif()
if(NOT DEFINED QT_HOST_PATH_CMAKE_DIR AND EXISTS /usr/lib/x86_64-linux-gnu/cmake/Qt6HostInfo)
  set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake CACHE PATH "Host Qt CMake packages")
endif()
