# How a program carries the rejoiner image: Windows programs hold the remblo of their own build
# as resource "RAW_BINARY" 131; host programs hold the bytes of ZEMBRA_REJOINER_IMAGE (a win32
# remblo.exe) compiled in. Either way the program asks BuiltInRejoinerImage() for it
# (rejoiner/rejoiner_image.h).
set(ZEMBRA_REJOINER_IMAGE "" CACHE FILEPATH
    "remblo.exe that host programs carry as their rejoiner image (empty: none)")

# zembra_embed_rejoiner(<target>): <target> carries the rejoiner image and links the accessor.
function(zembra_embed_rejoiner target)
  if(WIN32)
    set(dir ${CMAKE_CURRENT_BINARY_DIR}/rejoiner_embed)
    set(rc ${dir}/${target}_remblo.rc)
    # The path is known only at generate time; the copy step below re-touches the .rc
    # whenever remblo is relinked, so the resource is compiled again with the new image.
    file(GENERATE OUTPUT ${rc}.in CONTENT "131 RAW_BINARY \"$<TARGET_FILE:remblo>\"\n")
    add_custom_command(OUTPUT ${rc}
      COMMAND ${CMAKE_COMMAND} -E copy ${rc}.in ${rc}
      COMMAND ${CMAKE_COMMAND} -E touch ${rc}
      DEPENDS remblo ${rc}.in
      COMMENT "Embedding remblo into ${target}"
      VERBATIM)
    target_sources(${target} PRIVATE ${rc})
    add_dependencies(${target} remblo)
  endif()
  target_link_libraries(${target} PRIVATE zb_rejoiner_image)
endfunction()
