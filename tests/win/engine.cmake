# Split engine under Wine: a set spanning the diskette A: several times.
zembra_test(engine_win_test SOURCES win/engine_win_test.cpp LIBS zb_engine LABEL win)
