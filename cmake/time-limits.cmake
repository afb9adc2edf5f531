# pelmar_time_limit(VAR KEY): VAR := the seconds of KEY in tests/time-limits.env, the
# harness's one table of time limits.
function(pelmar_time_limit var key)
    set(file ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/../tests/time-limits.env)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${file})
    file(STRINGS ${file} line REGEX "^${key}=[0-9]+$")
    if(NOT line)
        message(FATAL_ERROR "${file} does not set ${key}")
    endif()
    string(REPLACE "${key}=" "" seconds "${line}")
    set(${var} ${seconds} PARENT_SCOPE)
endfunction()
