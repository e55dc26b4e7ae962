# Split engine: set format, walk, listing, removable spanning and the mended faults.
zembra_test(engine_format_test SOURCES unit/engine_format_test.cpp LIBS zb_engine)
zembra_test(engine_walk_test SOURCES unit/engine_walk_test.cpp LIBS zb_engine)
zembra_test(engine_disks_test SOURCES unit/engine_disks_test.cpp LIBS zb_engine)
zembra_test(engine_faults_test SOURCES unit/engine_faults_test.cpp LIBS zb_engine)
zembra_test(engine_sources_test SOURCES unit/engine_sources_test.cpp LIBS zb_engine)
zembra_test(engine_listing_test SOURCES unit/engine_listing_test.cpp LIBS zb_engine)
