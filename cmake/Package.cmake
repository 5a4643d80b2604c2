# The package for Windows users, made by tools/package (CPack's ZIP generator):
# ZarvFMgr-<version>-win64.zip holding the program and README.txt, the page for
# Windows users.

# The page is README.md's section for Windows users, the text between the two
# markers, under a title that names the version: one text for both. The
# headings lose their Markdown marks, and the lines end as Windows ends them.
set(ZARV_README ${PROJECT_SOURCE_DIR}/README.md)
set(ZARV_PAGE_BEGIN "<!-- windows-page -->\n")
set(ZARV_PAGE_END "<!-- /windows-page -->")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${ZARV_README})
file(READ ${ZARV_README} readme)
string(FIND "${readme}" "${ZARV_PAGE_BEGIN}" page_begin)
string(FIND "${readme}" "${ZARV_PAGE_END}" page_end)
if(page_begin EQUAL -1 OR page_end LESS page_begin)
  message(FATAL_ERROR "README.md lacks the section for Windows users between "
                      "'<!-- windows-page -->' and '<!-- /windows-page -->'")
endif()
string(LENGTH "${ZARV_PAGE_BEGIN}" marker_length)
math(EXPR page_begin "${page_begin} + ${marker_length}")
math(EXPR page_length "${page_end} - ${page_begin}")
string(SUBSTRING "${readme}" ${page_begin} ${page_length} page)
string(REGEX REPLACE "(^|\n)#+ " "\\1" page "${page}")
set(ZARV_PAGE ${PROJECT_BINARY_DIR}/generated/README.txt)
file(CONFIGURE OUTPUT ${ZARV_PAGE}
  CONTENT "TAVELMIR Multimedia Filter Manager @PROJECT_VERSION@ for 64-bit Windows\n\n${page}"
  @ONLY NEWLINE_STYLE CRLF)

install(TARGETS ZarvFMgr RUNTIME DESTINATION .)
install(FILES ${ZARV_PAGE} DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME ZarvFMgr)
set(CPACK_PACKAGE_VENDOR TAVELMIR)
set(CPACK_PACKAGE_FILE_NAME ZarvFMgr-${PROJECT_VERSION}-win64)
# The two files at the top of the zip: Windows's "Extract All" makes the folder.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
include(CPack)
