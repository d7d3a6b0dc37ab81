# Runs render-frame on honest models that show the frame's budget what an author's scenes ask of
# a frame: the town of glass (lobbies and shop windows whose furnished insides show through them),
# the forest of trees on a landscape, each from its own eye, from above and from among its trees
# or inside a lobby looking out through its glass front at the lobbies across the street, and the
# museum whose rooms show through each other's doorways and glass cases (from its first room and
# from one in its middle), the high street seen from inside a shop, the harbour looked along
# its quay and the roads looked along one of them and along the river from a bridge, directly and
# through the system's polygon calls, at 8, 16 and 32 bits. Every frame comes within
# every allowance of its budget ("passed: 0": nothing drawn opaque that its author made
# see-through) and its loops take no more turns than its allowances pay for.
# -DRUNNER=<emulator, may be empty> -DTOOL=<render-frame> -DDIR=<folder of the honest models>
# -DOUT=<folder>
include(${CMAKE_CURRENT_LIST_DIR}/frame_turns.cmake)
# MODEL|EYE NAME|render-frame arguments: the eyes of the sizes the suite writes (world units of a
# foot).
set(views
  "glass-town|own|"
  "glass-town|above|--eye -150,-150,100 --angles 0,-20,-32"
  "glass-town|inside|--eye -25,13,6 --angles 0,0,64"
  "forest|own|"
  "forest|above|--eye -150,-150,100 --angles 0,-20,-32"
  "forest|inside|--eye 1,1,6 --angles 0,0,0"
  "museum|own|"
  "museum|inside|--eye 5,5,2 --angles 0,0,64"
  "high-street|own|"
  "harbour|own|"
  "roads|own|"
  "roads|inside|--eye 0,94,5 --angles 0,0,0")
set(failed 0)
foreach(view IN LISTS views)
  string(REPLACE "|" ";" parts "${view}")
  list(GET parts 0 kind)
  list(GET parts 1 eye)
  list(LENGTH parts count)
  set(arguments "")
  if(count GREATER 2)
    list(GET parts 2 given)
    separate_arguments(arguments UNIX_COMMAND "${given}")
  endif()
  foreach(flash 1 0)
    foreach(depth 8 16 32)
      execute_process(COMMAND ${RUNNER} "${TOOL}" "${DIR}/load-honest-${kind}.qpy" "${OUT}/honest-${kind}-${eye}.bmp"
                              --budget --flash ${flash} --depth ${depth} ${arguments}
                      RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 60)
      check_frame_turns("${out}" turns)
      if(NOT status EQUAL 0 OR NOT out MATCHES "passed: 0" OR NOT turns STREQUAL "")
        message(SEND_ERROR "${kind} from ${eye}, flash ${flash}, depth ${depth}: status ${status} ${turns}\n${out}${err}")
        math(EXPR failed "${failed} + 1")
      endif()
    endforeach()
  endforeach()
endforeach()
if(failed GREATER 0)
  message(FATAL_ERROR "${failed} frames of honest models passed their budget")
endif()
