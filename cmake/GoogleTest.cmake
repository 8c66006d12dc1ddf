# GoogleTest built from the source Debian's googletest package installs, so the
# same suite builds natively, under sanitizers and for the Windows targets.
set(ZANDREL_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest source tree")
if(NOT TARGET gtest)
  if(EXISTS ${ZANDREL_GTEST_SOURCE}/CMakeLists.txt)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
    add_subdirectory(${ZANDREL_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  else()
    find_package(GTest REQUIRED)
  endif()
endif()
include(GoogleTest)

# One test binary a suite; natively each case is its own CTest test, under an
# emulator the binary runs once (each start of Wine costs a moment).
function(zandrel_add_gtest target)
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${target} COMMAND ${target} --gtest_brief=1 WORKING_DIRECTORY ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
  else()
    gtest_discover_tests(${target} WORKING_DIRECTORY ${CMAKE_RUNTIME_OUTPUT_DIRECTORY} DISCOVERY_TIMEOUT 60)
  endif()
endfunction()
