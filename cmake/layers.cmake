# The layers of the code, lowest first. A module (a .h/.cpp pair under src/)
# may include only modules of its own layer or of the layers below it.

# The puzzle model and its files: blocks, the board, the level, its files and text form.
set(ESCAPE_MODEL_MODULES random_lvl_function level_files level level_text level_directory printable
    result durable_file progress_store)
# The searches: the move counter, the slide engine, the solver and the level maker.
set(ESCAPE_SEARCH_MODULES num_moves_calculator slide_space play_solver fewest_moves level_maker)
# The games: the rules of a move, scoring, the pictures, the line mode, the screen model and its
# worker, the campaign and the level of the day.
set(ESCAPE_GAME_MODULES move_rules scoring palette level_picture play_game play_screen
    screen_layout level_worker campaign daily_level)
# The programs: command lines, the terminal, and what each program does.
set(ESCAPE_PROGRAM_MODULES command_line terminal play_command levels_command play_terminal main
    play_main levels_main)

# The sources of each layer's library; the programs' entry points and the
# terminal driver are built into the programs themselves.
foreach(layer MODEL SEARCH GAME PROGRAM)
  set(ESCAPE_${layer}_SOURCES)
  foreach(module ${ESCAPE_${layer}_MODULES})
    if(EXISTS ${CMAKE_CURRENT_LIST_DIR}/../src/${module}.cpp
       AND NOT module MATCHES "^(main|play_main|levels_main|play_terminal)$")
      list(APPEND ESCAPE_${layer}_SOURCES src/${module}.cpp)
    endif()
  endforeach()
endforeach()
