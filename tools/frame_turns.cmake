# Included by the render-frame checks: holds the turns a frame's loops took, as `render-frame
# --budget` prints them ("turns: TURNS of ALLOWANCE"), to a fixed multiple of the turns its
# allowances come to. Every loop of a frame counts its turns, and every step is spent on the frame's
# budget at the grain its loops count (pixels and rows, corners, words, records); past twice its
# allowances a frame stops. What a frame spends it spends once, but a few loops walk what one
# spending pays for: a face's corners are built into device points, boxed, clipped and scanned, and
# a textured span is handed over and then written. Twice the allowance leaves room for those (the
# honest frames take a twelfth of it at most, the hostile files three quarters); a loop that no
# spending pays for takes a multiple of what is charged the moment a file repeats its work.
set(frame_turns_multiple 2)

# Sets `${result}` to an error text when the frame's turns in the report `out` are missing or
# exceed the multiple of its turn allowance, else to the empty string.
function(check_frame_turns out result)
  string(REGEX MATCH "turns: ([0-9]+) of ([0-9]+)" turns "${out}")
  if(turns STREQUAL "")
    set(${result} "no turns reported" PARENT_SCOPE)
    return()
  endif()
  set(taken "${CMAKE_MATCH_1}")
  set(allowed "${CMAKE_MATCH_2}")
  math(EXPR most "${allowed} * ${frame_turns_multiple}")
  if(taken GREATER most)
    set(${result} "turns ${taken} past ${frame_turns_multiple} times the allowance ${allowed}" PARENT_SCOPE)
  else()
    set(${result} "" PARENT_SCOPE)
  endif()
endfunction()
