# Copies the operator's manual and its screenshots/ folder (when present)
# into one folder, so that the Help menu of a program in that folder finds
# the manual with its pictures.
#   cmake -DMANUAL_DIR=<docs/manual> -DDESTINATION=<folder> -P copy_manual.cmake
set(manual ${MANUAL_DIR}/PENDRA_VISUALIZER_HELP.html)
if(NOT EXISTS ${manual})
  return()
endif()
file(COPY ${manual} DESTINATION ${DESTINATION})
if(IS_DIRECTORY ${MANUAL_DIR}/screenshots)
  file(COPY ${MANUAL_DIR}/screenshots DESTINATION ${DESTINATION} FILES_MATCHING PATTERN "*.png")
endif()
