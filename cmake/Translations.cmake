# The words a user reads, translated from the gettext catalogues in po/: its
# languages, one catalogue each, and msgfmt, which writes them into the files
# that carry them.
set(TRANSLATIONS_DIR ${PROJECT_SOURCE_DIR}/po)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${TRANSLATIONS_DIR}/LINGUAS)
file(STRINGS ${TRANSLATIONS_DIR}/LINGUAS linguas_lines REGEX "^[^#]")
string(REGEX MATCHALL "[^ \t;]+" TRANSLATION_LANGUAGES "${linguas_lines}")
set(TRANSLATION_CATALOGUES ${TRANSLATION_LANGUAGES})
list(TRANSFORM TRANSLATION_CATALOGUES REPLACE "(.+)" "${TRANSLATIONS_DIR}/\\1.po")
find_program(MSGFMT_EXECUTABLE msgfmt REQUIRED)

# Writes the file OUTPUT from the TEMPLATE with its translations in every
# language of the catalogues, as msgfmt does for the KIND of file it is:
# desktop for a menu entry, xml for an AppStream file.
function(add_translated_file kind template output)
  add_custom_command(OUTPUT ${output}
    COMMAND ${MSGFMT_EXECUTABLE} --check --${kind} --template=${template} -d ${TRANSLATIONS_DIR} -o ${output}
    DEPENDS ${template} ${TRANSLATION_CATALOGUES} ${TRANSLATIONS_DIR}/LINGUAS
    COMMENT "Translating ${output}" VERBATIM)
endfunction()
