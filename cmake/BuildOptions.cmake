# Options every target of the project links: exact floating point, warnings,
# and on 32-bit x86 the SSE2 unit instead of x87 for float and double.
add_library(zandrel_build_options INTERFACE)
add_library(zandrel::build_options ALIAS zandrel_build_options)

target_compile_options(zandrel_build_options INTERFACE
  -ffp-contract=off
  -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion -Wcast-align
  -Wnon-virtual-dtor -Wold-style-cast -Woverloaded-virtual -Wdouble-promotion)

if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(i.86|x86)$")
  target_compile_options(zandrel_build_options INTERFACE -msse2 -mfpmath=sse)
endif()

if(ZANDREL_SANITIZE)
  target_compile_options(zandrel_build_options INTERFACE
    -fsanitize=${ZANDREL_SANITIZE} -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_link_options(zandrel_build_options INTERFACE -fsanitize=${ZANDREL_SANITIZE})
endif()

# Windows binaries carry their C++ runtime: a host refuses a DLL that imports MinGW's.
if(MINGW)
  target_link_options(zandrel_build_options INTERFACE -static -static-libgcc -static-libstdc++)
endif()
