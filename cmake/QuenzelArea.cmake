# quenzel_area(NAME DEPS...): a static library from every source file of the calling folder.
function(quenzel_area name)
  file(GLOB sources CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h ${CMAKE_CURRENT_SOURCE_DIR}/*.ui)
  list(FILTER sources EXCLUDE REGEX "/main\\.cpp$")
  add_library(quenzel_${name} STATIC ${sources})
  target_include_directories(quenzel_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(quenzel_${name} PUBLIC ${ARGN})
  set_target_properties(quenzel_${name} PROPERTIES AUTOUIC_SEARCH_PATHS ${PROJECT_SOURCE_DIR}/resources/ui)
endfunction()
