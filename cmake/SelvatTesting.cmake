# One GoogleTest binary per folder of tests: tests/unit/<name> gives the
# native unit_<name>, tests/win/<name> gives win_<name>.exe for Wine.
# A folder with a CMakeLists.txt of its own declares its binaries itself.

function(selvat_add_test_binary name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest_main GTest::gmock Threads::Threads)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR})
endfunction()

# Adds every sub-folder of the current folder as a test binary with the
# given prefix, linked with the given libraries.
function(selvat_add_test_folders prefix)
  file(GLOB entries LIST_DIRECTORIES true ${CMAKE_CURRENT_SOURCE_DIR}/*)
  foreach(dir ${entries})
    if(NOT IS_DIRECTORY ${dir})
      continue()
    endif()
    get_filename_component(group ${dir} NAME)
    # SELVAT_TEST_GROUPS, when set, limits the build to the folders it names.
    if(SELVAT_TEST_GROUPS AND NOT group IN_LIST SELVAT_TEST_GROUPS)
      continue()
    endif()
    if(EXISTS ${dir}/CMakeLists.txt)
      add_subdirectory(${dir})
    else()
      file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${dir}/*.cpp)
      if(sources)
        selvat_add_test_binary(${prefix}_${group} SOURCES ${sources} LIBS ${ARGN})
      endif()
    endif()
  endforeach()
endfunction()
