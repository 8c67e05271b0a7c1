# Run during `cmake --install` of the Windows build, after the program's files
# are in place and before the setup is built. Signs the installed NUV_Talv.exe
# and NUV_Talv_FileDialog.exe when a certificate is given, and leaves
# NUV_SIGN_COMMAND for installer.cmake, which has makensis sign the
# uninstaller and the setup the same way.
#
# The certificate: NUV_SIGN_PFX and NUV_SIGN_PASSWORD, optionally
# NUV_SIGN_TIMESTAMP (a time-stamp server's URL), each a cache variable of
# the build or else a variable of its environment. Set before it runs:
# NUV_SOURCE_DIR and the three cache values.
foreach(name NUV_SIGN_PFX NUV_SIGN_PASSWORD NUV_SIGN_TIMESTAMP)
  if("${${name}}" STREQUAL "" AND DEFINED ENV{${name}})
    set(${name} "$ENV{${name}}")
  endif()
  # sign.sh and the programs makensis runs read them from the environment:
  # the password never appears on a command line.
  set(ENV{${name}} "${${name}}")
endforeach()

set(NUV_SIGN_COMMAND "")
if(NUV_SIGN_PFX STREQUAL "")
  message(STATUS "Not signed: no certificate given (NUV_SIGN_PFX, NUV_SIGN_PASSWORD)")
  return()
endif()
if(NOT EXISTS "${NUV_SIGN_PFX}")
  message(FATAL_ERROR "signing: no certificate at ${NUV_SIGN_PFX}")
endif()
find_program(NUV_OSSLSIGNCODE osslsigncode)
if(NOT NUV_OSSLSIGNCODE)
  message(FATAL_ERROR "signing: osslsigncode not found (Debian package osslsigncode)")
endif()
set(NUV_SIGN_COMMAND "bash \"${NUV_SOURCE_DIR}/installer/sign.sh\"")
message(STATUS "Signing with ${NUV_SIGN_PFX}")
foreach(shipped NUV_Talv.exe NUV_Talv_FileDialog.exe)
  execute_process(COMMAND bash "${NUV_SOURCE_DIR}/installer/sign.sh" "${CMAKE_INSTALL_PREFIX}/${shipped}"
                  RESULT_VARIABLE signed)
  if(NOT signed EQUAL 0)
    message(FATAL_ERROR "signing ${shipped} failed (${signed})")
  endif()
endforeach()
