# Runs render-frame on every hostile model file of a folder: each run ends with status 0 (the
# reader coped) or 1 (the file was refused with an alert), never with a crash or a hang.
# -DRUNNER=<emulator, may be empty> -DTOOL=<render-frame> -DDIR=<folder> -DOUT=<folder>
file(GLOB models "${DIR}/*.qpy")
set(failed 0)
foreach(model IN LISTS models)
  get_filename_component(name "${model}" NAME_WE)
  execute_process(COMMAND ${RUNNER} "${TOOL}" "${model}" "${OUT}/hostile-${name}.bmp" --size 64x48
                  RESULT_VARIABLE status ERROR_VARIABLE err TIMEOUT 60)
  if(NOT (status EQUAL 0 OR status EQUAL 1))
    message(SEND_ERROR "${name}: status ${status}\n${err}")
    math(EXPR failed "${failed} + 1")
  endif()
endforeach()
if(failed GREATER 0)
  message(FATAL_ERROR "${failed} hostile files broke render-frame")
endif()
