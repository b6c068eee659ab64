# make_manual on a small manual: each chapter on a page of its own, with its
# pictures; a picture not taken yet is left out without failing the build.
#   cmake -DMAKE_MANUAL=... -DIMAGES=... -DWORK=... -P manual-layout-test.cmake
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/images")
file(COPY "${IMAGES}/main-window.png" DESTINATION "${WORK}/images")
file(WRITE "${WORK}/manual.md" "# Title\n\nOpening words.\n\n# One\n\n![wide](images/main-window.png)\n\n"
                               "Text after the picture.\n\n# Two\n\n![later](images/not-taken-yet.png)\n\nEnd.\n")
execute_process(COMMAND "${MAKE_MANUAL}" "${WORK}/manual.md" "${WORK}/images" "${WORK}/manual.pdf"
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "make_manual failed: ${status}")
endif()
file(STRINGS "${WORK}/manual.pdf" pages REGEX "^/Type /Page$")
list(LENGTH pages count)
if(NOT count EQUAL 3)
  message(FATAL_ERROR "expected 3 pages, one per chapter; the PDF has ${count}")
endif()
