# Cross-builds for another Debian architecture with Debian's cross compilers
# (g++-aarch64-linux-gnu, g++-arm-linux-gnueabihf), against a sysroot of that
# architecture's Debian packages (tools/make-sysroot): -DCROSS_DEBIAN_ARCH=arm64
# -DCROSS_TRIPLET=aarch64-linux-gnu -DCROSS_SYSROOT=DIR, for instance. The C
# and C++ runtimes are the cross compiler's own; headers and libraries of
# everything else come only from the sysroot.
set(CMAKE_SYSTEM_NAME Linux)
string(REGEX MATCH "^[^-]+" CMAKE_SYSTEM_PROCESSOR "${CROSS_TRIPLET}")
set(CMAKE_C_COMPILER ${CROSS_TRIPLET}-gcc)
set(CMAKE_CXX_COMPILER ${CROSS_TRIPLET}-g++)
set(CMAKE_LIBRARY_ARCHITECTURE ${CROSS_TRIPLET})
# try_compile reads this file again, in a project of its own.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES CROSS_TRIPLET CROSS_SYSROOT)

set(CMAKE_FIND_ROOT_PATH ${CROSS_SYSROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(ENV{PKG_CONFIG_LIBDIR} ${CROSS_SYSROOT}/usr/lib/${CROSS_TRIPLET}/pkgconfig:${CROSS_SYSROOT}/usr/share/pkgconfig)
set(ENV{PKG_CONFIG_SYSROOT_DIR} ${CROSS_SYSROOT})

# The program runs against its own system's libraries, which stand where the
# sysroot's do, so it gets no run path into the sysroot, whose folder would
# make its build differ from one folder to the next.
set(CMAKE_SKIP_RPATH ON CACHE BOOL "No run path into the sysroot")
# The linker finds the libraries that GLUT and GL need themselves in the sysroot.
set(CMAKE_EXE_LINKER_FLAGS_INIT
  "-Wl,-rpath-link,${CROSS_SYSROOT}/lib/${CROSS_TRIPLET}:${CROSS_SYSROOT}/usr/lib/${CROSS_TRIPLET}")
