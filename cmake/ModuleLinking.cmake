# halvern_links_fully(<module>): a plug-in module may leave no symbol open,
# so a host never meets a missing one when it loads it. The fuzz build is
# the exception: its sanitizer and coverage runtimes live in the harness
# that loads the module.
function(halvern_links_fully target)
  if(NOT HALVERN_FUZZ)
    target_link_options(${target} PRIVATE -Wl,--no-undefined)
  endif()
endfunction()
