# remblo end to end under Wine + Xvfb: sets made by the engine around this build's remblo.
if(TARGET zb_engine AND TARGET zb_gui_driver)
  zembra_test(remblo_gui_test SOURCES gui/remblo_gui_test.cpp
              LIBS zb_engine zb_checksum zb_recovery zb_gui_driver zb_platform LABEL gui)
  zembra_embed_rejoiner(remblo_gui_test)
endif()
