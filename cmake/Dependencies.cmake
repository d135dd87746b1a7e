# Third-party libraries, all from Debian's packages:
#  - zlib: the system's (native) or libz-mingw-w64-dev (Windows), linked statically there;
#  - PCRE2 with 16-bit code units: libpcre2-dev (native), or Debian's pcre2 source
#    package fetched by scripts/install-deps and cross-built static here (Windows);
#  - libdeflate (whole-buffer inflate and CRC-32 of the payload's entries):
#    libdeflate-dev (native), or Debian's libdeflate source package fetched by
#    scripts/install-deps and compiled static here (Windows);
#  - GoogleTest from /usr/src/googletest, compiled for whichever target this is.
include(ExternalProject)

if(WIN32)
  find_library(ZLIB_STATIC NAMES libz.a REQUIRED)
  add_library(zlib_dep INTERFACE)
  target_link_libraries(zlib_dep INTERFACE ${ZLIB_STATIC})

  set(ORVELIN_PCRE2_SOURCE "${CMAKE_SOURCE_DIR}/.deps/pcre2" CACHE PATH "PCRE2 source tree")
  if(NOT EXISTS "${ORVELIN_PCRE2_SOURCE}/CMakeLists.txt")
    message(FATAL_ERROR "PCRE2 sources missing in ${ORVELIN_PCRE2_SOURCE}: run scripts/install-deps")
  endif()
  set(pcre2_prefix "${CMAKE_BINARY_DIR}/_deps/pcre2")
  set(pcre2_lib "${pcre2_prefix}/lib/libpcre2-16.a")
  ExternalProject_Add(pcre2_build
    SOURCE_DIR "${ORVELIN_PCRE2_SOURCE}"
    BINARY_DIR "${pcre2_prefix}-build"
    INSTALL_DIR "${pcre2_prefix}"
    CMAKE_ARGS
      -DCMAKE_TOOLCHAIN_FILE=${CMAKE_TOOLCHAIN_FILE}
      -DCMAKE_BUILD_TYPE=Release
      -DCMAKE_INSTALL_PREFIX=<INSTALL_DIR>
      -DCMAKE_INSTALL_LIBDIR=lib
      -DBUILD_SHARED_LIBS=OFF -DBUILD_STATIC_LIBS=ON
      -DPCRE2_BUILD_PCRE2_8=OFF -DPCRE2_BUILD_PCRE2_16=ON -DPCRE2_BUILD_PCRE2_32=OFF
      -DPCRE2_SUPPORT_UNICODE=ON -DPCRE2_SUPPORT_JIT=OFF
      -DPCRE2_BUILD_PCRE2GREP=OFF -DPCRE2_BUILD_TESTS=OFF -DPCRE2_SHOW_REPORT=OFF
      -DPCRE2_SUPPORT_LIBBZ2=OFF -DPCRE2_SUPPORT_LIBZ=OFF
      -DPCRE2_SUPPORT_LIBEDIT=OFF -DPCRE2_SUPPORT_LIBREADLINE=OFF
    BUILD_BYPRODUCTS "${pcre2_lib}"
    UPDATE_COMMAND "" PATCH_COMMAND ""
    LOG_CONFIGURE ON LOG_BUILD ON LOG_INSTALL ON LOG_OUTPUT_ON_FAILURE ON)
  file(MAKE_DIRECTORY "${pcre2_prefix}/include")
  add_library(pcre2_dep STATIC IMPORTED GLOBAL)
  set_target_properties(pcre2_dep PROPERTIES
    IMPORTED_LOCATION "${pcre2_lib}"
    INTERFACE_INCLUDE_DIRECTORIES "${pcre2_prefix}/include"
    INTERFACE_COMPILE_DEFINITIONS "PCRE2_STATIC")
  add_dependencies(pcre2_dep pcre2_build)

  # libdeflate 1.14 builds with a Makefile of its own; its library is a handful of C
  # files without configuration, compiled here with the target's compiler: only the
  # parts that the reader uses, decompression and CRC-32.
  set(ORVELIN_LIBDEFLATE_SOURCE "${CMAKE_SOURCE_DIR}/.deps/libdeflate" CACHE PATH "libdeflate source tree")
  if(NOT EXISTS "${ORVELIN_LIBDEFLATE_SOURCE}/libdeflate.h")
    message(FATAL_ERROR "libdeflate sources missing in ${ORVELIN_LIBDEFLATE_SOURCE}: run scripts/install-deps")
  endif()
  add_library(libdeflate_dep STATIC
    "${ORVELIN_LIBDEFLATE_SOURCE}/lib/deflate_decompress.c"
    "${ORVELIN_LIBDEFLATE_SOURCE}/lib/crc32.c"
    "${ORVELIN_LIBDEFLATE_SOURCE}/lib/utils.c"
    "${ORVELIN_LIBDEFLATE_SOURCE}/lib/x86/cpu_features.c")
  target_include_directories(libdeflate_dep SYSTEM PUBLIC "${ORVELIN_LIBDEFLATE_SOURCE}")
  target_compile_options(libdeflate_dep PRIVATE -O2 -fvisibility=hidden -w)
  target_compile_definitions(libdeflate_dep PRIVATE _ANSI_SOURCE)
else()
  find_package(ZLIB REQUIRED)
  add_library(zlib_dep INTERFACE)
  target_link_libraries(zlib_dep INTERFACE ZLIB::ZLIB)

  find_package(PkgConfig REQUIRED)
  pkg_check_modules(PCRE2_16 REQUIRED IMPORTED_TARGET libpcre2-16)
  add_library(pcre2_dep INTERFACE)
  target_link_libraries(pcre2_dep INTERFACE PkgConfig::PCRE2_16)

  pkg_check_modules(LIBDEFLATE REQUIRED IMPORTED_TARGET libdeflate)
  add_library(libdeflate_dep INTERFACE)
  target_link_libraries(libdeflate_dep INTERFACE PkgConfig::LIBDEFLATE)
endif()

if(ORVELIN_BUILD_TESTS)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest "${CMAKE_BINARY_DIR}/_deps/googletest" EXCLUDE_FROM_ALL SYSTEM)
endif()
