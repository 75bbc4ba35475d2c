# Signs a linked program with Authenticode (SHA-256), in place:
#
#   cmake -DPROGRAM=FILE.exe -DTOOL=osslsigncode -DCERT=FILE.pfx -DDESCRIPTION=TEXT -DURL=URL
#         [-DTIMESTAMP_URL=URL] -P sign_program.cmake
#
# The certificate's password is read from the environment variable MORAVENT_SIGNING_PASSWORD at
# build time and handed to the tool through a pipe, so it is in no cache, build file, command
# line or file. A program that could not be signed is deleted: no unsigned copy stays to be
# shipped by mistake, and the next build links and signs it again.

function(refuse message)
  file(REMOVE "${PROGRAM}" "${PROGRAM}.signing")
  message(FATAL_ERROR "${message}")
endfunction()

if(NOT DEFINED ENV{MORAVENT_SIGNING_PASSWORD})
  refuse("MORAVENT_SIGNING_PASSWORD is not set: it must hold the password of the signing "
         "certificate ${CERT} (MORAVENT_SIGNING_CERT) while the program is built")
endif()
if(NOT EXISTS "${CERT}")
  refuse("MORAVENT_SIGNING_CERT names no file: '${CERT}'")
endif()

set(timestamp)
if(TIMESTAMP_URL)
  set(timestamp -ts "${TIMESTAMP_URL}")
endif()
execute_process(
  COMMAND sh -c "printf %s \"$MORAVENT_SIGNING_PASSWORD\""
  COMMAND "${TOOL}" sign -pkcs12 "${CERT}" -readpass /dev/stdin -h sha256 -n "${DESCRIPTION}"
          -i "${URL}" ${timestamp} -in "${PROGRAM}" -out "${PROGRAM}.signing"
  RESULT_VARIABLE result
  OUTPUT_VARIABLE output
  ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  if(output MATCHES "Wrong password|mac verify failure")
    refuse("MORAVENT_SIGNING_PASSWORD does not open the signing certificate ${CERT} "
           "(MORAVENT_SIGNING_CERT)")
  endif()
  refuse("could not sign ${PROGRAM} with ${CERT}:\n${output}")
endif()
# The tool writes a plain file; the program stays as runnable as the linker made it.
file(CHMOD "${PROGRAM}.signing" FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
     GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
file(RENAME "${PROGRAM}.signing" "${PROGRAM}")
