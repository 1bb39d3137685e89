# Runs the simulator headless: a key script drives the demonstration, the
# screen is printed when the script runs out, and the PNG is written.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
file(WRITE ${WORK}/keys.txt "# open the third item\nDown Down Enter\n")
execute_process(COMMAND ${FIELDBOOK} --keys keys.txt --png lcd.png --clock "2026-12-11 09:00:00"
                WORKING_DIRECTORY ${WORK} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "fieldbook failed (${rc}): ${err}")
endif()
if(NOT out MATCHES "waiting for a key" OR NOT out MATCHES "观测时间" OR NOT out MATCHES "演示版")
  message(FATAL_ERROR "unexpected screen:\n${out}")
endif()
file(READ ${WORK}/lcd.png head LIMIT 8 HEX)
if(NOT head STREQUAL "89504e470d0a1a0a")
  message(FATAL_ERROR "lcd.png is not a PNG")
endif()
if(NOT IS_DIRECTORY ${WORK}/flash)
  message(FATAL_ERROR "the default flash root was not created")
endif()

# Bad input: a one-line error and a non-zero exit.
foreach(args "--bogus" "--keys;missing.txt" "--clock;yesterday" "--root;/proc/none/x")
  execute_process(COMMAND ${FIELDBOOK} ${args} WORKING_DIRECTORY ${WORK}
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(rc EQUAL 0 OR NOT err MATCHES "^fieldbook: [^\n]*\n$")
    message(FATAL_ERROR "'${args}' gave ${rc}: ${err}")
  endif()
endforeach()
file(WRITE ${WORK}/bad.txt "Down\nJump\n")
execute_process(COMMAND ${FIELDBOOK} --keys bad.txt WORKING_DIRECTORY ${WORK}
                RESULT_VARIABLE rc ERROR_VARIABLE err)
if(rc EQUAL 0 OR NOT err MATCHES "line 2: unknown key 'Jump'")
  message(FATAL_ERROR "a bad key script gave ${rc}: ${err}")
endif()
