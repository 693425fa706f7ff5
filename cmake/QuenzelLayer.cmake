# quenzel_layer(NAME <target_link_libraries arguments>): one static library from every source
# file in and below the calling folder (a program's main.cpp and a loadable module's network/
# folder excepted).
function(quenzel_layer name)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  list(FILTER sources EXCLUDE REGEX "/main\\.cpp$")
  file(GLOB_RECURSE module_sources ${CMAKE_CURRENT_SOURCE_DIR}/network/*)
  if(module_sources)
    list(REMOVE_ITEM sources ${module_sources})
  endif()
  add_library(quenzel_${name} STATIC ${sources})
  target_include_directories(quenzel_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(quenzel_${name} ${ARGN})
  set_target_properties(quenzel_${name} PROPERTIES AUTOUIC_SEARCH_PATHS ${PROJECT_SOURCE_DIR}/resources/ui)
  if(QUENZEL_STARTUP_ORDER_FILE)
    # A section per function, so that the link can place the start-up ones together.
    target_compile_options(quenzel_${name} PRIVATE -ffunction-sections)
  endif()
endfunction()
