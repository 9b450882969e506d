# The layers of the code, lowest first: each is a folder of src/, and a module
# (a .h/.cpp pair) may include only modules of its own layer or of the layers
# below it.
#   model    the puzzle model and its files: the board, blocks, the level, its files and text form
#   search   the move counter, the slide engine, the solver and the level maker
#   game     the rules of a move, scoring, the pictures, the game session, the screen model,
#            the campaign and the level of the day
#   program  command lines, the terminal, and what each program does
set(ESCAPE_LAYERS model search game program)

# The sources of each layer's library; the programs' entry points and the
# terminal driver are built into the programs themselves.
if(CMAKE_SCRIPT_MODE_FILE)
  set(rescan)
else()
  set(rescan CONFIGURE_DEPENDS)
endif()
foreach(layer ${ESCAPE_LAYERS})
  file(GLOB sources ${rescan} RELATIVE ${CMAKE_CURRENT_LIST_DIR}/..
       ${CMAKE_CURRENT_LIST_DIR}/../src/${layer}/*.cpp)
  list(FILTER sources EXCLUDE REGEX "/(main|play_main|levels_main|play_terminal)\\.cpp$")
  string(TOUPPER ${layer} LAYER)
  set(ESCAPE_${LAYER}_SOURCES ${sources})
endforeach()
