# Runs the skin generator and checker on damaged input and expects each to refuse it, naming the
# fault. Called by CTest with GENERATOR, LAYOUT and WORK set.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
set(ENV{QT_QPA_PLATFORM} offscreen)

function(expect_failure what needle)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc ERROR_VARIABLE err OUTPUT_QUIET)
    if(rc EQUAL 0)
        message(FATAL_ERROR "${what}: succeeded")
    endif()
    string(FIND "${err}" "${needle}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "${what}: the message does not name ${needle}:\n${err}")
    endif()
endfunction()

# A layout without the fourth profile slot.
file(READ ${LAYOUT} layout)
string(REGEX REPLACE "\nFUNC_PROFILE4 = [^\n]*" "" damaged "${layout}")
file(WRITE ${WORK}/layout.ini "${damaged}")
expect_failure("layout without FUNC_PROFILE4" "FUNC_PROFILE4"
               ${GENERATOR} --layout ${WORK}/layout.ini --out ${WORK}/unused)

# A generated skin that then loses a key, a state picture and its background.
execute_process(COMMAND ${GENERATOR} --layout ${LAYOUT} --out ${WORK}/Skins RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "the intact layout did not generate")
endif()
file(READ ${WORK}/Skins/Composite.ini composite)
string(REGEX REPLACE "\nFUNC_MACRO_UP_TOP=[^\n]*" "" composite "${composite}")
file(WRITE ${WORK}/Skins/Composite.ini "${composite}")
file(REMOVE ${WORK}/Skins/key_over.jpg ${WORK}/Skins/Profile_bg.jpg)
file(WRITE ${WORK}/Skins/main_down.jpg "not a picture")
foreach(needle "FUNC_MACRO_UP_TOP" "key_over.jpg" "Profile.ini: SCREEN" "main_down.jpg")
    expect_failure("damaged skin" "${needle}" ${GENERATOR} --check ${WORK}/Skins)
endforeach()
file(REMOVE_RECURSE ${WORK})
