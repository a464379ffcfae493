# ctest entry "oemtool": the dump of the built KESTO.OEM lists its values and
# exits 0; a file that is no branding file exits 2 with a one-line reason.
# Called with -DEMULATOR=, -DTOOL=, -DBRAND= (Windows paths), -DNOT_A_BRAND=.
execute_process(COMMAND ${EMULATOR} ${TOOL} dump ${BRAND} RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT code EQUAL 0 OR NOT out MATCHES "//Settings/ButtonWidth int [0-9]+\n" OR NOT out MATCHES "//Graphics/Splash data [0-9]+ bytes")
  message(FATAL_ERROR "dump of the default brand: exit ${code}\n${out}${err}")
endif()
execute_process(COMMAND ${EMULATOR} ${TOOL} dump ${NOT_A_BRAND} RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT code EQUAL 2 OR NOT err MATCHES "^oemtool: not a valid branding file: [^\n]*\n$" OR NOT out STREQUAL "")
  message(FATAL_ERROR "dump of a text file: exit ${code}\n${out}${err}")
endif()
