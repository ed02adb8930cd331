# tolvarine_test(NAME DEPS...): one GoogleTest executable per library.
# Every test runs offscreen with a private settings folder, so no test can open a
# real window or touch a user's own settings.
function(tolvarine_test name)
  # SERVER: the program runs a second time on the PostgreSQL server test.sh starts
  # (test <name>_server), the same tests on the other backend.
  # SERVER_PENDING: tests that do not pass on the server yet, left out of that variant
  # only (each is named in the calling CMakeLists.txt with the reason).
  cmake_parse_arguments(ARG "SERVER" "" "DEPS;SERVER_PENDING" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  if(NOT sources)
    return()  # a folder whose tests are not written yet
  endif()
  add_executable(${name} ${sources})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gmock)
  target_compile_definitions(${name} PRIVATE
      TOLVARINE_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
      TOLVARINE_BINARY_DIR="${PROJECT_BINARY_DIR}")
  set(private_home ${CMAKE_CURRENT_BINARY_DIR}/${name}-home)
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  set_tests_properties(${name} PROPERTIES
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen;XDG_CONFIG_HOME=${private_home}/config;HOME=${private_home};TOLVARINE_TEST=1"
      TIMEOUT 600)
  if(ARG_SERVER)
    set(filter "")
    if(ARG_SERVER_PENDING)
      list(JOIN ARG_SERVER_PENDING ":" pending)
      set(filter "--gtest_filter=-${pending}")
    endif()
    add_test(NAME ${name}_server COMMAND ${name} --gtest_brief=1 ${filter})
    set_tests_properties(${name}_server PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;XDG_CONFIG_HOME=${private_home}/config;HOME=${private_home};TOLVARINE_TEST=1;TOLVARINE_TEST_BACKEND=server"
        TIMEOUT 600)
  endif()
endfunction()
