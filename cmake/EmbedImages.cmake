# Images compiled into a target, from one list of resource numbers and BMP
# files: embedded in the binary for the headless and X11 backends, or as a
# generated resource script for the Windows backend.
#   halvern_embed_images(TARGET <target> IMAGES <id> <file.bmp> [<id> <file.bmp> ...])
#   halvern_image_resources(TARGET <target> IMAGES <id> <file.bmp> [...])

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

# The assembler includes each file's bytes as they are, so even the largest
# sets of images cost the build no time; the source names the files, so a
# changed image rebuilds it.
function(halvern_embed_images)
  cmake_parse_arguments(EMBED "" "TARGET" "IMAGES" ${ARGN})
  halvern_split_images(EMBED_IMAGES)
  set(text "// Generated from the image list of the build; do not edit.\n#include \"platform/EmbeddedImages.h\"\n\n")
  # PE assemblers have no way back to the section before, so there the
  # images are followed by a return to the code section.
  string(APPEND text "#if defined(_WIN32)\n#define IMAGE_SECTION \".section .rdata,\\\"dr\\\"\\n\"\n")
  string(APPEND text "#define PREVIOUS_SECTION \".text\"\n")
  string(APPEND text "#else\n#define IMAGE_SECTION \".section .rodata\\n\"\n#define PREVIOUS_SECTION \".previous\"\n#endif\n\n")
  set(table "")
  set(index 0)
  foreach(id file IN ZIP_LISTS ids files)
    set(symbol "halvern_image${index}")
    string(APPEND text "extern \"C\" const unsigned char ${symbol}[], ${symbol}_end[];\n")
    string(APPEND text "__asm__(IMAGE_SECTION \"${symbol}:\\n.incbin \\\"${file}\\\"\\n${symbol}_end:\\n\" PREVIOUS_SECTION);\n")
    string(APPEND table "    {${id}, ${symbol}, static_cast<size_t>(${symbol}_end - ${symbol})},\n")
    math(EXPR index "${index} + 1")
  endforeach()
  string(APPEND text "\nnamespace {\nconst EmbeddedImage images[] = {\n${table}};\n")
  string(APPEND text "const bool registered = registerEmbeddedImages(images, sizeof(images) / sizeof(images[0]));\n}  // namespace\n")
  set(output ${CMAKE_CURRENT_BINARY_DIR}/${EMBED_TARGET}_embedded_images.cpp)
  file(CONFIGURE OUTPUT ${output} CONTENT "${text}" @ONLY)
  target_sources(${EMBED_TARGET} PRIVATE ${output})
  set_source_files_properties(${output} PROPERTIES OBJECT_DEPENDS "${files}")
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
