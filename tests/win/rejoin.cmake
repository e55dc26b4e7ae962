# Rejoiner under Wine: the image a program carries is this build's remblo.
zembra_test(rejoin_image_win_test SOURCES unit/rejoin_image_test.cpp LIBS zb_rejoin LABEL win)
zembra_embed_rejoiner(rejoin_image_win_test)
# Wine maps the host root to Z:, so the build's own remblo.exe is readable from the test.
target_compile_definitions(rejoin_image_win_test PRIVATE REMBLO_IMAGE_FILE="Z:$<TARGET_FILE:remblo>")
if(TARGET zb_engine)
  zembra_test(rejoin_win_test SOURCES win/rejoin_win_test.cpp LIBS zb_rejoin zb_engine LABEL win)
endif()
