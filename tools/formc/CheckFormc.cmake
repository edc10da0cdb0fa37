# Compiles the layout twice and checks both outputs against the stream kept in the tree:
# the build must give the same bytes every time.
foreach(run 1 2)
  execute_process(COMMAND ${FORMC} ${SOURCE} ${OUT}.${run} RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "formc failed on ${SOURCE}")
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUT}.${run} ${EXPECTED}
                  RESULT_VARIABLE differs)
  if(differs)
    message(FATAL_ERROR "${OUT}.${run} differs from ${EXPECTED}")
  endif()
endforeach()
