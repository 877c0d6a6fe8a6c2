# SPDX-License-Identifier: GPL-3.0-or-later
# Converts one ABC tune to a MIDI file; run at build time with `cmake -P`.
#
# Expects ABC2MIDI (the converter), INPUT (the .abc file) and OUTPUT (the .mid file to write).
# abc2midi exits with status 0 even when it rejects notes or whole tunes, and it reports bars
# whose length does not match the metre only as warnings, although such a bar puts the
# accompaniment out of step with the melody. This script therefore treats any error or warning
# in its output as a failed conversion. On success nothing is printed, so the build log stays
# quiet; on failure the converter's full output is shown and OUTPUT is left untouched, so the
# next build retries instead of shipping a half-converted tune.

foreach(var ABC2MIDI INPUT OUTPUT)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "ConvertTune.cmake needs -D${var}=...")
    endif()
endforeach()

get_filename_component(output_dir "${OUTPUT}" DIRECTORY)
file(MAKE_DIRECTORY "${output_dir}")
set(partial "${OUTPUT}.partial")
file(REMOVE "${partial}")

execute_process(
    COMMAND "${ABC2MIDI}" "${INPUT}" -o "${partial}"
    RESULT_VARIABLE status
    OUTPUT_VARIABLE log
    ERROR_VARIABLE log)

set(problem "")
if(NOT status EQUAL 0)
    set(problem "abc2midi exited with status ${status}")
elseif(log MATCHES "(^|\n)(Error|Warning)")
    set(problem "abc2midi reported problems")
elseif(NOT EXISTS "${partial}")
    set(problem "abc2midi wrote no MIDI file")
else()
    file(SIZE "${partial}" size)
    if(size EQUAL 0)
        set(problem "abc2midi wrote an empty MIDI file")
    endif()
endif()

if(problem)
    file(REMOVE "${partial}")
    message(FATAL_ERROR "Converting ${INPUT} failed: ${problem}.\n${log}")
endif()

file(RENAME "${partial}" "${OUTPUT}")
