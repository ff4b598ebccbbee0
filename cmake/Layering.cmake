# halvern_forbid_link(<target> <forbidden>): stops the configuration when
# <target> links <forbidden>, directly or through any library it links, so
# the layers cannot grow into each other unnoticed.
function(halvern_collect_links target out)
  set(seen ${${out}})
  get_target_property(links ${target} LINK_LIBRARIES)
  if(links)
    foreach(link ${links})
      if(TARGET ${link} AND NOT link IN_LIST seen)
        list(APPEND seen ${link})
        halvern_collect_links(${link} seen)
      endif()
    endforeach()
  endif()
  set(${out} ${seen} PARENT_SCOPE)
endfunction()

function(halvern_forbid_link target forbidden)
  set(reached)
  halvern_collect_links(${target} reached)
  if(forbidden IN_LIST reached)
    message(FATAL_ERROR "Layering: ${target} must not link ${forbidden} (it reaches: ${reached})")
  endif()
endfunction()
