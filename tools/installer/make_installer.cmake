# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the self-extracting installer OUTPUT from the shell stub STUB and the
# program PAYLOAD, then signs it with SIGN_TOOL and the secret key file
# SIGNING_KEY, writing OUTPUT.sig beside it.
#   cmake -DSTUB=... -DPAYLOAD=... -DOUTPUT=... -DSIGN_TOOL=... -DSIGNING_KEY=... -P make_installer.cmake
foreach(var STUB PAYLOAD OUTPUT SIGN_TOOL)
  if(NOT DEFINED ${var} OR "${${var}}" STREQUAL "")
    message(FATAL_ERROR "make_installer: ${var} is not set")
  endif()
endforeach()
if(NOT DEFINED SIGNING_KEY OR "${SIGNING_KEY}" STREQUAL "" OR NOT EXISTS "${SIGNING_KEY}")
  message(FATAL_ERROR "make_installer: no secret key to sign with; configure with "
                      "VELMORA_UPDATE_SECRET_KEY set to the key file of VELMORA_UPDATE_KEY")
endif()

file(SIZE "${PAYLOAD}" PAYLOAD_SIZE)
file(SHA256 "${PAYLOAD}" PAYLOAD_SHA256)
configure_file("${STUB}" "${OUTPUT}.stub" @ONLY NEWLINE_STYLE UNIX)

# Written under a temporary name so that a failed run leaves no installer.
file(REMOVE "${OUTPUT}" "${OUTPUT}.sig")
execute_process(COMMAND cat "${OUTPUT}.stub" "${PAYLOAD}" OUTPUT_FILE "${OUTPUT}.part" RESULT_VARIABLE joined)
file(REMOVE "${OUTPUT}.stub")
if(NOT joined EQUAL 0)
  file(REMOVE "${OUTPUT}.part")
  message(FATAL_ERROR "make_installer: cannot write ${OUTPUT}")
endif()
file(CHMOD "${OUTPUT}.part" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
     GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
file(RENAME "${OUTPUT}.part" "${OUTPUT}")

execute_process(COMMAND "${SIGN_TOOL}" sign "${SIGNING_KEY}" "${OUTPUT}" RESULT_VARIABLE signed)
if(NOT signed EQUAL 0)
  file(REMOVE "${OUTPUT}")
  message(FATAL_ERROR "make_installer: cannot sign ${OUTPUT}")
endif()
