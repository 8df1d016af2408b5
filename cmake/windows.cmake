# Targets of the Windows program: the framework layer, the program's own code, the
# executable, and the GoogleTest suites that run under Wine.

function(sm_windows_target target)
  target_compile_options(${target} PRIVATE ${SHEETMOVER_WIN_FLAGS})
  target_compile_definitions(${target} PRIVATE ${SHEETMOVER_WIN_DEFS})
  target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR})
endfunction()

# Static runtime: the program needs no MinGW DLLs beside it.
add_link_options(-static -static-libgcc -static-libstdc++)

file(GLOB SM_FRAMEWORK_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/framework/*.cpp)
list(REMOVE_ITEM SM_FRAMEWORK_SOURCES ${CMAKE_SOURCE_DIR}/framework/AppMain.cpp)
add_library(framework STATIC ${SM_FRAMEWORK_SOURCES})
sm_windows_target(framework)
target_link_libraries(framework PUBLIC comctl32 comdlg32 ole32 oleaut32 uuid odbc32 shell32 gdi32 user32 msimg32)

# The program's code, except the application object itself, so tests can drive every
# dialog and rule without starting the program.
file(GLOB SM_CORE_SOURCES CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/app/*.cpp ${CMAKE_SOURCE_DIR}/source/*.cpp
  ${CMAKE_SOURCE_DIR}/destination/*.cpp ${CMAKE_SOURCE_DIR}/mapping/*.cpp
  ${CMAKE_SOURCE_DIR}/convert/*.cpp ${CMAKE_SOURCE_DIR}/controls/*.cpp
  ${CMAKE_SOURCE_DIR}/usage/*.cpp)
list(REMOVE_ITEM SM_CORE_SOURCES ${CMAKE_SOURCE_DIR}/app/AppObject.cpp)
add_library(sheetmover_core STATIC ${SM_CORE_SOURCES})
sm_windows_target(sheetmover_core)
target_link_libraries(sheetmover_core PUBLIC framework)

set(SM_RESOURCES ${CMAKE_SOURCE_DIR}/res/SheetMover.rc)
set_source_files_properties(${SM_RESOURCES} PROPERTIES
  OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/res/resource.h")
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -I${CMAKE_SOURCE_DIR}/res")

add_executable(SheetMover WIN32 ${CMAKE_SOURCE_DIR}/app/AppObject.cpp
  ${CMAKE_SOURCE_DIR}/framework/AppMain.cpp ${SM_RESOURCES})
sm_windows_target(SheetMover)
target_link_libraries(SheetMover PRIVATE sheetmover_core)

# GoogleTest, cross-built from Debian's sources.
if(NOT SHEETMOVER_NO_TESTS)
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  add_subdirectory(${CMAKE_SOURCE_DIR}/tests ${CMAKE_BINARY_DIR}/tests)
endif()

# The driver of scripts/run and bench/convert: operates the running program from outside
# through window messages. A tool, not part of the product.
file(GLOB SM_DRIVER_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/testing/driver/*.cpp)
list(REMOVE_ITEM SM_DRIVER_SOURCES ${CMAKE_SOURCE_DIR}/testing/driver/main.cpp)
add_library(sheetmover_driver_core STATIC ${SM_DRIVER_SOURCES})
sm_windows_target(sheetmover_driver_core)
target_link_libraries(sheetmover_driver_core PUBLIC comctl32 user32)
add_executable(sheetmover-driver ${CMAKE_SOURCE_DIR}/testing/driver/main.cpp)
sm_windows_target(sheetmover-driver)
target_link_libraries(sheetmover-driver PRIVATE sheetmover_driver_core)
if(NOT SHEETMOVER_NO_TESTS)
  file(GLOB SM_DRIVER_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/testing/driver/tests/*.cpp)
  add_executable(driver_tests ${SM_DRIVER_TESTS})
  sm_windows_target(driver_tests)
  target_link_libraries(driver_tests PRIVATE sheetmover_driver_core gtest_main)
  add_test(NAME driver_tests COMMAND driver_tests)
  set_tests_properties(driver_tests PROPERTIES TIMEOUT 120)
endif()
