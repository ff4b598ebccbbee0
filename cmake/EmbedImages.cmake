# Images compiled into a target, from one list of resource numbers and BMP
# files: as byte arrays for the headless backend, or as a generated
# resource script for the Windows backend.
#   halvern_embed_images(TARGET <target> IMAGES <id> <file.bmp> [<id> <file.bmp> ...])
#   halvern_image_resources(TARGET <target> IMAGES <id> <file.bmp> [...])
set(HALVERN_EMBED_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/EmbedImagesScript.cmake)

# Splits an id/file list into the two lists `ids` and `files` of the caller.
macro(halvern_split_images list)
  set(ids)
  set(files)
  list(LENGTH ${list} count)
  math(EXPR last "${count} - 1")
  foreach(i RANGE 0 ${last} 2)
    math(EXPR next "${i} + 1")
    list(GET ${list} ${i} id)
    list(GET ${list} ${next} file)
    list(APPEND ids ${id})
    list(APPEND files ${file})
  endforeach()
endmacro()

function(halvern_embed_images)
  cmake_parse_arguments(EMBED "" "TARGET" "IMAGES" ${ARGN})
  halvern_split_images(EMBED_IMAGES)
  set(output ${CMAKE_CURRENT_BINARY_DIR}/${EMBED_TARGET}_embedded_images.cpp)
  string(REPLACE ";" "," id_arg "${ids}")
  string(REPLACE ";" "," file_arg "${files}")
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -DOUTPUT=${output} "-DIDS=${id_arg}" "-DFILES=${file_arg}" -P ${HALVERN_EMBED_SCRIPT}
    DEPENDS ${files} ${HALVERN_EMBED_SCRIPT}
    COMMENT "Embedding images for ${EMBED_TARGET}")
  target_sources(${EMBED_TARGET} PRIVATE ${output})
endfunction()

function(halvern_image_resources)
  cmake_parse_arguments(EMBED "" "TARGET" "IMAGES" ${ARGN})
  halvern_split_images(EMBED_IMAGES)
  set(script "// Generated from the image list of the build; do not edit.\n")
  foreach(id file IN ZIP_LISTS ids files)
    string(APPEND script "${id} BITMAP \"${file}\"\n")
  endforeach()
  set(output ${CMAKE_CURRENT_BINARY_DIR}/${EMBED_TARGET}_images.rc)
  file(CONFIGURE OUTPUT ${output} CONTENT "${script}")
  enable_language(RC)
  target_sources(${EMBED_TARGET} PRIVATE ${output})
  # The script names the files, so a changed image rebuilds it.
  set_source_files_properties(${output} PROPERTIES OBJECT_DEPENDS "${files}")
endfunction()
