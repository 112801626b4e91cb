# Facts the programs and libraries take from the build: the project's one
# version number and where an installed copy keeps its files. They reach the
# code through one generated header, zr464_build.h (target zr_buildinfo).
include(GNUInstallDirs)

# The private folder of the driver libraries, relative to the installation
# prefix: lib/<multiarch>/zr464 (lib/zr464 where the compiler names no
# multiarch directory).
if(CMAKE_LIBRARY_ARCHITECTURE)
  set(ZR_INSTALL_LIBDIR lib/${CMAKE_LIBRARY_ARCHITECTURE}/zr464)
else()
  set(ZR_INSTALL_LIBDIR lib/zr464)
endif()
# The same folder seen from the programs' folder (bin): ../lib/<multiarch>/zr464.
file(RELATIVE_PATH ZR_LIBDIR_FROM_BINDIR /prefix/${CMAKE_INSTALL_BINDIR} /prefix/${ZR_INSTALL_LIBDIR})
# The system-wide driver configuration of an installed copy.
set(ZR_SYSCONFDIR /etc/zr464)

set(ZR_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
configure_file(${CMAKE_CURRENT_LIST_DIR}/zr464_build.h.in ${ZR_GENERATED_DIR}/zr464_build.h @ONLY)
add_library(zr_buildinfo INTERFACE)
target_include_directories(zr_buildinfo INTERFACE ${ZR_GENERATED_DIR})
