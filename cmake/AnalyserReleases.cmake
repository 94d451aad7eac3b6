# The analysers' releases the sources have been checked clean with. A finding
# of one of these, or of any release in CI, fails its test. A newer release
# brings checks of its own, which are no fault of a user's checkout: there a
# finding is reported as a skip, with the finding in the test's output, until
# CI has been run with that release and the project mended or the list extended.
set(CHECKED_ANALYSER_RELEASES "clang-tidy 14" "clang-tidy 19" "clang-tidy 21" "cppcheck 2.10" "cppcheck 2.17"
  "cppcheck 2.22")
option(CURVE_VIEWER_ANALYSERS_GATE "Fail on every analyser finding, whatever the analyser's release" OFF)
# Makes the analyser's findings skip its tests unless its release is a checked one.
function(gate_on_checked_release tool executable version_pattern finding_pattern)
  execute_process(COMMAND ${executable} --version OUTPUT_VARIABLE version_text ERROR_QUIET)
  string(REGEX MATCH "${version_pattern}" ignored "${version_text}")
  set(release "${tool} ${CMAKE_MATCH_1}")
  if(NOT CURVE_VIEWER_ANALYSERS_GATE AND NOT release IN_LIST CHECKED_ANALYSER_RELEASES)
    message(STATUS "${release} is newer than the releases the sources were checked with: its findings count as skips")
    set_tests_properties(${ARGN} PROPERTIES SKIP_REGULAR_EXPRESSION "${finding_pattern}")
  endif()
endfunction()
