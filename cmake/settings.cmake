# The program's compiled-in settings. There is no settings file: whoever ships the program sets
# these at configure time, and each is checked here, so a wrong value stops the configure with a
# clear message instead of shipping a program that cannot work.

set(MORAVENT_FTP_HOST "ftp.vellomarch.example" CACHE STRING "FTP server the program downloads from")
set(MORAVENT_FTP_PORT 21 CACHE STRING "FTP control port of that server")
set(MORAVENT_SITE_URL "https://www.vellomarch.example/" CACHE STRING
    "Product web site that the link label opens")
set(MORAVENT_INSTALLER_SHA256 "" CACHE STRING
    "SHA-256 (64 hex digits) the downloaded installer must have before it gets its name; empty: no check")
set(MORAVENT_SEGMENTS_PER_PASS 1 CACHE STRING
    "New segments each 2-second scheduler pass may start (1 to 15)")
# Its password is never a setting: the build reads it from the environment variable
# MORAVENT_SIGNING_PASSWORD.
set(MORAVENT_SIGNING_CERT "" CACHE FILEPATH
    "PKCS#12 file (.pfx) with the code-signing certificate and key; empty: the program is not signed")
set(MORAVENT_TIMESTAMP_URL "" CACHE STRING
    "RFC 3161 time-stamp server for the signature; empty: no time stamp")

# The values become C string literals: a quote or backslash would end them early.
function(moravent_check_literal name value)
  if(value MATCHES "[\"\\\\]")
    message(FATAL_ERROR "${name} must not hold a quote or a backslash: '${value}'")
  endif()
endfunction()

# Host, port, site and expected hash of one build of the program; stops the configure with a
# message naming the setting when one cannot work.
function(moravent_check_settings host port url sha256)
  if(NOT host MATCHES "^[A-Za-z0-9.-]+$")
    message(FATAL_ERROR
      "MORAVENT_FTP_HOST must be a host name or an IPv4 address (letters, digits, '.', '-'): '${host}'")
  endif()
  if(NOT port MATCHES "^[0-9]+$" OR port LESS 1 OR port GREATER 65535)
    message(FATAL_ERROR "MORAVENT_FTP_PORT must be a port number from 1 to 65535: '${port}'")
  endif()
  if(url STREQUAL "")
    message(FATAL_ERROR "MORAVENT_SITE_URL must name the product web site")
  endif()
  moravent_check_literal(MORAVENT_SITE_URL "${url}")
  string(LENGTH "${sha256}" length)
  if(NOT sha256 STREQUAL "" AND (NOT length EQUAL 64 OR NOT sha256 MATCHES "^[0-9A-Fa-f]+$"))
    message(FATAL_ERROR
      "MORAVENT_INSTALLER_SHA256 must be empty (no check) or 64 hexadecimal digits, as "
      "sha256sum prints them; it holds ${length} characters: '${sha256}'")
  endif()
endfunction()

moravent_check_settings("${MORAVENT_FTP_HOST}" "${MORAVENT_FTP_PORT}" "${MORAVENT_SITE_URL}"
                        "${MORAVENT_INSTALLER_SHA256}")
if(NOT MORAVENT_SEGMENTS_PER_PASS MATCHES "^[0-9]+$" OR MORAVENT_SEGMENTS_PER_PASS LESS 1 OR
   MORAVENT_SEGMENTS_PER_PASS GREATER 15)
  message(FATAL_ERROR
    "MORAVENT_SEGMENTS_PER_PASS must be a whole number from 1 to 15: '${MORAVENT_SEGMENTS_PER_PASS}'")
endif()

if(MORAVENT_SIGNING_CERT)
  if(NOT EXISTS "${MORAVENT_SIGNING_CERT}" OR IS_DIRECTORY "${MORAVENT_SIGNING_CERT}")
    message(FATAL_ERROR "MORAVENT_SIGNING_CERT names no file: '${MORAVENT_SIGNING_CERT}'")
  endif()
  find_program(MORAVENT_OSSLSIGNCODE osslsigncode)
  if(NOT MORAVENT_OSSLSIGNCODE)
    message(FATAL_ERROR
      "MORAVENT_SIGNING_CERT: the program is signed with osslsigncode, which is not installed "
      "(apt-get install osslsigncode)")
  endif()
  message(STATUS "The program is signed with ${MORAVENT_SIGNING_CERT}; its password must be in "
                 "MORAVENT_SIGNING_PASSWORD when it is built")
endif()
if(NOT MORAVENT_TIMESTAMP_URL STREQUAL "")
  if(NOT MORAVENT_TIMESTAMP_URL MATCHES "^https?://[^ \"]+$")
    message(FATAL_ERROR
      "MORAVENT_TIMESTAMP_URL must be an http:// or https:// address: '${MORAVENT_TIMESTAMP_URL}'")
  endif()
  if(NOT MORAVENT_SIGNING_CERT)
    message(FATAL_ERROR "MORAVENT_TIMESTAMP_URL time-stamps a signature: set MORAVENT_SIGNING_CERT too")
  endif()
endif()
