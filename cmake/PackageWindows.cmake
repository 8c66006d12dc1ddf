# Builds the release archive of the Windows plug-in: the 32-bit and the 64-bit
# Zandrel.dll, each checked to be the architecture its folder names, with the
# README and its pictures.
# Run as: cmake -DWIN32_DLL=... -DWIN64_DLL=... -DREADME=... -DDOCS=... -DOUTPUT=....zip -P PackageWindows.cmake
foreach(var WIN32_DLL WIN64_DLL README DOCS OUTPUT)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "PackageWindows: ${var} is not set")
  endif()
endforeach()

# The machine field of the PE header: 0x014c for x86, 0x8664 for x86-64.
function(check_machine dll expected)
  if(NOT EXISTS "${dll}")
    message(FATAL_ERROR "${dll} is missing: build the win32 and win64 presets first")
  endif()
  file(READ "${dll}" pe_offset OFFSET 60 LIMIT 4 HEX)
  # e_lfanew, little-endian: reverse the four bytes.
  string(REGEX REPLACE "(..)(..)(..)(..)" "\\4\\3\\2\\1" pe_offset "${pe_offset}")
  math(EXPR header "0x${pe_offset} + 4")
  file(READ "${dll}" machine OFFSET ${header} LIMIT 2 HEX)
  if(NOT machine STREQUAL expected)
    message(FATAL_ERROR "${dll}: PE machine bytes ${machine}, expected ${expected}")
  endif()
endfunction()
check_machine("${WIN32_DLL}" "4c01")
check_machine("${WIN64_DLL}" "6486")

get_filename_component(name "${OUTPUT}" NAME_WLE)
get_filename_component(folder "${OUTPUT}" DIRECTORY)
set(stage "${folder}/${name}")
file(REMOVE_RECURSE "${stage}")
file(COPY "${WIN32_DLL}" DESTINATION "${stage}/32-bit")
file(COPY "${WIN64_DLL}" DESTINATION "${stage}/64-bit")
file(COPY "${README}" "${DOCS}" DESTINATION "${stage}")
file(REMOVE "${OUTPUT}")
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf "${OUTPUT}" --format=zip "${name}"
                WORKING_DIRECTORY "${folder}" RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "could not write ${OUTPUT}")
endif()
file(REMOVE_RECURSE "${stage}")
message(STATUS "Windows release archive: ${OUTPUT}")
