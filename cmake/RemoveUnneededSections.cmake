# Run by CPack on the staged tree before it packs it: strip leaves the
# compiler's .comment and the .note sections in the program, which Debian's
# own packaging tools remove.
file(GLOB_RECURSE STAGED_PROGRAMS "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/bin/*")
foreach(program IN LISTS STAGED_PROGRAMS)
  execute_process(COMMAND ${CPACK_OBJCOPY} --remove-section=.comment --remove-section=.note ${program}
    COMMAND_ERROR_IS_FATAL ANY)
endforeach()
