# The TLS settings of one database's connection, made ready for db/connection_settings.h.in:
# BRELO_<DB>_TLS_ENABLED (true or false, for C++) and the authority's path with forward
# slashes. Refuses TLS off for a server that is not on this machine: its traffic, the accounts
# table included, would cross the network readable.
function(brelo_check_tls_off host tls)
  if(NOT tls AND NOT host MATCHES "^(127\\.[0-9]+\\.[0-9]+\\.[0-9]+|localhost|::1|)$")
    message(FATAL_ERROR "TLS can be turned off only for a server on this machine (127.0.0.1, localhost, ::1), not for ${host}")
  endif()
endfunction()

macro(brelo_connection_tls db)
  brelo_check_tls_off("${BRELO_${db}_HOST}" "${BRELO_${db}_TLS}")
  if(BRELO_${db}_TLS)
    set(BRELO_${db}_TLS_ENABLED true)
  else()
    set(BRELO_${db}_TLS_ENABLED false)
  endif()
  file(TO_CMAKE_PATH "${BRELO_${db}_TLS_CA}" BRELO_${db}_TLS_CA_PATH)
endmacro()

# Script mode, for the test of the check: cmake -DHOST=... -DTLS=... -P ConnectionTls.cmake
if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  brelo_check_tls_off("${HOST}" "${TLS}")
endif()
