# The release archive, nrcdrom-6.6-win32.zip: nrcdrom.exe, README.md, LICENSE, CHANGES,
# examples/ and the README's pictures in docs/, at the top of the archive with no folder around them. Included from the
# Windows branch of the top-level CMakeLists.txt after the nrcdrom target; made with
# "cmake --build build/win32 --target package". The test package.contents runs this same
# file as a script (cmake -P) to make the archive and compare its list of entries, exactly,
# with cmake/package-contents.txt.

if(CMAKE_SCRIPT_MODE_FILE)
    # Script mode: BUILD_DIR (the Windows build), CPACK, EXPECTED (the list file) and OUT (a
    # scratch folder of the test's own, so that the archive in the build folder is left alone).
    file(REMOVE_RECURSE "${OUT}")
    execute_process(COMMAND "${CPACK}" --config "${BUILD_DIR}/CPackConfig.cmake" -B "${OUT}"
                    RESULT_VARIABLE rc OUTPUT_VARIABLE log ERROR_VARIABLE log)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "cpack failed (${rc}):\n${log}")
    endif()
    set(archive "${OUT}/nrcdrom-6.6-win32.zip")
    if(NOT EXISTS "${archive}")
        message(FATAL_ERROR "cpack did not make ${archive}:\n${log}")
    endif()
    execute_process(COMMAND "${CMAKE_COMMAND}" -E tar tf "${archive}"
                    RESULT_VARIABLE rc OUTPUT_VARIABLE listing ERROR_VARIABLE err)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "could not list ${archive}: ${err}")
    endif()
    string(REGEX REPLACE "\n$" "" listing "${listing}")
    string(REPLACE "\n" ";" actual "${listing}")
    list(SORT actual)
    file(STRINGS "${EXPECTED}" expected)
    list(SORT expected)
    if(NOT actual STREQUAL expected)
        string(REPLACE ";" "\n  " actualText "${actual}")
        string(REPLACE ";" "\n  " expectedText "${expected}")
        message(FATAL_ERROR "${archive} holds\n  ${actualText}\nbut should hold\n  ${expectedText}")
    endif()
    list(LENGTH actual count)
    message(STATUS "${archive}: ${count} entries, as expected")
    return()
endif()

# Only the component nrcdrom goes into the archive, whatever else the build may install.
install(TARGETS nrcdrom RUNTIME DESTINATION . COMPONENT nrcdrom)
install(FILES "${PROJECT_SOURCE_DIR}/README.md" "${PROJECT_SOURCE_DIR}/LICENSE"
              "${PROJECT_SOURCE_DIR}/CHANGES"
        DESTINATION . COMPONENT nrcdrom)
install(DIRECTORY "${PROJECT_SOURCE_DIR}/examples/" DESTINATION examples COMPONENT nrcdrom
        PATTERN .gitattributes EXCLUDE)
# The README's pictures, so that it shows them inside the archive too.
install(DIRECTORY "${PROJECT_SOURCE_DIR}/docs/" DESTINATION docs COMPONENT nrcdrom
        FILES_MATCHING PATTERN *.png)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME nrcdrom)
set(CPACK_PACKAGE_VENDOR "the nrcdrom developers")
set(CPACK_PACKAGE_VERSION 6.6)
set(CPACK_PACKAGE_FILE_NAME nrcdrom-6.6-win32)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};nrcdrom;nrcdrom;/")
set(CPACK_SOURCE_GENERATOR ZIP)
set(CPACK_SOURCE_PACKAGE_FILE_NAME nrcdrom-6.6-source)
include(CPack)

add_test(NAME package.contents
         COMMAND "${CMAKE_COMMAND}" "-DBUILD_DIR=${CMAKE_BINARY_DIR}"
                 "-DCPACK=${CMAKE_CPACK_COMMAND}"
                 "-DEXPECTED=${CMAKE_CURRENT_LIST_DIR}/package-contents.txt"
                 "-DOUT=${CMAKE_BINARY_DIR}/package-test"
                 -P "${CMAKE_CURRENT_LIST_FILE}")
set_tests_properties(package.contents PROPERTIES TIMEOUT 300)
