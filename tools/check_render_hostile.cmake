# Runs render-frame on every hostile model file of a folder that may load ("load-", "any-"; the
# refused ones are read by qmdl-info, with the same reader, in qmdl_info_hostile): each run ends
# with status 0 (the reader coped) or 1 (the file was refused with an alert), never with a crash or
# a hang. The files whose cost lies in drawing a frame ("load-frames-") are drawn at the default
# size, directly and through the system's polygon calls (the nested domes also from inside): each
# frame draws little past its budget's allowances, and its loops take no more turns than its
# allowances pay for.
# -DRUNNER=<emulator, may be empty> -DTOOL=<render-frame> -DDIR=<folder> -DOUT=<folder>
include(${CMAKE_CURRENT_LIST_DIR}/frame_turns.cmake)
file(GLOB models "${DIR}/*.qpy")
set(failed 0)
foreach(model IN LISTS models)
  get_filename_component(name "${model}" NAME_WE)
  if(name MATCHES "^fail-")
    continue()
  endif()
  if(NOT name MATCHES "^load-frames-")
    # Each is read or refused within seconds. Wine, starting processes side by side at the start of
    # a suite, now and then leaves one unended after its work: a run that times out gets one more.
    foreach(try 1 2)
      execute_process(COMMAND ${RUNNER} "${TOOL}" "${model}" "${OUT}/hostile-${name}.bmp" --size 64x48
                      RESULT_VARIABLE status ERROR_VARIABLE err TIMEOUT 20)
      if(NOT status MATCHES "timeout")
        break()
      endif()
    endforeach()
    if(NOT (status EQUAL 0 OR status EQUAL 1))
      message(SEND_ERROR "${name}: status ${status}\n${err}")
      math(EXPR failed "${failed} + 1")
    endif()
    continue()
  endif()
  set(runs "--flash 1" "--flash 0 --depth 8")
  if(name STREQUAL "load-frames-nested-domes")
    # From inside the innermost dome too: every face in view is cut by the view's planes, into
    # more corners than the domes have vertices.
    list(APPEND runs "--flash 1 --eye 0,0,200")
  endif()
  foreach(run IN LISTS runs)
    separate_arguments(path UNIX_COMMAND "${run}")
    execute_process(COMMAND ${RUNNER} "${TOOL}" "${model}" "${OUT}/hostile-${name}.bmp" --budget ${path}
                    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 60)
    string(REGEX MATCH "drawn-spent: ([0-9]+) of ([0-9]+)" drawn "${out}")
    set(spent "${CMAKE_MATCH_1}")
    set(twice 0)
    if(NOT drawn STREQUAL "")
      # Past twice the allowance the frame stops: the face refused there is spent, not drawn.
      math(EXPR twice "2 * ${CMAKE_MATCH_2} + 1")
    endif()
    check_frame_turns("${out}" turns)
    if(NOT status EQUAL 0 OR drawn STREQUAL "" OR spent GREATER twice
       OR NOT turns STREQUAL "")
      message(SEND_ERROR "${name} ${run}: status ${status} ${turns}\n${out}${err}")
      math(EXPR failed "${failed} + 1")
    endif()
  endforeach()
endforeach()
if(failed GREATER 0)
  message(FATAL_ERROR "${failed} hostile files broke render-frame")
endif()
