# The objects compiled for AVX2 or AVX-512 may define nothing global but their
# kernel table. A weak definition there (an inline function or a template from
# a shared header) could be the copy the linker keeps for every caller, which
# then faults on processors without those instructions: no test machine with
# them would notice.
# -DNM=... -DOBJECTS=a|b (the two objects)
string(REPLACE "|" ";" objects "${OBJECTS}")
list(LENGTH objects count)
if(NOT count EQUAL 2)
  message(FATAL_ERROR "expected the AVX2 and the AVX-512 object, got: ${OBJECTS}")
endif()
foreach(object IN LISTS objects)
  execute_process(COMMAND ${NM} -C --defined-only ${object} OUTPUT_VARIABLE symbols RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "${NM} failed on ${object}")
  endif()
  string(REGEX MATCHALL "[^\n]+" lines "${symbols}")
  foreach(line IN LISTS lines)
    # Sanitizers add their own global bookkeeping symbols, and unwinding tables a
    # data reference to the C++ personality routine: neither is code.
    if(line MATCHES " [TDRBCGSVWiuvw] " AND NOT line MATCHES " [DR] zandrel::kAvx(2|512)Kernels$"
       AND NOT line MATCHES "(__odr_asan|__asan|__tsan|__ubsan| DW\\.ref\\.__gxx_personality_v0$)")
      message(FATAL_ERROR "${object} defines a global symbol: ${line}")
    endif()
  endforeach()
endforeach()
