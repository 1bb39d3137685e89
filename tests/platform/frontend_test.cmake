# Runs the simulator headless: a key script drives the field book past its
# title screen into the information menu, the screen is printed when the
# script runs out, and the PNG is written.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
file(WRITE ${WORK}/keys.txt "# the title screen, then the main menu's third item\nEnter 3\n")
execute_process(COMMAND ${FIELDBOOK} --keys keys.txt --png lcd.png --clock "2026-12-11 09:00:00"
                WORKING_DIRECTORY ${WORK} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "fieldbook failed (${rc}): ${err}")
endif()
if(NOT out MATCHES "waiting for a key" OR NOT out MATCHES "信息查看" OR NOT out MATCHES "测段查看")
  message(FATAL_ERROR "unexpected screen:\n${out}")
endif()
file(READ ${WORK}/lcd.png head LIMIT 8 HEX)
if(NOT head STREQUAL "89504e470d0a1a0a")
  message(FATAL_ERROR "lcd.png is not a PNG")
endif()
if(NOT IS_DIRECTORY ${WORK}/flash/dataszd OR NOT IS_DIRECTORY ${WORK}/flash/szdbak)
  message(FATAL_ERROR "the default flash root or the field book's folders were not created")
endif()

# Without a script and without a terminal: the built-in walk through the
# field book ends by leaving it from the main menu.
execute_process(COMMAND ${FIELDBOOK} --clock "2026-12-11 09:00:00" INPUT_FILE ${WORK}/keys.txt
                WORKING_DIRECTORY ${WORK} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0 OR NOT out MATCHES "水准测量记簿软件" OR NOT out MATCHES "水准观测程序"
   OR NOT out MATCHES "the application ended")
  message(FATAL_ERROR "the built-in walk gave ${rc}: ${err}\n${out}")
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
