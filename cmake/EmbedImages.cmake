# halvern_embed_images(TARGET <target> IMAGES <id> <file.bmp> [<id> <file.bmp> ...])
# Compiles the BMP files into <target> as byte arrays registered by resource
# number, for the headless backend (Windows builds read the same files
# through a resource script).
set(HALVERN_EMBED_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/EmbedImagesScript.cmake)

function(halvern_embed_images)
  cmake_parse_arguments(EMBED "" "TARGET" "IMAGES" ${ARGN})
  set(ids)
  set(files)
  list(LENGTH EMBED_IMAGES count)
  math(EXPR last "${count} - 1")
  foreach(i RANGE 0 ${last} 2)
    math(EXPR next "${i} + 1")
    list(GET EMBED_IMAGES ${i} id)
    list(GET EMBED_IMAGES ${next} file)
    list(APPEND ids ${id})
    list(APPEND files ${file})
  endforeach()
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
