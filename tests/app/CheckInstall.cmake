# Installs the build BUILD into the fresh prefix PREFIX and checks that it holds the program, its
# help collection where the program looks for it (SHARE_FROM_BIN from the program's folder), the
# desktop entry (valid, starting the installed program, with the installed icon) and the icon.
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${PREFIX} RESULT_VARIABLE failed OUTPUT_QUIET)
if(failed)
  message(FATAL_ERROR "cmake --install failed")
endif()

set(program ${PREFIX}/bin/quorvans)
set(entry ${PREFIX}/share/applications/quorvans.desktop)
set(icon ${PREFIX}/share/icons/hicolor/scalable/apps/quorvans.svg)
foreach(file ${program} ${PREFIX}/bin/${SHARE_FROM_BIN}/Quorvans.qhc ${PREFIX}/bin/${SHARE_FROM_BIN}/Quorvans.qch
        ${entry} ${icon})
  if(NOT EXISTS ${file})
    message(FATAL_ERROR "the install lacks ${file}")
  endif()
endforeach()
file(GET_RUNTIME_DEPENDENCIES EXECUTABLES ${program} UNRESOLVED_DEPENDENCIES_VAR missing)
if(missing)
  message(FATAL_ERROR "${program} cannot find the libraries ${missing}")
endif()

execute_process(COMMAND desktop-file-validate ${entry} RESULT_VARIABLE invalid OUTPUT_VARIABLE report ERROR_VARIABLE report)
if(invalid OR report MATCHES "error")
  message(FATAL_ERROR "the desktop entry is not valid: ${report}")
endif()
file(READ ${entry} text)
if(NOT text MATCHES "\nExec=quorvans[ \n]" OR NOT text MATCHES "\nIcon=quorvans\n")
  message(FATAL_ERROR "the desktop entry does not start the installed program with its icon")
endif()
file(REMOVE_RECURSE ${PREFIX})
