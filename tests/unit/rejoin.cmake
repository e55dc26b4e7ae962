# Rejoiner: the reader over crafted and engine-written sets, names, the image a program carries.
zembra_test(rejoin_image_test SOURCES unit/rejoin_image_test.cpp LIBS zb_rejoin)
zembra_embed_rejoiner(rejoin_image_test)
if(ZEMBRA_REJOINER_IMAGE AND EXISTS "${ZEMBRA_REJOINER_IMAGE}")
  target_compile_definitions(rejoin_image_test PRIVATE REMBLO_IMAGE_FILE="${ZEMBRA_REJOINER_IMAGE}")
endif()
zembra_test(rejoin_reader_test SOURCES unit/rejoin_reader_test.cpp LIBS zb_rejoin)
zembra_test(rejoin_names_test SOURCES unit/rejoin_names_test.cpp LIBS zb_rejoin)
