# Warnings are errors everywhere; sanitizers are switched on for the whole tree at once so that
# libraries and tests agree on the instrumented runtime.
add_compile_options(-Wall -Wextra -Werror)
if(ZENDREL_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# Each layer is one static library built from every source in its folder.
function(zendrel_layer name)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT sources)
    # A layer whose first sources have not arrived yet still links.
    set(sources ${CMAKE_CURRENT_BINARY_DIR}/empty_layer.cpp)
    file(WRITE ${sources} "// No sources yet.\n")
  endif()
  # Headers are part of the target so that moc, where it runs, sees one added to an existing
  # build folder.
  file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  add_library(${name} STATIC ${sources} ${headers})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
endfunction()

# One test program per layer, built from every test source in its folder.
function(zendrel_tests name)
  cmake_parse_arguments(ARG "OWN_MAIN" "" "LIBS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT sources)
    return()
  endif()
  file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  add_executable(${name} ${sources} ${headers})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock)
  if(NOT ARG_OWN_MAIN)
    target_link_libraries(${name} PRIVATE GTest::gtest_main)
  endif()
  target_compile_definitions(${name} PRIVATE
    ZENDREL_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data"
    ZENDREL_BINARY_DIR="${PROJECT_BINARY_DIR}")
  # Parameterised cases are named by their suites; the value dump gtest would add is no name.
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 NO_PRETTY_VALUES PROPERTIES TIMEOUT 120)
endfunction()
