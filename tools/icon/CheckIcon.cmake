# Draws the icon and checks it against the .ico kept in the tree, so the picture in
# MakeIcon.cpp and the file the installer is built with cannot drift apart.
execute_process(COMMAND ${MAKE_ICON} ${OUT} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "make_icon failed")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUT} ${EXPECTED} RESULT_VARIABLE differs)
if(differs)
  message(FATAL_ERROR "${EXPECTED} is not what make_icon draws; run: make_icon ${EXPECTED}")
endif()
