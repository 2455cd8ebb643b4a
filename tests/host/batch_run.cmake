# The host's non-interactive run on the simulated unit, as on a fresh machine: the first
# run finds no remembered port (the stand-in person connects through the plugin's
# windows), the second finds it again. Each must pass all of its checks.
#   cmake -DHOST=... -DSETTINGS=... [-DARGS=...] -P batch_run.cmake
file(REMOVE_RECURSE ${SETTINGS})
separate_arguments(args UNIX_COMMAND "${ARGS}")
foreach(run first second)
    execute_process(COMMAND ${HOST} --batch --simulate --settings ${SETTINGS} ${args}
                    OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc TIMEOUT 120)
    message("---- ${run} run\n${out}${err}")
    if(NOT rc EQUAL 0 OR NOT out MATCHES "PASSED")
        message(FATAL_ERROR "the ${run} run failed (exit ${rc})")
    endif()
endforeach()
if(NOT out MATCHES "call Enable\\(\\) -> true\n  ok: PluginName, Init and Enable")
    message(FATAL_ERROR "the second run did not find the remembered port")
endif()
