# Writes the version source: the project version and the commit of the source
# tree when it is a git checkout. Run at every build; the file is rewritten
# only when its content changes, so an unchanged commit rebuilds nothing.
# Inputs: SOURCE_DIR, TEMPLATE, OUTPUT, PARVION_VERSION.
set(PARVION_COMMIT "")
find_package(Git QUIET)
if(GIT_FOUND AND EXISTS "${SOURCE_DIR}/.git")
  execute_process(COMMAND "${GIT_EXECUTABLE}" -C "${SOURCE_DIR}" rev-parse --short=12 HEAD
    OUTPUT_VARIABLE commit OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET RESULT_VARIABLE rc)
  if(rc EQUAL 0 AND commit)
    set(PARVION_COMMIT "${commit}")
    execute_process(COMMAND "${GIT_EXECUTABLE}" -C "${SOURCE_DIR}" status --porcelain
      --untracked-files=no OUTPUT_VARIABLE changes ERROR_QUIET RESULT_VARIABLE rc)
    if(rc EQUAL 0 AND NOT changes STREQUAL "")
      string(APPEND PARVION_COMMIT "-dirty")
    endif()
  endif()
endif()
configure_file("${TEMPLATE}" "${OUTPUT}" @ONLY)
