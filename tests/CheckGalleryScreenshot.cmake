# Runs the controls gallery offscreen and checks that its screenshot exists and is not blank:
# the gallery itself refuses to write a picture of a single colour, and a picture of every
# control compresses to far more than an empty window does.
file(REMOVE ${OUT})
execute_process(COMMAND ${GALLERY} --screenshot ${OUT} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "pelvano-gallery --screenshot failed: ${rc}")
endif()
if(NOT EXISTS ${OUT})
    message(FATAL_ERROR "no screenshot written to ${OUT}")
endif()
file(SIZE ${OUT} bytes)
if(bytes LESS 20000)
    message(FATAL_ERROR "screenshot ${OUT} looks blank (${bytes} bytes)")
endif()
file(READ ${OUT} magic LIMIT 8 HEX)
if(NOT magic STREQUAL "89504e470d0a1a0a")
    message(FATAL_ERROR "screenshot ${OUT} is not a PNG")
endif()
