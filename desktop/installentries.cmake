# Run by `cmake --install` and by CPack: writes the two menu entries with the paths the programs
# get under the prefix of this install, whatever prefix that is, and installs them.
# Set before: DESKTOP_SOURCE, DESKTOP_WORK, BINDIR, LAUNCHER (relative to the prefix).

# An argument of an entry's Exec line: quoted, with the characters the quotes reserve escaped,
# then backslashes doubled as in every string value of an entry.
function(exec_argument path out)
    string(REGEX REPLACE "([\"`$\\\\])" "\\\\\\1" quoted "${path}")
    string(REPLACE "\\" "\\\\" quoted "${quoted}")
    set(${out} "\"${quoted}\"" PARENT_SCOPE)
endfunction()

function(string_value path out)
    string(REPLACE "\\" "\\\\" value "${path}")
    set(${out} "${value}" PARENT_SCOPE)
endfunction()

string_value("${CMAKE_INSTALL_PREFIX}/${BINDIR}/bitvik" BITVIK)
string_value("${CMAKE_INSTALL_PREFIX}/${BINDIR}/tralloma" TRALLOMA)
exec_argument("${CMAKE_INSTALL_PREFIX}/${LAUNCHER}" LAUNCH)
exec_argument("${CMAKE_INSTALL_PREFIX}/${BINDIR}/bitvik" BITVIK_ARG)
exec_argument("${CMAKE_INSTALL_PREFIX}/${BINDIR}/tralloma" TRALLOMA_ARG)

# A folder of its own for each destination, so that installs running side by side do not write
# each other's entries.
string(MD5 destination "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
set(work "${DESKTOP_WORK}/${destination}")
foreach(entry bitvik tralloma)
    configure_file("${DESKTOP_SOURCE}/${entry}.desktop.in" "${work}/${entry}.desktop" @ONLY)
endforeach()
file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/${DATADIR}/applications" TYPE FILE
     FILES "${work}/bitvik.desktop" "${work}/tralloma.desktop")
