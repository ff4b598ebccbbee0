# A plug-in library with the editor: `target`, built from SOURCES on
# LIBRARIES as NAME followed by SUFFIX (the platform's own when empty),
# installed into LINUX_FOLDER or WINDOWS_FOLDER below the prefix.
function(halvern_plugin_library target)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "" "NAME;SUFFIX;LINUX_FOLDER;WINDOWS_FOLDER" "SOURCES;LIBRARIES")
  add_library(${target} MODULE ${ARG_SOURCES} ${CMAKE_SOURCE_DIR}/formats/shared/LibraryMain.cpp)
  target_link_libraries(${target} PRIVATE ${ARG_LIBRARIES})
  target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR}/formats/shared)  # the export mark
  set_target_properties(${target} PROPERTIES PREFIX "" OUTPUT_NAME ${ARG_NAME})
  if(ARG_SUFFIX)
    set_target_properties(${target} PROPERTIES SUFFIX ${ARG_SUFFIX})
  endif()
  if(WIN32)
    # Runtime linked in, so the DLL loads on a bare Windows.
    target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++)
    halvern_add_editor_resources(${target})
    install(TARGETS ${target} LIBRARY DESTINATION ${ARG_WINDOWS_FOLDER} RUNTIME DESTINATION ${ARG_WINDOWS_FOLDER})
  else()
    halvern_embed_editor_images(${target})
    halvern_links_fully(${target})
    install(TARGETS ${target} LIBRARY DESTINATION ${ARG_LINUX_FOLDER})
  endif()
endfunction()
