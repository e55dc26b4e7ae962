# Size presets, custom.dat, the custom size checks and the build command's core.
zembra_test(presets_test SOURCES unit/presets_test.cpp LIBS zb_zembra_model)
zembra_test(build_run_test SOURCES unit/build_run_test.cpp LIBS zb_zembra_model zb_checksum)
# The build's figures are checked with the rejoiner the programs really carry.
zembra_embed_rejoiner(build_run_test)
