# qmr_add_test(<name> SOURCES <files...> LIBS <targets...>)
# A GoogleTest executable that runs with a QApplication on the offscreen
# platform and with every place the program keeps things moved to a
# temporary folder (see tests/support/TestMain.cpp).
function(qmr_add_test name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_link_libraries(${name} PRIVATE qmr_testsupport ${ARG_LIBS} GTest::gtest)
  add_test(NAME ${name} COMMAND ${name})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  set_tests_properties(${name} PROPERTIES
    TIMEOUT ${ARG_TIMEOUT}
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QMR_PROGRAM_DIR=${QMR_PROGRAM_DIR}")
endfunction()

# qmr_add_desktop_test(<name> SOURCES <files...> LIBS <targets...>)
# A GoogleTest executable that runs on a desktop of its own: a virtual X
# screen with the openbox window manager (tests/support/desktop-session.sh),
# Qt's xcb platform, Qt's own dialogs and real input through the X server.
# Labelled `desktop`; skipped when Xvfb, openbox, xdotool or xprop is missing.
function(qmr_add_desktop_test name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_link_libraries(${name} PRIVATE qmr_desktopsupport ${ARG_LIBS} GTest::gtest)
  add_test(NAME ${name}
           COMMAND bash ${PROJECT_SOURCE_DIR}/tests/support/desktop-session.sh $<TARGET_FILE:${name}>)
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 60)
  endif()
  set_tests_properties(${name} PROPERTIES
    TIMEOUT ${ARG_TIMEOUT}
    LABELS desktop
    SKIP_RETURN_CODE 77
    ENVIRONMENT "QT_QPA_PLATFORM=xcb;QMR_PROGRAM_DIR=${QMR_PROGRAM_DIR};QMR_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
endfunction()
