# Writes the version files of the setup program from the payload's application:
#   cmake -DINSPECT=payload-inspect -DAPPLICATION=Orvelin.exe [-DSTATED=a.b.c.d]
#         -DOUTPUT=folder -DMANIFEST=Setup_Orvelin.manifest.in -P write-version.cmake
# RESOURCE_3 (the version text), version.h (for the version record) and the manifest,
# each rewritten only when it changes, so that nothing is relinked otherwise.
execute_process(COMMAND "${INSPECT}" version "${APPLICATION}" ${STATED}
  OUTPUT_VARIABLE ORVELIN_VERSION ERROR_VARIABLE error RESULT_VARIABLE result
  OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${error}")
endif()
string(REPLACE "." ", " ORVELIN_VERSION_NUMBERS "${ORVELIN_VERSION}")
file(CONFIGURE OUTPUT "${OUTPUT}/RESOURCE_3" CONTENT "${ORVELIN_VERSION}")
file(CONFIGURE OUTPUT "${OUTPUT}/version.h" CONTENT
"// The version of the payload's application, which the setup program carries.
#define ORVELIN_VERSION_NUMBERS ${ORVELIN_VERSION_NUMBERS}
#define ORVELIN_VERSION_TEXT \"${ORVELIN_VERSION}\"
")
configure_file("${MANIFEST}" "${OUTPUT}/Setup_Orvelin.manifest" @ONLY)
